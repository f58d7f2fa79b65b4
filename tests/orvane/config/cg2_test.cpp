#include "configfixture.h"
#include "orvane/config/catalogue.h"

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

// A stepper type chosen while the drive-by-wire was off, then the drive-by-wire switched on (page 4): back
// on page 2 the stepper types that need the idle-air actuator are reset to "Disable", the others stay.
TEST_F(ConfigTest, DriveByWireSwitchedOnResetsTheIdleActuatorStepperTypes) {
    struct Case {
        std::uint8_t chosen, kept;
        const char* shown;
    };
    const Case cases[] = {
        {0, 0, "Disable"},
        {1, 0, "Disable"}, // "Auxiliary Throttle"
        {2, 0, "Disable"}, // "Idling"
        {3, 0, "Disable"}, // "Idling HarleyDavidson"
        {4, 4, "Engine Brake Control"},
    };
    const auto showPage = [](int from, int tab, int panel) {
        ASSERT_EQ(uitest::SelectTab(from, TPselectConfig, tab), 0);
        ASSERT_EQ(hCurPanel, panel);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int{c.chosen});
        SetParByte(0x7B3, 0);
        ASSERT_TRUE(ScatterAllPanels());
        uitest::Click(hMainPanel, MAIN::CBconfig);
        showPage(hCurPanel, 1, hCg2Panel);
        ASSERT_EQ(uitest::SetValueAsUser(hCg2Panel, RINGstepperType, c.chosen), 0);
        ASSERT_EQ(ParByte(0x7AF), c.chosen);
        showPage(hCg2Panel, 3, hCg4Panel);
        ASSERT_EQ(uitest::Click(hCg4Panel, CONFIG4::TBextDbw), 0);
        ASSERT_EQ(ParByte(0x7B3), 1);
        showPage(hCg4Panel, 1, hCg2Panel);
        EXPECT_EQ(ParByte(0x7AF), c.kept);
        int index = -1;
        char label[64] = "";
        GetCtrlIndex(hCg2Panel, RINGstepperType, &index);
        GetLabelFromIndex(hCg2Panel, RINGstepperType, index, label);
        EXPECT_STREQ(label, c.shown);
        uitest::Click(hMainPanel, MAIN::CBinfo);
    }
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

namespace {

// What the stepper, drive-by-wire, rpm reference, analog inputs, front speed source, traction control and
// wheel leave the user to edit.
TEST_F(ConfigTest, Page2DimsWhatTheOtherSettingsMakeMeaningless) {
    struct Case {
        std::uint8_t stepper, extDbw, rpmRef, analog, hall, traction, wheel, cam;
        // dimmed:
        bool minFast, slow, gains, speedRpm, rtcSteps, levelSteps, lambdaIds, frontSpeedId, tractionId,
            rpmRefId, extDbwId, frontGain, hallToggle, blipping, brakeText, auxText;
        bool torqueShown;
        const char* minFastLabel;
    };
    const Case cases[] = {
        {1,     0,     1,     1,     0,     1,    1,     0, //
         false, false, true,  false, false, true, false, false, false,
         true,  true,  false, false, true,  true, false, true,  "Fast Period [ms]"},
        {2,     0,    2,     3,     1,    0,    1,    0, //
         false, true, false, true,  true, true, true, true,  true,
         false, true, true,  false, true, true, true, false, "Min. Period [ms]"},
        {4,    1,     0,     2,    0,     1,     21,    0, // two revolutions with a cam sensor, no cam
         true, true,  false, true, false, false, false, false, false,
         true, false, false, true, false, false, true,  false, "Min. Period [ms]"},
        {3,    0,    0,     0,     0,    0,    21,    1, // the pneumatic cam frees the front-speed source
         true, true, false, true,  true, true, false, false, true,
         true, true, false, false, true, true, true,  false, "Min. Period [ms]"},
    };
    const auto traction = ReadField(Image::Map, 0x2A138, Raw::U8);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stepper " << int{c.stepper} << " dbw " << int{c.extDbw});
        SetParByte(0x7AF, c.stepper);
        SetParByte(0x7B3, c.extDbw);
        SetParByte(0x7B2, c.rpmRef);
        SetParByte(0x7B1, c.analog);
        SetParByte(0x77F, c.hall);
        WriteField(Image::Map, 0x2A138, Raw::U8, c.traction);
        SetTwa(c.wheel);
        SetParByte(0x6F3, c.cam);
        ASSERT_TRUE(ScatterCg2Panel());
        EXPECT_EQ(Dimmed(hCg2Panel, NUMstepMinFast), c.minFast);
        for (int control : {NUMstepSlow, NUMstepFineTol, NUMstepRawTol})
            EXPECT_EQ(Dimmed(hCg2Panel, control), c.slow) << control;
        for (int control : {NUMidlKp, NUMidlKi, NUMidlKd})
            EXPECT_EQ(Dimmed(hCg2Panel, control), c.gains) << control;
        EXPECT_EQ(Dimmed(hCg2Panel, NUMsRpmAbsDiffVel), c.speedRpm);
        EXPECT_EQ(Dimmed(hCg2Panel, NUMsRpmMsErrDelay), c.speedRpm);
        EXPECT_EQ(Dimmed(hCg2Panel, RINGmaxRTCsteps), c.rtcSteps);
        EXPECT_EQ(Dimmed(hCg2Panel, RINGmaxLevelSWsteps), c.levelSteps);
        EXPECT_EQ(Dimmed(hCg2Panel, NUMidLambda1CAN), c.lambdaIds);
        EXPECT_EQ(Dimmed(hCg2Panel, NUMidLambda2CAN), c.lambdaIds);
        EXPECT_EQ(Dimmed(hCg2Panel, NUMidVelAntCAN), c.frontSpeedId);
        EXPECT_EQ(Dimmed(hCg2Panel, NUMidTcLevelCAN), c.tractionId);
        EXPECT_EQ(Dimmed(hCg2Panel, NUMidRpmReferenceCAN), c.rpmRefId);
        for (int control : {NUMidExtCor1CAN, NUMidExtCor2CAN, NUMidExtCor3CAN, NUMidExtCor4CAN})
            EXPECT_FALSE(Dimmed(hCg2Panel, control)) << control;
        EXPECT_EQ(Dimmed(hCg2Panel, NUMidExtDbwCorCAN), c.extDbwId);
        EXPECT_EQ(Dimmed(hCg2Panel, RINGscaleVelAntCan), c.frontGain);
        EXPECT_EQ(Dimmed(hCg2Panel, TBvelAntByHall), c.hallToggle);
        EXPECT_EQ(Dimmed(hCg2Panel, TBenableBlipping), c.blipping);
        EXPECT_EQ(Dimmed(hCg2Panel, TMrpmReferenceEBC), c.brakeText);
        EXPECT_EQ(Dimmed(hCg2Panel, TMrpmReferenceAUXT), c.auxText);
        EXPECT_EQ(CtrlAttr(hCg2Panel, TBfarfAuxHiTorque, ATTR_VISIBLE) != 0, c.torqueShown);
        char label[64] = "";
        GetCtrlAttribute(hCg2Panel, NUMstepMinFast, ATTR_LABEL_TEXT, label);
        EXPECT_STREQ(label, c.minFastLabel);
    }
    WriteField(Image::Map, 0x2A138, Raw::U8, traction);
}

} // namespace
