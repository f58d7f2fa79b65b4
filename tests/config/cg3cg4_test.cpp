#include "configfixture.h"
#include "orvane/config/catalogue.h"

namespace {

TEST_F(ConfigTest, DriveByWireSettingsFollowTheFlagAndTheCylinderCount) {
    using namespace CONFIG4;
    SetEngType(5); // two cylinders
    ASSERT_TRUE(ScatterCg4Panel());
    EXPECT_FALSE(Dimmed(hCg4Panel, TBextDbw));
    for (int control : {NUMdbw1KpOpen, RINGtypePotGas, TBcocEgripRef, TBdbwRefCyl1, NUMhzDbw2})
        EXPECT_TRUE(Dimmed(hCg4Panel, control)) << control;
    ASSERT_EQ(uitest::Click(hCg4Panel, TBextDbw), 0);
    EXPECT_EQ(ExtDbw(), 1);
    EXPECT_FALSE(Dimmed(hCg4Panel, NUMdbw1KpOpen));
    EXPECT_FALSE(Dimmed(hCg4Panel, TBdbwRefCyl2));
    EXPECT_TRUE(Dimmed(hCg4Panel, TBdbwRefCyl3));
}

TEST_F(ConfigTest, DriveByWireGainsOffsetsAndCodes) {
    using namespace CONFIG4;
    WriteField(Image::Par, 0x7B3, Raw::U8, 1);
    WriteField(Image::Par, 0x7BD, Raw::U8, 3);
    WriteField(Image::Par, 0x7B9, Raw::U8, 5);
    ASSERT_TRUE(ScatterCg4Panel());
    SetCtrlVal(hCg4Panel, NUMdbw1KpOpen, 1.5);
    SetCtrlVal(hCg4Panel, NUMdbw2KfClose, 250.0);
    SetCtrlVal(hCg4Panel, NUMdbw1OfsCmdOpen, -12.5);
    ASSERT_TRUE(GatherCg4Panel());
    EXPECT_EQ(ParWord(0x724), 384);
    EXPECT_EQ(ParWord(0x738 + 16), 64000);
    EXPECT_EQ(ReadField(Image::Par, 0x724 + 8, Raw::I16), -125);
    EXPECT_EQ(ParByte(0x7BD), 0);
    EXPECT_EQ(ParByte(0x7B9), 0);
    EXPECT_EQ(Number(hCg4Panel, NUMdbw1OfsCmdOpen), -12.5);
    EXPECT_EQ(ParWord(0x760), 1000) << "the default frequency";
}

// Battery breakpoints typed 12.0, 10.0, 14.0 become 12.0, 12.0, 14.0 and column 2's offsets those of
// column 1; a dwell row breakpoint lowered below its predecessor takes the whole previous row.
TEST_F(ConfigTest, TablesKeepTheirAxesRising) {
    using namespace CONFIG3;
    ASSERT_TRUE(GatherCg3Panel()) << "the all-zero defaults are a valid table";
    for (int c = 1; c <= 16; ++c)
        SetTableCellVal(hCg3Panel, TABoffsVbat, MakePoint(c, 1), 10.0 + c);
    SetTableCellVal(hCg3Panel, TABoffsVbat, MakePoint(1, 1), 12.0);
    SetTableCellVal(hCg3Panel, TABoffsVbat, MakePoint(2, 1), 10.0);
    SetTableCellVal(hCg3Panel, TABoffsVbat, MakePoint(3, 1), 14.0);
    SetTableCellVal(hCg3Panel, TABoffsVbat, MakePoint(1, 2), 1.5);
    SetTableCellVal(hCg3Panel, TABoffsVbat, MakePoint(1, 3), 2.25);
    for (int r = 1; r <= 10; ++r)
        SetTableCellVal(hCg3Panel, TABdwell, MakePoint(1, r + 1), 1000.0 * r);
    SetTableCellVal(hCg3Panel, TABdwell, MakePoint(1, 4), 1500.0); // row breakpoint 3 below row 2's
    SetTableCellVal(hCg3Panel, TABdwell, MakePoint(5, 3), 4.5);
    SetTableCellVal(hCg3Panel, TABpickUp, MakePoint(1, 2), -720.0);
    SetTableCellVal(hCg3Panel, TABpickUp, MakePoint(2, 2), 720.0);
    ASSERT_TRUE(GatherCg3Panel());
    EXPECT_EQ(ecuParData.battX[1], 120);
    EXPECT_EQ(ecuParData.battOffsets1[1], 1500);
    EXPECT_EQ(ecuParData.battOffsets2[1], 2250);
    EXPECT_EQ(ecuParData.dwell.y[2], 2000);
    EXPECT_EQ(ecuParData.dwell.cells[2][3], 4500) << "row 3 copied from row 2";
    EXPECT_EQ(ecuParData.pickUp.values[0], -7200);
    EXPECT_EQ(ecuParData.pickUp.values[1], 7200);
    double shown = 0;
    GetTableCellVal(hCg3Panel, TABoffsVbat, MakePoint(2, 1), &shown);
    EXPECT_EQ(shown, 12.0) << "the page shows the repair";
}

} // namespace

namespace {

// The dwell table's axes: column 1 holds the engine speeds under "[RPM]", the dwell columns count the
// voltage breakpoints 1..16, and the corner between the axes is empty.
TEST_F(ConfigTest, DwellTableNumbersItsVoltageColumnsFromOne) {
    ASSERT_TRUE(ScatterCg3Panel());
    const auto label = [](int column) {
        char text[64] = "";
        GetTableColumnAttribute(hCg3Panel, CONFIG3::TABdwell, column, ATTR_LABEL_TEXT, std::span<char>(text));
        return std::string(text);
    };
    EXPECT_EQ(label(1), "[RPM]");
    EXPECT_EQ(label(2), "1");
    EXPECT_EQ(label(17), "16");
    int type = -1;
    ASSERT_EQ(GetTableCellAttribute(hCg3Panel, CONFIG3::TABdwell, MakePoint(1, 1), ATTR_CELL_TYPE, &type), 0);
    EXPECT_EQ(type, VAL_CELL_STRING);
    char corner[16] = "x";
    ASSERT_EQ(GetTableCellVal(hCg3Panel, CONFIG3::TABdwell, MakePoint(1, 1), std::span<char>(corner)), 0);
    EXPECT_STREQ(corner, "");
}

} // namespace
