#include "configfixture.h"

namespace {

using namespace CONFIG2;

TEST_F(ConfigTest, DriveByWireNarrowsTheStepperChoicesAndClearsBlipping) {
    WriteField(Image::Par, 0x7B3, Raw::U8, 1);
    SetParByte(0x7AF, 2);
    SetParByte(0x7C5, 1);
    ASSERT_TRUE(ScatterCg2Panel());
    EXPECT_EQ(RingLabels(hCg2Panel, RINGstepperType),
              (std::vector<std::string>{"Disable", "Engine Brake Control"}));
    ASSERT_TRUE(GatherCg2Panel());
    EXPECT_EQ(ParByte(0x7AF), 0);
    EXPECT_EQ(ParByte(0x7C5), 1) << "blipping stays while drive-by-wire is on";
    WriteField(Image::Par, 0x7B3, Raw::U8, 0);
    ASSERT_TRUE(ScatterCg2Panel());
    ASSERT_TRUE(GatherCg2Panel());
    EXPECT_EQ(ParByte(0x7C5), 0);
}

// A gear mode the ring does not list (analog type 3 offers no "Standard") shows blank, the fill goes on
// and the read-back keeps the byte.
TEST_F(ConfigTest, UnlistedRingValueShowsBlankAndIsKept) {
    SetParByte(0x7B1, 3);
    SetParByte(0x7B0, 0);
    ASSERT_TRUE(ScatterCg2Panel());
    int index = 0;
    GetCtrlIndex(hCg2Panel, RINGgearMode, &index);
    EXPECT_EQ(index, -1);
    ASSERT_TRUE(GatherCg2Panel());
    EXPECT_EQ(ParByte(0x7B0), 0);
}

TEST_F(ConfigTest, EqualCanIdsResetTheEarlierAndCodesAreRepaired) {
    ASSERT_TRUE(ScatterCg2Panel());
    SetCtrlVal(hCg2Panel, NUMidLambda2CAN, static_cast<double>(0x320)); // equal to Ext. Control 1
    SetCtrlVal(hCg2Panel, RINGgearMode, 9);
    SetCtrlVal(hCg2Panel, RINGscaleVelAntCan, 15);
    SetCtrlVal(hCg2Panel, NUMidlKp, 1.5);
    SetCtrlVal(hCg2Panel, NUMstepMinFast, 2.5);
    ASSERT_TRUE(GatherCg2Panel());
    EXPECT_EQ(ParWord(0x798), 0x304) << "the lower offset takes its default";
    EXPECT_EQ(ParWord(0x7A0), 0x320);
    EXPECT_EQ(ParWord(0x7AA), 10);
    EXPECT_EQ(ParByte(0x7B0), 0);
    EXPECT_EQ(ReadField(Image::Par, 0x6A4, Raw::I32), 98304);
    EXPECT_EQ(ParWord(0x6B6), 25);
    EXPECT_EQ(CtrlAttr(hCg2Panel, NUMidLambda1CAN, ATTR_HEX_FORMAT), 1);
}

TEST_F(ConfigTest, AuxiliaryOutputRingCoversTwoBytes) {
    ASSERT_TRUE(ScatterCg2Panel());
    ASSERT_EQ(uitest::SetValueAsUser(hCg2Panel, RINGauxOut, 2), 0);
    ASSERT_TRUE(GatherCg2Panel());
    EXPECT_EQ(ParByte(0x7B5), 1);
    EXPECT_EQ(ParByte(0x7B6), 0);
}

} // namespace
