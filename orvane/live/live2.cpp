// Live page 2, the bench page: the live values in short, every analog channel as A/D value and
// engineering value, the drive-by-wire module, the bench adjustments (carried by the next live request)
// and the one-shot output tests (command 0x0A).
#include "orvane/core/logic/com.h"
#include "orvane/core/logic/ecucmds.h"
#include "orvane/core/logic/slidehold.h"
#include "orvane/core/ui/loadpage.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/live/live.h"
#include "orvane/live/liverec.h"
#include "orvane/live/liveshow.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

int hLv2Panel = 0;

namespace {

constexpr char kTestTitle[] = "One-Shot Output Test";

int adTextColour = VAL_BLACK; // the A/D controls' own text colour, read from the panel

// clang-format off
constexpr ShownField kFields[] = {
    {LIVE2::NUMsmotPuls, Rec::L0, 0, Type::U16, 1},
    {LIVE2::NUMscamPuls, Rec::L0, 2, Type::U16, 1},
    {LIVE2::NUMsmotErrs, Rec::L0, 4, Type::U16, 1},
    {LIVE2::NUMscamErrs, Rec::L0, 6, Type::U16, 1},
    {LIVE2::NUMrevs, Rec::L0, 10, Type::U16, 1},
    {LIVE2::NUMrpmG, Rec::L0, 14, Type::U16, 1},
    {LIVE2::NUMrpmM, Rec::L0, 16, Type::U16, 1},
    {LIVE2::NUMdRpm, Rec::L0, 18, Type::I16, 1},
    {LIVE2::NUMterog1H, Rec::L0, 32, Type::U16, 1000},
    {LIVE2::NUMterog2H, Rec::L0, 34, Type::U16, 1000},
    {LIVE2::NUMterog3H, Rec::L0, 36, Type::U16, 1000},
    {LIVE2::NUMterog4H, Rec::L0, 38, Type::U16, 1000},
    {LIVE2::NUMterog1L, Rec::L0, 40, Type::U16, 1000},
    {LIVE2::NUMterog2L, Rec::L0, 42, Type::U16, 1000},
    {LIVE2::NUMterog3L, Rec::L0, 44, Type::U16, 1000},
    {LIVE2::NUMterog4L, Rec::L0, 46, Type::U16, 1000},
    {LIVE2::NUMfase1L, Rec::L0, 214, Type::I16, 10},
    {LIVE2::NUMfase2L, Rec::L0, 216, Type::I16, 10},
    {LIVE2::NUMfase3L, Rec::L0, 218, Type::I16, 10},
    {LIVE2::NUMfase4L, Rec::L0, 220, Type::I16, 10},
    {LIVE2::NUMfase1H, Rec::L0, 222, Type::I16, 10},
    {LIVE2::NUMfase2H, Rec::L0, 224, Type::I16, 10},
    {LIVE2::NUMfase3H, Rec::L0, 226, Type::I16, 10},
    {LIVE2::NUMfase4H, Rec::L0, 228, Type::I16, 10},
    {LIVE2::NUMteta1, Rec::L1, 0, Type::I16, 10},
    {LIVE2::NUMteta2, Rec::L1, 2, Type::I16, 10},
    {LIVE2::NUMteta3, Rec::L1, 4, Type::I16, 10},
    {LIVE2::NUMteta4, Rec::L1, 6, Type::I16, 10},
    {LIVE2::NUMdwell1, Rec::L1, 100, Type::U16, 1000},
    {LIVE2::NUMdwell2, Rec::L1, 100, Type::U16, 1000},
    {LIVE2::NUMdwell3, Rec::L1, 100, Type::U16, 1000},
    {LIVE2::NUMdwell4, Rec::L1, 100, Type::U16, 1000},
    {LIVE2::NUMextSparkOff1, Rec::L1, 102, Type::U8, 1},
    {LIVE2::NUMextSparkOff2, Rec::L1, 103, Type::U8, 1},
    {LIVE2::NUMextSparkOn1, Rec::L1, 104, Type::U8, 1},
    {LIVE2::NUMextSparkOn2, Rec::L1, 105, Type::U8, 1},
    {LIVE2::NUMextPercFaux, Rec::L1, 106, Type::I16, 10},
    {LIVE2::NUMextStepBpsAir, Rec::L1, 108, Type::I16, 1},
    {LIVE2::NUMextKdwell1, Rec::L1, 110, Type::U16, 1},
    {LIVE2::NUMextKdwell2, Rec::L1, 112, Type::U16, 1},
    {LIVE2::NUMextKpwmOut, Rec::L1, 114, Type::I16, 10},
    {LIVE2::NUMnormalStepCor, Rec::L1, 126, Type::I16, 1},
    {LIVE2::NUMtcLevel, Rec::L1, 132, Type::U16, 1},
    {LIVE2::NUMth2o, Rec::L2, 6, Type::I16, 10},
    {LIVE2::NUMtair, Rec::L2, 10, Type::I16, 10},
    {LIVE2::NUMpBaro, Rec::L2, 14, Type::I16, 1},
    {LIVE2::NUMpVacu, Rec::L2, 18, Type::I16, 1},
    {LIVE2::NUMuego1, Rec::L2, 26, Type::I16, 10},
    {LIVE2::NUMuego2, Rec::L2, 30, Type::I16, 10},
    {LIVE2::NUMfork, Rec::L2, 34, Type::I16, 10},
    {LIVE2::NUMshock, Rec::L2, 38, Type::I16, 10},
    {LIVE2::NUMvBat, Rec::L2, 54, Type::I16, 10},
    {LIVE2::NUMegasAD_A, Rec::L3, 0, Type::U16, 1},
    {LIVE2::NUMegasAD_B, Rec::L3, 2, Type::U16, 1},
    {LIVE2::NUMegas, Rec::L3, 4, Type::I16, 10},
    {LIVE2::NUMedbw1AD_A, Rec::L3, 6, Type::U16, 1},
    {LIVE2::NUMedbw1AD_B, Rec::L3, 8, Type::U16, 1},
    {LIVE2::NUMedbw1, Rec::L3, 10, Type::I16, 10},
    {LIVE2::NUMedbw2AD_A, Rec::L3, 12, Type::U16, 1},
    {LIVE2::NUMedbw2AD_B, Rec::L3, 14, Type::U16, 1},
    {LIVE2::NUMedbw2, Rec::L3, 16, Type::I16, 10},
    {LIVE2::NUMsollEdbw1, Rec::L3, 18, Type::I16, 10},
    {LIVE2::NUMsollEdbw2, Rec::L3, 20, Type::I16, 10},
    {LIVE2::NUMcor1Edbw1, Rec::L3, 22, Type::I16, 10},
    {LIVE2::NUMcor2Edbw1, Rec::L3, 24, Type::I16, 10},
    {LIVE2::NUMcor1Edbw2, Rec::L3, 26, Type::I16, 10},
    {LIVE2::NUMcor2Edbw2, Rec::L3, 28, Type::I16, 10},
    {LIVE2::NUMcmdEdbw1, Rec::L3, 30, Type::U16, 10},
    {LIVE2::NUMcmdEdbw2, Rec::L3, 32, Type::U16, 10},
};

constexpr ShownLed kLeds[] = {
    {LIVE2::LEDisEngineOn, Rec::L1, 134, 4},
    {LIVE2::LEDisTrigEnabled, Rec::L1, 134, 3},
    {LIVE2::LEDisInjEnabled, Rec::L1, 134, 2},
    {LIVE2::LEDisCranking, Rec::L1, 134, 1},
    {LIVE2::LEDisOverInj1, Rec::L1, 135, 7},
    {LIVE2::LEDisOverInj2, Rec::L1, 135, 6},
    {LIVE2::LEDisOverInj3, Rec::L1, 135, 5},
    {LIVE2::LEDisOverInj4, Rec::L1, 135, 4},
    {LIVE2::LEDisOverDwell1, Rec::L1, 135, 3},
    {LIVE2::LEDisOverDwell2, Rec::L1, 135, 2},
    {LIVE2::LEDisVbatFail, Rec::L1, 135, 1},
    {LIVE2::LEDisVbatHigh, Rec::L1, 135, 0},
    {LIVE2::LEDisJMMbyPair1, Rec::L1, 136, 7},
    {LIVE2::LEDisJMMbyPair2, Rec::L1, 136, 6},
    {LIVE2::LEDisJMMbyPair3, Rec::L1, 136, 5},
    {LIVE2::LEDisJMMbyPair4, Rec::L1, 136, 4},
    {LIVE2::LEDisBang, Rec::L1, 136, 3},
    {LIVE2::LEDisLaunchCtrl, Rec::L1, 136, 2},
    {LIVE2::LEDisVelim, Rec::L1, 136, 1},
    {LIVE2::LEDisVcam, Rec::L1, 136, 0},
    {LIVE2::LEDstopOrDrop, Rec::L1, 138, 5},
    {LIVE2::LEDisFolle, Rec::L1, 138, 1},
    {LIVE2::LEDisFuelPump, Rec::L1, 139, 7},
    {LIVE2::LEDisWarnLight, Rec::L1, 139, 6},
    {LIVE2::LEDisAuxOut, Rec::L1, 139, 5},
    {LIVE2::LEDisFuelConsum, Rec::L1, 139, 4},
    {LIVE2::LEDisCocA, Rec::L1, 139, 1},
    {LIVE2::LEDisCocB, Rec::L1, 139, 0},
    {LIVE2::LEDisTcOn, Rec::L1, 140, 7},
    {LIVE2::LEDisCutOff1, Rec::L1, 140, 6},
    {LIVE2::LEDisCutOff2, Rec::L1, 140, 5},
    {LIVE2::LEDisEdbwNoCfg1, Rec::L3, 42, 7},
    {LIVE2::LEDisEdbwMatch1, Rec::L3, 42, 5},
    {LIVE2::LEDisEdbwActive1, Rec::L3, 42, 0},
    {LIVE2::LEDisEdbwNoCfg2, Rec::L3, 43, 7},
    {LIVE2::LEDisEdbwMatch2, Rec::L3, 43, 5},
    {LIVE2::LEDisEdbwActive2, Rec::L3, 43, 0},
    {LIVE2::LEDisEdbwFail1, Rec::L3, 44, 7},
    {LIVE2::LEDisEdbwFail2, Rec::L3, 44, 6},
    {LIVE2::LEDisBlippingEdbw1, Rec::L3, 44, 1},
    {LIVE2::LEDisBlippingEdbw2, Rec::L3, 44, 0},
};
// clang-format on

constexpr CommonControls kCommon{LIVE2::NUMfarf,   LIVE2::NUMpotStep, LIVE2::NUMrtcLevel, LIVE2::NUMmappa,
                                 LIVE2::NUMmarcia, LIVE2::TMecuMap1,  LIVE2::TMecuMap2,   LIVE2::TMecuPar};

// An A/D control of liveData2; guarded channels turn red on a fault only while the link is open.
struct AdControl {
    int control;
    std::uint16_t offset;
    bool needsLink;
};
constexpr AdControl kAdControls[] = {
    {LIVE2::NUMfarfAD, 0, true},      {LIVE2::NUMth2oAD, 4, true},       {LIVE2::NUMtairAD, 8, true},
    {LIVE2::NUMpBaroAD, 12, true},    {LIVE2::NUMpVacuAD, 16, true},     {LIVE2::NUMuego1AD, 24, true},
    {LIVE2::NUMuego2AD, 28, true},    {LIVE2::NUMforkAD, 32, true},      {LIVE2::NUMshockAD, 36, true},
    {LIVE2::NUMpotStepAD, 40, false}, {LIVE2::NUMrtcLevelAD, 44, false}, {LIVE2::NUMvBatAD, 52, false},
};

// A bench slide: the field the ECU reports the adjustment in force by (its scale also encodes the value
// sent), the number beside it that repeats it, and its adjustment code. The unsigned ones are factors.
struct BenchSlide {
    ShownField field;
    int readout;
    std::uint8_t code;
    bool isSigned;
};
constexpr BenchSlide kBenchSlides[] = {
    {{LIVE2::NSkInjBanco, Rec::L0, 70, Type::U16, 1000}, LIVE2::NUMshowkInjBanco, 2, false},
    {{LIVE2::NSkInjBanco1, Rec::L0, 62, Type::U16, 1000}, LIVE2::NUMshowkInjBanco1, 3, false},
    {{LIVE2::NSkInjBanco2, Rec::L0, 64, Type::U16, 1000}, LIVE2::NUMshowkInjBanco2, 4, false},
    {{LIVE2::NSkInjBanco3, Rec::L0, 66, Type::U16, 1000}, LIVE2::NUMshowkInjBanco3, 5, false},
    {{LIVE2::NSkInjBanco4, Rec::L0, 68, Type::U16, 1000}, LIVE2::NUMshowkInjBanco4, 6, false},
    {{LIVE2::NSdegFaseBancoL, Rec::L0, 246, Type::I16, 1}, LIVE2::NUMshowdegFaseBancoL, 7, true},
    {{LIVE2::NSdegFaseBancoH, Rec::L0, 248, Type::I16, 1}, LIVE2::NUMshowdegFaseBancoH, 8, true},
    {{LIVE2::NSkInjRipBanco, Rec::L0, 104, Type::I16, 10}, LIVE2::NUMshowkInjRipBanco, 9, true},
    {{LIVE2::NSddgAdvBanco, Rec::L1, 24, Type::I16, 10}, LIVE2::NUMshowddgAdvBanco, 10, true},
    {{LIVE2::NSddgAdvBanco1, Rec::L1, 16, Type::I16, 10}, LIVE2::NUMshowddgAdvBanco1, 11, true},
    {{LIVE2::NSddgAdvBanco2, Rec::L1, 18, Type::I16, 10}, LIVE2::NUMshowddgAdvBanco2, 12, true},
    {{LIVE2::NSddgAdvBanco3, Rec::L1, 20, Type::I16, 10}, LIVE2::NUMshowddgAdvBanco3, 13, true},
    {{LIVE2::NSddgAdvBanco4, Rec::L1, 22, Type::I16, 10}, LIVE2::NUMshowddgAdvBanco4, 14, true},
    {{LIVE2::NSpwmOutBanco, Rec::L1, 124, Type::I16, 10}, LIVE2::NUMshowpwmOutBanco, 15, true},
    {{LIVE2::NSedbwBanco1, Rec::L3, 34, Type::I16, 10}, LIVE2::NUMshowedbwBanco1, 16, true},
    {{LIVE2::NSedbwBanco2, Rec::L3, 36, Type::I16, 10}, LIVE2::NUMshowedbwBanco2, 17, true},
};

// The slides that no rule of the configuration dims.
constexpr int kSlidesForAnyEngine[] = {LIVE2::NSkInjBanco, LIVE2::NSddgAdvBanco, LIVE2::NSpwmOutBanco};

// Each slide keeps the user's value until its record was read after the request that took it along.
std::array<SlideHold, std::size(kBenchSlides)> benchHolds;

// The adjustment that changes nothing: a factor of 1, an offset of 0.
double Neutral(const BenchSlide& s) {
    return s.isSigned ? 0.0 : 1.0;
}

// What the slide shows: with the link closed the neutral adjustment, while the user's last change is not
// yet reported back the user's value (left as it is), else what the ECU reports.
void ShowBenchSlide(int p, const BenchSlide& slide, SlideHold& hold) {
    if (!isComOpen) {
        hold = {};
        SetCtrlVal(p, slide.field.control, Neutral(slide));
    } else if (!SlideHeld(hold, liveRecordRequest[static_cast<std::size_t>(slide.field.rec)])) {
        SetCtrlVal(p, slide.field.control, ShownValue(slide.field));
    }
    double v = 0;
    int dimmed = 0;
    GetCtrlVal(p, slide.field.control, &v);
    GetCtrlAttribute(p, slide.field.control, ATTR_DIMMED, &dimmed);
    SetCtrlVal(p, slide.readout, v);
    Dim(p, slide.readout, dimmed != 0);
}

// An output test: its code, and whether the value is the toggle's state.
struct OutputTest {
    int control;
    std::uint8_t code;
    bool isToggle;
};
constexpr OutputTest kOutputTests[] = {
    {LIVE2::CBtestInj1, 1, false},    {LIVE2::CBtestInj2, 2, false},  {LIVE2::CBtestInj3, 3, false},
    {LIVE2::CBtestInj4, 4, false},    {LIVE2::CBtestTrig1, 5, false}, {LIVE2::CBtestTrig2, 6, false},
    {LIVE2::TBtestFuelPump, 7, true}, {LIVE2::TBtestAuxOut, 8, true}, {LIVE2::TBtestFuelConsum, 9, true},
};
constexpr int kTestToggles[] = {LIVE2::TBtestFuelPump, LIVE2::TBtestAuxOut, LIVE2::TBtestFuelConsum};
constexpr int kOutputsNeedingLink[] = {LIVE2::TBtestFuelPump,   LIVE2::LEDisFuelPump,
                                       LIVE2::TBtestAuxOut,     LIVE2::LEDisAuxOut,
                                       LIVE2::TBtestFuelConsum, LIVE2::LEDisFuelConsum};

constexpr PerCylinder kTerogL = LIVE_CYL4(LIVE2, NUMterog, L);
constexpr PerCylinder kTerogH = LIVE_CYL4(LIVE2, NUMterog, H);
constexpr PerCylinder kNoInj[] = {LIVE_CYL4(LIVE2, NUMfase, L), LIVE_CYL4(LIVE2, NUMfase, H),
                                  LIVE_CYL4(LIVE2, NSkInjBanco, )};
constexpr PerCylinder kNoIgn[] = {LIVE_CYL4(LIVE2, NUMteta, ), LIVE_CYL4(LIVE2, NUMdwell, ),
                                  LIVE_CYL4(LIVE2, NSddgAdvBanco, ), LIVE_CYL4(LIVE2, LEDisJMMbyPair, )};
constexpr std::array<int, 4> kCoilControls[] = {
    {LIVE2::CBtestTrig1, LIVE2::LEDisOverDwell1, LIVE2::NUMextSparkOn1, LIVE2::NUMextSparkOff1},
    {LIVE2::CBtestTrig2, LIVE2::LEDisOverDwell2, LIVE2::NUMextSparkOn2, LIVE2::NUMextSparkOff2}};
constexpr PerCylinder kInjTests = LIVE_CYL4(LIVE2, CBtestInj, );
constexpr PerCylinder kOverInj = LIVE_CYL4(LIVE2, LEDisOverInj, );
constexpr int kForkShock[] = {LIVE2::NUMfork, LIVE2::NUMshock, LIVE2::NUMforkAD, LIVE2::NUMshockAD};
constexpr int kLambdaAd[] = {LIVE2::NUMuego1AD, LIVE2::NUMuego2AD};
constexpr int kLevel[] = {LIVE2::NUMrtcLevel, LIVE2::NUMrtcLevelAD};
constexpr int kDriveByWire[] = {LIVE2::NUMcmdEdbw1,
                                LIVE2::NUMsollEdbw1,
                                LIVE2::NUMcor1Edbw1,
                                LIVE2::NUMcor2Edbw1,
                                LIVE2::NUMcmdEdbw2,
                                LIVE2::NUMsollEdbw2,
                                LIVE2::NUMcor1Edbw2,
                                LIVE2::NUMcor2Edbw2,
                                LIVE2::NUMegas,
                                LIVE2::NUMedbw1,
                                LIVE2::NUMedbw2,
                                LIVE2::NUMegasAD_A,
                                LIVE2::NUMegasAD_B,
                                LIVE2::NUMedbw1AD_A,
                                LIVE2::NUMedbw1AD_B,
                                LIVE2::NUMedbw2AD_A,
                                LIVE2::NUMedbw2AD_B,
                                LIVE2::NSedbwBanco1,
                                LIVE2::NSedbwBanco2,
                                LIVE2::LEDisEdbwNoCfg1,
                                LIVE2::LEDisEdbwMatch1,
                                LIVE2::LEDisEdbwActive1,
                                LIVE2::LEDisEdbwNoCfg2,
                                LIVE2::LEDisEdbwMatch2,
                                LIVE2::LEDisEdbwActive2,
                                LIVE2::LEDisEdbwFail1,
                                LIVE2::LEDisEdbwFail2,
                                LIVE2::LEDisBlippingEdbw1,
                                LIVE2::LEDisBlippingEdbw2,
                                LIVE2::NUMjTransAux,
                                LIVE2::NUMaTransAux,
                                LIVE2::TMedbw};

bool AnyLowInjector() {
    return HasLowInj(0) || HasLowInj(1) || HasLowInj(2) || HasLowInj(3);
}
bool AnyHighInjector() {
    return HasHighInj(0) || HasHighInj(1) || HasHighInj(2) || HasHighInj(3);
}

// The idle-air actuator's five controls: bright as the actuator kind has them.
void DimActuator(int p) {
    const std::uint8_t kind = miscInfo[kMiscIdleAir];
    const bool known = kind == 1 || kind == 3 || kind == 4;
    Dim(p, LIVE2::NUMpotStep, !known);
    Dim(p, LIVE2::NUMpotStepAD, kind != 1);
    Dim(p, LIVE2::NUMextPercFaux, kind != 1);
    Dim(p, LIVE2::NUMextStepBpsAir, kind != 4);
    Dim(p, LIVE2::NUMnormalStepCor, kind != 3);
}

void ShowTransients(int p) {
    const bool external = miscInfo[kMiscExtDriveByWire] != 0;
    const std::uint8_t* l0 = liveData0.data();
    SetCtrlVal(p, LIVE2::NUMjTrans, LiveI16(l0, external ? 22 : 20) / 10.0);
    SetCtrlVal(p, LIVE2::NUMaTrans, LiveI16(l0, external ? 28 : 26) / 10.0);
    SetCtrlVal(p, LIVE2::NUMjTransAux, external ? LiveI16(l0, 24) / 10.0 : 0.0);
    SetCtrlVal(p, LIVE2::NUMaTransAux, external ? LiveI16(l0, 30) / 10.0 : 0.0);
}

void ShowAnalog(int p) {
    for (const AdControl& a : kAdControls) {
        const std::uint16_t word = LiveU16(liveData2.data(), a.offset);
        SetCtrlVal(p, a.control, static_cast<int>(AdValue(word)));
        const bool red = AdFault(word) && (isComOpen || !a.needsLink);
        SetCtrlAttribute(p, a.control, ATTR_TEXT_COLOR, red ? VAL_RED : adTextColour);
    }
    const std::uint16_t gear = LiveU16(liveData2.data(), 22);
    if (miscInfo[kMiscGearSensor] != 2) {
        SetCtrlAttribute(p, LIVE2::NUMgearPos, ATTR_PRECISION, 0);
        SetCtrlVal(p, LIVE2::NUMgearPos, static_cast<int>(AdValue(gear)));
        const bool fault = AdFault(LiveU16(liveData2.data(), 20));
        SetCtrlAttribute(p, LIVE2::NUMgearPos, ATTR_TEXT_COLOR, fault ? VAL_RED : adTextColour);
    } else {
        SetCtrlAttribute(p, LIVE2::NUMgearPos, ATTR_PRECISION, 1);
        SetCtrlVal(p, LIVE2::NUMgearPos, gear / 10.0);
        SetCtrlAttribute(p, LIVE2::NUMgearPos, ATTR_TEXT_COLOR, adTextColour);
    }
}

// The slide's value as the ECU takes it: unsigned factors rounded, signed values rounded half away
// from zero and kept as a 16-bit two's-complement word.
std::uint16_t EncodeBenchValue(const BenchSlide& s, double v) {
    const double scale = s.field.scale;
    if (!s.isSigned) return static_cast<std::uint16_t>(static_cast<long>(v * scale + 0.5));
    const double x = v > 0 ? v * scale + 0.5 : v * scale - 0.5;
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::trunc(x)));
}

