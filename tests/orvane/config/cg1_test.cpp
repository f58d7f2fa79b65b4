#include "configfixture.h"
#include "orvane/config/catalogue.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace CONFIG1;

TEST_F(ConfigTest, CatalogueRecordsAreFoundAgainAndUnknownEnginesShowUndefined) {
    for (std::uint8_t i = 1; i < kEngTypeCount; ++i) {
        SetEngType(i);
        EXPECT_EQ(GetEngType(), i) << engTypeDefs[i].name;
    }
    for (std::uint8_t i = 1; i < kTwaCount; ++i) {
        SetTwa(i);
        EXPECT_EQ(GetQuadro(), i);
    }
    SetParByte(0x6E2, 3); // no record has three cylinders
    ASSERT_TRUE(ScatterCg1Panel());
    int value = -1;
    GetCtrlVal(hCg1Panel, RINGengType, &value);
    EXPECT_EQ(value, 0);
    ASSERT_TRUE(GatherCg1Panel());
    EXPECT_EQ(ParByte(0x6E2), 0) << "record 0 written";
}

// Wheel record 49 has no ring entry: the page still fills, the ring is blank and the gather keeps the
// wheel bytes until the user picks an entry.
TEST_F(ConfigTest, WheelWithoutRingEntryIsKeptUntilTheUserPicksOne) {
    SetTwa(49);
    ASSERT_TRUE(ScatterCg1Panel());
    int index = 0;
    GetCtrlIndex(hCg1Panel, RINGquadroSegnali, &index);
    EXPECT_EQ(index, -1);
    ASSERT_TRUE(GatherCg1Panel());
    EXPECT_EQ(GetQuadro(), 49);
    ASSERT_EQ(uitest::SetValueAsUser(hCg1Panel, RINGquadroSegnali, 17), 0);
    EXPECT_EQ(GetQuadro(), 17);
    EXPECT_EQ(ParByte(0x6ED), 36);
}

TEST_F(ConfigTest, EngineDescriptionListsEveryCylinder) {
    SetEngType(5);
    char text[512];
    EngineDescription(text);
    EXPECT_STREQ(text, "2 cylinders - Double injector\n"
                       "\nCyl 1 --> TDC=000.0  Trigger=1  Injectors(low,high)=1,3"
                       "\nCyl 2 --> TDC=180.0  Trigger=2  Injectors(low,high)=2,4");
    SetParByte(0x6E2, 200); // a count beyond the four cylinders the image holds
    EngineDescription(text);
    EXPECT_EQ(std::count(text, text + std::strlen(text), '\n'), 5);
    SetTwa(17);
    WheelDescription(text);
    EXPECT_STREQ(text, "36 teeths, 1 missing\nNo cam sensor\n1 rev per cycle");
}

TEST_F(ConfigTest, RightClickShowsTheDescriptionOfWhatIsChosen) {
    ASSERT_EQ(uitest::SetValueAsUser(hCg1Panel, RINGquadroSegnali, 41), 0); // cam4
    popups.ExpectMessage();
    uitest::SendMouse(hCg1Panel, RINGquadroSegnali, EVENT_RIGHT_CLICK, 5, 5);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Toothed Wheel Arrangement");
    EXPECT_EQ(popups.Records()[0].text, "4 teeths, 0 missing\nWith cam sensor\n2 revs per cycle");
}

TEST_F(ConfigTest, GatherRepairsLimitsAndCodes) {
    SetTwa(1); // smf 8-1: the highest tooth is 7
    ASSERT_TRUE(ScatterCg1Panel());
    SetCtrlVal(hCg1Panel, NUMthrJMMsup, 20.0);
    SetCtrlVal(hCg1Panel, NUMthrJMMinf, 35.5);
    SetCtrlVal(hCg1Panel, NUMpcamCogSup, 20.0);
    SetCtrlVal(hCg1Panel, NUMpcamCogInf, 12.0);
    SetCtrlVal(hCg1Panel, RINGtransType, 5);
    ASSERT_TRUE(GatherCg1Panel());
    EXPECT_EQ(ParWord(0x6F6), 355) << "the upper threshold takes the lower's";
    EXPECT_EQ(ParWord(0x704), 7);
    EXPECT_EQ(ParWord(0x706), 7);
    EXPECT_EQ(ParByte(0x6E1), 0);
    EXPECT_EQ(Number(hCg1Panel, NUMthrJMMsup), 35.5) << "the page shows the repair";
}

