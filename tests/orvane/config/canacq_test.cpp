#include "configfixture.h"
#include "platform/ui/layoutcheck.h"

#include <cstdio>
#include <fstream>

namespace {

using namespace CANACQ;

constexpr int Label(int row, int k) {
    return NUMcanId1 + (row - 1) * 6 + 2 + k;
}

TEST_F(ConfigTest, FreshImageListsOffFramesAndTheyRoundTrip) {
    EXPECT_EQ(ecuParData.canFrames[0], 0x200);
    EXPECT_EQ(ecuParData.canFrames[57], 0x2E4);
    ASSERT_EQ(uitest::SetValueAsUser(hCaqPanel, RINGfreqId3, 2), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hCaqPanel, NUMcanId3, 0x7FF), 0);
    ASSERT_TRUE(GatherCaqPanel());
    EXPECT_EQ(ecuParData.canFrames[2], 0x7FF | 2 << 11);
}

TEST_F(ConfigTest, DuplicateActiveIdentifiersAreAskedAbout) {
    ecuParData.canFrames[4] = 0x300;
    ecuParData.canFrames[9] = 0x300 | 1 << 11;
    EXPECT_TRUE(CheckCaqDuplicates()) << "an inactive frame may share its identifier";
    ecuParData.canFrames[4] = 0x300 | 1 << 11;
    EXPECT_FALSE(CheckCaqDuplicates());
    popups.AnswerConfirm(false);
    EXPECT_FALSE(IgnoreCaqWarning());
    EXPECT_EQ(popups.Records().at(0).title, "Warning!");
}

TEST_F(ConfigTest, RowsBeyondTheFramesFollowDriveByWireAndStoreNothing) {
    ASSERT_TRUE(ScatterCaqPanel());
    EXPECT_TRUE(Dimmed(hCaqPanel, NUMcanId59));
    EXPECT_FALSE(Dimmed(hCaqPanel, NUMcanId58));
    WriteField(Image::Par, 0x7B3, Raw::U8, 1);
    ASSERT_TRUE(ScatterCaqPanel());
    EXPECT_FALSE(Dimmed(hCaqPanel, NUMcanId70));
    const EcuParData before = ecuParData;
    ASSERT_EQ(uitest::SetValueAsUser(hCaqPanel, NUMcanId60, 0x400), 0);
    ASSERT_TRUE(GatherCaqPanel());
    EXPECT_EQ(std::memcmp(&before, &ecuParData, sizeof before), 0);
}

// The labels file lies in the current directory; each case writes its own and reads it back.
TEST_F(ConfigTest, LabelsFileFieldsMissingFieldsAndOverlongLines) {
    const std::string overlong(250, 'x');
    {
        std::ofstream f("canlabel.ini");
        f << "Speed;;Gear\n" << overlong << ";Hidden\nA;B;C;D;E\n";
    }
    ASSERT_TRUE(LoadCanLabels());
    EXPECT_EQ(CtrlText(hCaqPanel, Label(1, 0)), "Speed");
    EXPECT_EQ(CtrlText(hCaqPanel, Label(1, 1)), "");
    EXPECT_EQ(CtrlText(hCaqPanel, Label(1, 2)), "Gear");
    EXPECT_EQ(CtrlText(hCaqPanel, Label(1, 3)), "?");
    EXPECT_EQ(CtrlText(hCaqPanel, Label(2, 0)), std::string(200, 'x')) << "only 200 characters are used";
    EXPECT_EQ(CtrlText(hCaqPanel, Label(2, 1)), "?");
    EXPECT_EQ(CtrlText(hCaqPanel, Label(3, 0)), "A") << "the rest of a long line is no row of its own";
    EXPECT_EQ(CtrlText(hCaqPanel, Label(3, 3)), "D");
    EXPECT_EQ(CtrlText(hCaqPanel, Label(4, 0)), "?");
    std::remove("canlabel.ini");
    ASSERT_TRUE(LoadCanLabels());
    EXPECT_EQ(CtrlText(hCaqPanel, Label(1, 0)), "?") << "without the file every label is \"?\"";
}

// A labels file of real signal names: every label shows whole in its row, and the identifiers read in
// hexadecimal as on configuration page 2.
TEST_F(ConfigTest, RealLabelsShowWholeAndIdentifiersReadAsOnPageTwo) {
    {
        std::ofstream f("canlabel.ini");
        for (int row = 1; row <= 70; ++row)
            f << "Engine temperature;Throttle position;Lambda 2 heater;Oil pressure\n";
    }
    ASSERT_TRUE(LoadCanLabels());
    std::remove("canlabel.ini");
    ProcessSystemEvents();
    for (const std::string& fault : uitest::LayoutFaults(hCaqPanel))
        ADD_FAILURE() << fault;
    EXPECT_EQ(CtrlAttr(hCaqPanel, NUMcanId1, ATTR_HEX_FORMAT), 1);
    EXPECT_EQ(CtrlAttr(hCaqPanel, NUMcanId70, ATTR_HEX_FORMAT),
              CtrlAttr(hCg2Panel, CONFIG2::NUMidExtCor3CAN, ATTR_HEX_FORMAT));
    ASSERT_TRUE(LoadCanLabels());
}

} // namespace

namespace {

// Each of the 58 frame words, identifier in bits 0-10 and rate code in bits 11-15, through its own row.
TEST_F(ConfigTest, EveryFrameWordIsShownAndStoredThroughItsRow) {
    const auto id = [](int row) { return NUMcanId1 + (row - 1) * 6; };
    const auto rate = [](int row) { return NUMcanId1 + (row - 1) * 6 + 1; };
    for (int i = 0; i < 58; ++i)
        ecuParData.canFrames[i] = static_cast<std::uint16_t>((0x100 + 7 * i) | (i % 5) << 11);
    ASSERT_TRUE(ScatterCaqPanel());
    for (int i = 0; i < 58; ++i) {
        EXPECT_EQ(Number(hCaqPanel, id(i + 1)), 0x100 + 7 * i) << i;
        EXPECT_EQ(Number(hCaqPanel, rate(i + 1)), i % 5) << i;
        SetCtrlVal(hCaqPanel, id(i + 1), 0x7FF - 3 * i);
        SetCtrlVal(hCaqPanel, rate(i + 1), (i + 2) % 5);
    }
    ASSERT_TRUE(GatherCaqPanel());
    for (int i = 0; i < 58; ++i)
        EXPECT_EQ(ecuParData.canFrames[i], (0x7FF - 3 * i) | ((i + 2) % 5) << 11) << i;
}

} // namespace