bool RunOutputTest(int control) {
    const auto* test = std::ranges::find(kOutputTests, control, &OutputTest::control);
    if (test == std::end(kOutputTests)) return false;
    int state = 0;
    if (test->isToggle) GetCtrlVal(hLv2Panel, control, &state);
    const std::uint8_t request[2] = {test->code, static_cast<std::uint8_t>(state ? 1 : 0)};
    if (!TxCommand(CMD_OUTPUT_TEST, request, sizeof request)) return false;
    std::uint8_t none = 0;
    std::uint8_t len = 0;
    return RxResponse(CMD_OUTPUT_TEST, &none, 0, &len) == 0 && len == 0;
}

} // namespace

bool InitLv2Panel(int parent) {
    if (!LoadPage(parent, LIVE2::id, hLv2Panel)) return false;
    RangeFields(hLv2Panel, kFields);
    RangeCommonValues(hLv2Panel, kCommon);
    for (const int transient : {LIVE2::NUMjTrans, LIVE2::NUMaTrans, LIVE2::NUMjTransAux, LIVE2::NUMaTransAux})
        RangeByType(hLv2Panel, transient, Type::I16, 10);
    if (GetCtrlAttribute(hLv2Panel, LIVE2::NUMfarfAD, ATTR_TEXT_COLOR, &adTextColour) < 0) return false;
    ShowRecordSizes(hLv2Panel, {LIVE2::NUMsizeofLiveData0, LIVE2::NUMsizeofLiveData1,
                                LIVE2::NUMsizeofLiveData2, LIVE2::NUMsizeofLiveData3});
    return true;
}

