// Popups answered by a script.
#include "platform/ui/popup_script.h"
#include "tests/platform/fixture.h"

#include <array>

namespace {

TEST(UiPopups, ScriptAnswersInOrderAndRecordsEveryPopup) {
    ScriptedPopups popups;
    popups.AnswerConfirm(true).ExpectMessage().AnswerFile("/tmp/x.ecd", VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(ConfirmPopup("Exit", "Exit without saving changes?"), 1);
    EXPECT_EQ(MessagePopup("Load", "Done!"), 0);
    std::array<char, 260> path{};
    EXPECT_EQ(FileSelectPopup("", "*.ecd", "*.ecd", "Store", VAL_SAVE_BUTTON, 0, 1, 1, 1, path),
              VAL_NEW_FILE_SELECTED);
    EXPECT_STREQ(path.data(), "/tmp/x.ecd");
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    ASSERT_EQ(popups.Records().size(), 3u);
    EXPECT_EQ(popups.Records()[0].text, "Exit without saving changes?");
    EXPECT_EQ(popups.Records()[1].title, "Load");
    EXPECT_EQ(popups.Records()[2].kind, PopupKind::FileSelect);
}

TEST(UiPopups, UnexpectedPopupsAreRecordedAndAnsweredNo) {
    ScriptedPopups popups;
    popups.ExpectMessage();
    EXPECT_EQ(ConfirmPopup("Quit", "Sure?"), 0); // the queue expects a message, not this
    std::array<char, 16> path{'x'};
    EXPECT_EQ(FileSelectPopup("", "", "", "Load", VAL_LOAD_BUTTON, 0, 0, 1, 0, path), VAL_NO_FILE_SELECTED);
    EXPECT_STREQ(path.data(), "");
    EXPECT_EQ(popups.UnexpectedCount(), 2);
    EXPECT_EQ(popups.Unused(), 1u);
    EXPECT_FALSE(popups.AllExpected());
}

TEST(UiPopups, PathThatDoesNotFitIsNoChoice) {
    ScriptedPopups popups;
    popups.AnswerFile("/a/rather/long/path.ecd");
    std::array<char, 8> path{};
    EXPECT_LT(FileSelectPopup("", "", "", "Load", VAL_LOAD_BUTTON, 0, 0, 1, 0, path), 0);
    EXPECT_STREQ(path.data(), "");
}

TEST(UiPopups, ScriptsNestAndRestore) {
    ScriptedPopups outer;
    {
        ScriptedPopups inner;
        inner.AnswerConfirm(true);
        EXPECT_EQ(ConfirmPopup("a", "b"), 1);
    }
    EXPECT_EQ(ConfirmPopup("a", "b"), 0);
    EXPECT_EQ(outer.UnexpectedCount(), 1);
}

} // namespace
