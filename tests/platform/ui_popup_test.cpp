// Popups answered by a script, and the confirmation dialog itself answered from the keyboard.
#include "platform/ui/layer.h"
#include "platform/ui/popup_script.h"
#include "tests/platform/fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <array>
#include <functional>

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

// The confirmation dialog as the user meets it: Enter presses the button the question chose as its
// default; Escape and the close box answer No whatever the default.
TEST(UiPopups, ConfirmationDialogAnswersEnterWithItsDefaultAndEscapeOrCloseWithNo) {
    const auto key = [](int code) {
        return [code](QMessageBox& box) {
            QWidget* target = box.focusWidget() != nullptr ? box.focusWidget() : &box;
            QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
        };
    };
    struct Case {
        const char* what;
        ConfirmDefault enter;
        std::function<void(QMessageBox&)> act;
        int answer;
    };
    const Case cases[] = {
        {"Enter, default Yes", ConfirmDefault::Yes, key(Qt::Key_Return), 1},
        {"Enter, default No", ConfirmDefault::No, key(Qt::Key_Return), 0},
        {"keypad Enter, default No", ConfirmDefault::No, key(Qt::Key_Enter), 0},
        {"Escape, default Yes", ConfirmDefault::Yes, key(Qt::Key_Escape), 0},
        {"Escape, default No", ConfirmDefault::No, key(Qt::Key_Escape), 0},
        {"close box, default Yes", ConfirmDefault::Yes, [](QMessageBox& box) { box.close(); }, 0},
    };
    ui::EnsureApp(); // the user's timer needs the application's event loop
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The user acts once the dialog is up. A dialog that his action left open fails the case and is
        // closed, so that nothing waits for ever.
        bool acted = false;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            if (acted) {
                ADD_FAILURE() << "the dialog stayed open";
                box->done(-1);
                return;
            }
            acted = true;
            c.act(*box);
        });
        user.start(5);
        EXPECT_EQ(ConfirmPopup("Maps", "Lose it?", c.enter), c.answer);
        EXPECT_TRUE(acted);
    }
}

// A script's Enter answers with the question's default button, and every record keeps that default.
TEST(UiPopups, ScriptedEnterPressesTheQuestionsDefault) {
    ScriptedPopups popups;
    popups.PressEnter().PressEnter();
    EXPECT_EQ(ConfirmPopup("a", "keep going?"), 1);
    EXPECT_EQ(ConfirmPopup("b", "throw it away?", ConfirmDefault::No), 0);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    ASSERT_EQ(popups.Records().size(), 2u);
    EXPECT_EQ(popups.Records()[0].enter, ConfirmDefault::Yes);
    EXPECT_EQ(popups.Records()[1].enter, ConfirmDefault::No);
}

} // namespace