void DimLv2Controls() {
    const int p = hLv2Panel;
    for (std::size_t cyl = 0; cyl < 4; ++cyl) {
        const bool noL = !HasLowInj(cyl), noH = !HasHighInj(cyl), noIgn = !HasCoil(cyl);
        Dim(p, kTerogL[cyl], noL);
        Dim(p, kTerogH[cyl], noH);
        DimCylinder(p, kNoInj, cyl, noL && noH);
        DimCylinder(p, kNoIgn, cyl, noIgn);
        const bool unused = !AnyCylinderOnInjector(static_cast<int>(cyl));
        Dim(p, kInjTests[cyl], unused);
        Dim(p, kOverInj[cyl], unused);
    }
    Dim(p, LIVE2::NSkInjRipBanco, !AnyLowInjector() || !AnyHighInjector());
    Dim(p, LIVE2::NSdegFaseBancoL, !AnyLowInjector());
    Dim(p, LIVE2::NSdegFaseBancoH, !AnyHighInjector());
    for (int coil = 0; coil < 2; ++coil)
        DimAll(p, kCoilControls[coil], !AnyCylinderOnCoil(coil));
    Dim(p, LIVE2::NUMscamPuls, twaInfo[kTwaCamFlag] != 0);
    Dim(p, LIVE2::NUMscamErrs, twaInfo[kTwaCamFlag] != 0);
    DimAll(p, kOutputsNeedingLink, !isComOpen);
    Dim(p, LIVE2::LEDisVcam, miscInfo[kMiscVariableCam] == 0);
    DimActuator(p);
    LabelThrottle(p, LIVE2::NUMfarf);
    const std::uint8_t inputs = miscInfo[kMiscAnalogInputs];
    DimAll(p, kForkShock, inputs != 4);
    DimAll(p, kLambdaAd, inputs != 3);
    DimAll(p, kLevel, inputs != 1 && inputs != 2);
    // the button reads the same switched on and off
    SetCtrlAttribute(p, LIVE2::TBtestAuxOut, ATTR_LABEL_TEXT,
                     miscInfo[kMiscAuxOutRelay] ? "Relais" : "Mil Lamp");
    Dim(p, LIVE2::NUMtcLevel, miscInfo[kMiscTractionControl] == 0);
    Dim(p, LIVE2::LEDisTcOn, miscInfo[kMiscTractionControl] == 0);
    DimAll(p, kDriveByWire, miscInfo[kMiscExtDriveByWire] == 0);
    // With the link closed there is nothing to adjust: every slide is dimmed, and the configuration's
    // dimming comes back with the link.
    DimAll(p, kSlidesForAnyEngine, !isComOpen);
    if (!isComOpen)
        for (const BenchSlide& slide : kBenchSlides)
            Dim(p, slide.field.control, true);
}