TEST_F(ConfigTest, KinematicCamOnlyForOneCylinder) {
    SetEngType(5); // two cylinders
    SetTwa(21);    // fas 8-1: cam sensor fitted
    SetParByte(0x6F3, 2);
    ASSERT_TRUE(ScatterCg1Panel());
    EXPECT_EQ(RingLabels(hCg1Panel, RINGidVcamType), (std::vector<std::string>{"Disabled", "Pneumatic"}));
    ASSERT_TRUE(GatherCg1Panel());
    EXPECT_EQ(ParByte(0x6F3), 0);
    SetEngType(1);
    ASSERT_TRUE(ScatterCg1Panel());
    EXPECT_EQ(RingLabels(hCg1Panel, RINGidVcamType).size(), 3u);
}

TEST_F(ConfigTest, DimmingFollowsTheInjectionKindAndTurboAtOnce) {
    ASSERT_EQ(uitest::SetValueAsUser(hCg1Panel, RINGengType, 1), 0); // single injection
    EXPECT_TRUE(Dimmed(hCg1Panel, NUMkJratio));
    EXPECT_TRUE(Dimmed(hCg1Panel, RINGtransType));
    ASSERT_EQ(uitest::SetValueAsUser(hCg1Panel, RINGengType, 3), 0); // compound
    EXPECT_FALSE(Dimmed(hCg1Panel, NUMkJratio));
    EXPECT_FALSE(Dimmed(hCg1Panel, NUMlimitJcomp));
    EXPECT_TRUE(Dimmed(hCg1Panel, NUMusMinInjOn));
    EXPECT_FALSE(Dimmed(hCg1Panel, NUMthrJMMsup));
    ASSERT_EQ(uitest::Click(hCg1Panel, TBturboEnab), 0);
    EXPECT_TRUE(Dimmed(hCg1Panel, NUMthrJMMsup));
}

TEST_F(ConfigTest, MultiByteTogglesAndTheFixedTrigger) {
    SetParByte(0x773, 0);
    ASSERT_TRUE(ScatterCg1Panel());
    ASSERT_EQ(uitest::Click(hCg1Panel, TBstopType), 0);
    ASSERT_TRUE(GatherCg1Panel());
    for (std::size_t at = 0x774; at <= 0x777; ++at)
        EXPECT_EQ(ParByte(at), 1) << at;
    EXPECT_EQ(ParByte(0x773), 1) << "the inductive trigger is 1 after every gather";
    EXPECT_EQ(CtrlAttr(hCg1Panel, TBtrigIndu, ATTR_VISIBLE), 0);
}

// The notes keep at most 399 bytes of the image's 8-bit text, whatever was typed.
TEST_F(ConfigTest, NotesNeverRunPastTheirField) {
    std::string typed(300, 'a');
    for (int i = 0; i < 200; ++i)
        typed += "\xC3\xA9\xE2\x82\xAC"; // characters outside ASCII, one of them outside Latin-1
    const std::uint8_t after = ecuParData.dwell.cells[0][0] & 0xFF;
    SetCtrlVal(hCg1Panel, TBOXnotes, typed.c_str());
    ASSERT_TRUE(GatherCg1Panel());
    EXPECT_LT(std::strlen(ecuParData.notes), kNotesSize);
    EXPECT_EQ(ecuParData.dwell.cells[0][0] & 0xFF, after);
}

} // namespace

