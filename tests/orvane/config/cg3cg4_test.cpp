#include "configfixture.h"
#include "orvane/config/catalogue.h"
#include "orvane/config/configbytes.h"

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

std::int64_t ParI16(std::size_t offset) {
    return ReadField(Image::Par, offset, Raw::I16);
}

// A voltage breakpoint of the dwell table and a pick-up breakpoint typed too low take the running maximum
// of their axis, with the whole column of data before them.
TEST_F(ConfigTest, DwellVoltageAndPickUpAxesTakeTheRunningMaximum) {
    using namespace CONFIG3;
    constexpr std::size_t kDwellCells = 0x1D0, kDwellX = 0x310, kPickX = 0x384, kPickAngle = 0x344;
    for (int c = 1; c <= 16; ++c)
        SetTableCellVal(hCg3Panel, TABdwell, MakePoint(c + 1, 1), 1.0 * c);
    SetTableCellVal(hCg3Panel, TABdwell, MakePoint(5, 1), 2.5); // breakpoint 4 below breakpoint 3's 3.0
    for (int r = 1; r <= 10; ++r) {
        SetTableCellVal(hCg3Panel, TABdwell, MakePoint(1, r + 1), 1000.0 * r);
        SetTableCellVal(hCg3Panel, TABdwell, MakePoint(4, r + 1), 0.1 * r);  // column 3
        SetTableCellVal(hCg3Panel, TABdwell, MakePoint(5, r + 1), 9.0 + r);  // column 4, to be replaced
        SetTableCellVal(hCg3Panel, TABdwell, MakePoint(6, r + 1), 20.0 + r); // column 5 keeps its own
    }
    for (int k = 1; k <= 32; ++k) {
        SetTableCellVal(hCg3Panel, TABpickUp, MakePoint(k, 1), 100.0 * k);
        SetTableCellVal(hCg3Panel, TABpickUp, MakePoint(k, 2), -10.0 * k);
    }
    SetTableCellVal(hCg3Panel, TABpickUp, MakePoint(5, 1), 350.0); // both below breakpoint 4's 400
    SetTableCellVal(hCg3Panel, TABpickUp, MakePoint(6, 1), 390.0);
    ASSERT_TRUE(GatherCg3Panel());
    EXPECT_EQ(ParI16(kDwellX + 2 * 3), 30);
    EXPECT_EQ(ParI16(kDwellX + 2 * 4), 50) << "the next breakpoint is untouched";
    for (std::size_t r = 0; r < 10; ++r) {
        EXPECT_EQ(ParI16(kDwellCells + 2 * (16 * r + 3)), 100 * (r + 1)) << "row " << r;
        EXPECT_EQ(ParI16(kDwellCells + 2 * (16 * r + 4)), 21000 + 1000 * r) << "row " << r;
    }
    for (std::size_t k : {4u, 5u}) {
        EXPECT_EQ(ParI16(kPickX + 2 * k), 400) << k;
        EXPECT_EQ(ParI16(kPickAngle + 2 * k), -400) << k;
    }
    EXPECT_EQ(ParI16(kPickX + 2 * 6), 700);
    EXPECT_EQ(ParI16(kPickAngle + 2 * 6), -700);
    double shown = 0;
    GetTableCellVal(hCg3Panel, TABdwell, MakePoint(5, 2), &shown);
    EXPECT_DOUBLE_EQ(shown, 0.1) << "the page shows the repair";
}

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