bool ScatterLv2Panel() {
    const int p = hLv2Panel;
    DimLv2Controls();
    UpdateProtectedFromLive();
    if (isComOpen && (liveData1[134] & 0x10)) // the engine runs: the output tests are off
        for (const int c : kTestToggles)
            SetCtrlVal(p, c, 0);
    ShowFields(p, kFields);
    ShowLeds(p, kLeds);
    ShowTransients(p);
    ShowAnalog(p);
    ShowCommonValues(p, kCommon);
    for (std::size_t i = 0; i < std::size(kBenchSlides); ++i)
        ShowBenchSlide(p, kBenchSlides[i], benchHolds[i]);
    char module[32];
    std::snprintf(module, sizeof module, "M%03d v%u.%u", LiveU16(liveData3.data(), 38), liveData3[40],
                  liveData3[41]);
    SetCtrlVal(p, LIVE2::TMedbw, module);
    return true;
}

int SetBancoAdjust(int panel, int control, int event, void*, int, int) {
    if (CheckfBusy() || (event != EVENT_COMMIT && event != EVENT_VAL_CHANGED)) return 0;
    const auto* slide =
        std::ranges::find(kBenchSlides, control, [](const BenchSlide& s) { return s.field.control; });
    if (slide == std::end(kBenchSlides)) {
        SetBenchAdjust(0, 0);
        return 0;
    }
    double v = 0;
    GetCtrlVal(panel, control, &v);
    SetBenchAdjust(slide->code, EncodeBenchValue(*slide, v));
    HoldSlide(benchHolds[static_cast<std::size_t>(slide - std::begin(kBenchSlides))], liveRequests + 1);
    return 0;
}

int TestOneShotOutput(int, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    if (!isComOpen) {
        MessagePopup(kTestTitle, "COMM error...");
        return 0;
    }
    if (!RunOutputTest(control)) MessagePopup(kTestTitle, szGenericError);
    return 0;
}