namespace {

// The lower limits pull up their upper limits, and the shortest injection pulls down its delta.
TEST_F(ConfigTest, GatherKeepsPulseAndPneumaticCamLimitsInOrder) {
    struct Case {
        int control;           // the limit that must give way
        std::size_t at, other; // its field and the field it follows
        double typed, otherTyped;
        std::int64_t want; // raw, after the gather
    };
    const Case cases[] = {
        {NUMusMinInjDelta, 0x6DC, 0x6DA, 3.5, 2.25, 2250},
        {NUMpcamRpmSup, 0x6FC, 0x6FE, 4000, 5000, 5000},
        {NUMpcamThrottleSup, 0x700, 0x702, 20.0, 35.5, 355},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        InitCg1Data();
        ASSERT_TRUE(ScatterCg1Panel());
        SetCtrlVal(hCg1Panel, c.control, c.typed);
        const int other = c.control == NUMusMinInjDelta ? NUMusMinInjOn
                          : c.control == NUMpcamRpmSup  ? NUMpcamRpmInf
                                                        : NUMpcamThrottleInf;
        SetCtrlVal(hCg1Panel, other, c.otherTyped);
        ASSERT_TRUE(GatherCg1Panel());
        EXPECT_EQ(ParWord(c.at), c.want);
        EXPECT_EQ(ParWord(c.other), c.want) << "the field followed is kept";
        EXPECT_DOUBLE_EQ(Number(hCg1Panel, c.control), c.otherTyped) << "the page shows the repair";
    }
}

// Which cam the wheel and engine allow, and which one is chosen, decide the groups the user may edit.
TEST_F(ConfigTest, CamWheelAndCylindersDimTheCamGroups) {
    struct Case {
        const char* what;
        std::uint8_t engine, wheel, camType, smallFlow;
        bool camLimit, pneumatic, smallFlowToggle, smallFlowFactor; // dimmed
    };
    const Case cases[] = {
        {"wheel without cam sensor", 1, 1, 1, 0, true, true, true, true},
        {"special wheel code 1", 1, 45, 1, 0, true, true, true, true},
        {"special wheel code 2", 1, 46, 1, 0, true, true, true, true},
        {"cam sensor, no cam", 1, 21, 0, 0, false, true, true, true},
        {"pneumatic cam", 5, 21, 1, 0, false, false, false, false},
        {"pneumatic cam, small flow on", 5, 21, 1, 1, false, false, false, true},
        {"kinematic cam, one cylinder", 1, 21, 2, 0, false, true, false, false},
        {"special wheel code 3, cam sensor", 1, 49, 1, 0, false, false, false, false},
    };
    const int pneumaticGroup[] = {NUMminDeltaADpair,
                                  NUMpcamRpmSup,
                                  NUMpcamRpmInf,
                                  NUMpcamThrottleSup,
                                  NUMpcamThrottleInf,
                                  NUMpcamCogSup,
                                  NUMpcamCogInf,
                                  TMpcam1,
                                  TMpcam2};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetEngType(c.engine);
        SetTwa(c.wheel);
        SetParByte(0x6F3, c.camType);
        SetParByte(0x772, c.smallFlow);
        ASSERT_TRUE(ScatterCg1Panel());
        EXPECT_EQ(Dimmed(hCg1Panel, NUMcamLimit), c.camLimit);
        EXPECT_EQ(Dimmed(hCg1Panel, RINGidVcamType), c.camLimit);
        for (int control : pneumaticGroup)
            EXPECT_EQ(Dimmed(hCg1Panel, control), c.pneumatic) << control;
        EXPECT_EQ(Dimmed(hCg1Panel, TBfcInjection), c.smallFlowToggle);
        EXPECT_EQ(Dimmed(hCg1Panel, NUMkSFInjection), c.smallFlowFactor);
    }
}

TEST_F(ConfigTest, InjectionKindAndAnalogTypeDimTheirFields) {
    struct Case {
        std::uint8_t engine, analogType;
        bool ratio, compoundLimit, doublePulses, transmission, shiftCount; // dimmed
    };
    const Case cases[] = {
        {1, 0, true, true, true, true, false},    // single
        {2, 2, false, true, false, false, false}, // double
        {3, 1, false, false, true, true, true},   // compound
        {22, 3, true, true, true, true, true},    // full-group
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.engine));
        SetEngType(c.engine);
        SetParByte(0x7B1, c.analogType);
        ASSERT_TRUE(ScatterCg1Panel());
        EXPECT_EQ(Dimmed(hCg1Panel, NUMkJratio), c.ratio);
        EXPECT_EQ(Dimmed(hCg1Panel, NUMlimitJcomp), c.compoundLimit);
        EXPECT_EQ(Dimmed(hCg1Panel, NUMusMinInjOn), c.doublePulses);
        EXPECT_EQ(Dimmed(hCg1Panel, NUMusMinInjDelta), c.doublePulses);
        EXPECT_EQ(Dimmed(hCg1Panel, RINGtransType), c.transmission);
        EXPECT_EQ(Dimmed(hCg1Panel, NUMthrCntShift), c.shiftCount);
    }
}

} // namespace

namespace {

TEST_F(ConfigTest, SpecialWheelsDescribeThemselves) {
    struct Case {
        std::uint8_t wheel, camType;
        const char* text;
    };
    const Case cases[] = {
        {45, 0, "Harley Davidson\nWith cam sensor\n2 revs per cycle"},
        {46, 0, "12 teeths, 2 missing\nTriple-pulse cam sensor\n2 revs per cycle"},
        {49, 0, "Clio RSfaseIII (60 teeths)\nWith cam sensor\n2 revs per cycle"},
        {48, 0, "Clio RSfaseIII (60 teeths)\nNo cam sensor\n1 rev per cycle"},
        {47, 0, "18 teeths, 1 long\nNo cam sensor\n1 rev per cycle"},
        {47, 1, "18 teeths, 1 long\nPneumatic cam sensor\n2 revs per cycle"},
        {47, 2, "18 teeths, 1 long\nKinematic cam sensor\n2 revs per cycle"},
        {1, 2, "8 teeths, 1 missing\nKinematic cam sensor\n1 rev per cycle"},
        {0, 0, "undefined"},
    };
    for (const Case& c : cases) {
        SetTwa(c.wheel);
        SetParByte(0x6F3, c.camType);
        char text[256];
        WheelDescription(text);
        EXPECT_STREQ(text, c.text) << static_cast<int>(c.wheel) << " cam " << static_cast<int>(c.camType);
    }
}

} // namespace

namespace {

// A number typed into "Wheel Offset [deg]" means what it says: one beyond the range is held to it (not cut
// to the keys that would fit), an exponent counts, and a comma is no decimal point and no thousands
// separator either, so that entry is refused and the offset stays as it was.
TEST_F(ConfigTest, WheelOffsetIsTheNumberTypedHeldToItsRange) {
    struct Case {
        const char* typed;
        double shown;
        std::int64_t raw; // tenths of a degree at +0x6BE
    };
    const Case cases[] = {
        {"3.5", 3.5, 35},       {"3,5", 3.5, 35},   {"-12.5", -12.5, -125},
        {"1,000", -12.5, -125}, {"720", 720, 7200}, {"999", 720, 7200},
        {"-1000", -720, -7200}, {"1e1", 10, 100},   {"-2.5e2", -250, -2500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_EQ(uitest::SetValueAsUser(hCg1Panel, NUMcaletSmot, c.typed), 0);
        ASSERT_TRUE(GatherCg1Panel());
        EXPECT_EQ(Number(hCg1Panel, NUMcaletSmot), c.shown);
        EXPECT_EQ(ReadField(Image::Par, 0x6BE, Raw::I16), c.raw);
    }
}

} // namespace

namespace {

// Received data that break two boxes' limits, "Tacho Pulses" (1 .. 2) at 255 and "Max. Phase Change [deg]"
// (1 .. 720) at -0.1, show as they are and go back as they came while the user only tabs through them. A
// number typed over them is held to the box's own range on either side, as is a minus typed into the phase
// box while it holds 720.0; Send writes what the boxes hold.
TEST_F(ConfigTest, NumbersTypedOverReceivedValuesBeyondTheirRangeAreHeldToIt) {
    std::vector<std::uint8_t>& stored = ecu.model.StoreBytes(ecusim::Store::Par);
    stored.at(ecusim::kPrefixSize + 0x7AE) = 255;
    ecusim::PutBE16(&stored.at(ecusim::kPrefixSize + 0x7AC), 0xFFFF); // -1: -0.1 deg
    ecusim::SealImage(stored);
    ConnectSimulator();
    ReceiveDataSet(ECUSELZ::CBparData);
    ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBconfig), 0); // the group's page shown last
    ASSERT_EQ(uitest::SelectTab(hCurPanel, TPselectConfig, 0), 0);
    ASSERT_EQ(hCurPanel, hCg1Panel);
    const auto typeAndTab = [](int control, const char* text) {
        ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);   // back from "Select ECU Data"
        ASSERT_EQ(SetActiveCtrl(hCg1Panel, control), 0); // the user clicks into the box
        if (text != nullptr) {
            ASSERT_EQ(uitest::TypeKey('a' | VAL_MENUKEY_MODIFIER), 0);
            for (const char* k = text; *k != '\0'; ++k)
                ASSERT_EQ(uitest::TypeKey(*k), 0);
        }
        ASSERT_EQ(uitest::TypeKey(VAL_TAB_VKEY), 0);
    };
    const auto sent = [&] {
        SendDataSet(ECUSELZ::CBparData);
        return std::pair{
            int{ecu.model.ParByte(0x7AE)},
            ecusim::GetBE16(&ecu.model.StoreBytes(ecusim::Store::Par).at(ecusim::kPrefixSize + 0x7AC))};
    };
    EXPECT_EQ(uitest::ShownText(hCg1Panel, NUMtachoPuls), "255");
    EXPECT_EQ(uitest::ShownText(hCg1Panel, NUMmaxVarPhase), "-0.1");
    typeAndTab(NUMtachoPuls, nullptr);
    typeAndTab(NUMmaxVarPhase, nullptr);
    EXPECT_EQ(sent(), (std::pair{255, std::uint16_t{0xFFFF}})) << "only tabbed through";

    typeAndTab(NUMtachoPuls, "999");
    typeAndTab(NUMmaxVarPhase, "-818");
    EXPECT_EQ(Number(hCg1Panel, NUMtachoPuls), 2);
    EXPECT_EQ(Number(hCg1Panel, NUMmaxVarPhase), 1.0);
    EXPECT_EQ(sent(), (std::pair{2, std::uint16_t{10}}));

    typeAndTab(NUMmaxVarPhase, "720");
    typeAndTab(NUMmaxVarPhase, "-818");
    EXPECT_EQ(Number(hCg1Panel, NUMmaxVarPhase), 1.0) << "a minus typed into a box of positive numbers";
    EXPECT_EQ(sent(), (std::pair{2, std::uint16_t{10}}));
}

} // namespace
