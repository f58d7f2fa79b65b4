// Live page 1: the engine as the ECU computes it, per cylinder every factor of the injection time and
// every component of the advance, the status flags, the analog values and the wheel and throttle values.
#include "orvane/core/ui/loadpage.h"
#include "orvane/live/live.h"
#include "orvane/live/liverec.h"
#include "orvane/live/liveshow.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int hLv1Panel = 0;

namespace {

// clang-format off
constexpr ShownField kFields[] = {
    {LIVE1::NUMsmotPuls, Rec::L0, 0, Type::U16, 1},
    {LIVE1::NUMscamPuls, Rec::L0, 2, Type::U16, 1},
    {LIVE1::NUMsmotErrs, Rec::L0, 4, Type::U16, 1},
    {LIVE1::NUMscamErrs, Rec::L0, 6, Type::U16, 1},
    {LIVE1::NUMrevs, Rec::L0, 10, Type::U16, 1},
    {LIVE1::NUMrpmG, Rec::L0, 14, Type::U16, 1},
    {LIVE1::NUMrpmM, Rec::L0, 16, Type::U16, 1},
    {LIVE1::NUMdRpm, Rec::L0, 18, Type::I16, 1},
    {LIVE1::NUMterog1H, Rec::L0, 32, Type::U16, 1000},
    {LIVE1::NUMterog2H, Rec::L0, 34, Type::U16, 1000},
    {LIVE1::NUMterog3H, Rec::L0, 36, Type::U16, 1000},
    {LIVE1::NUMterog4H, Rec::L0, 38, Type::U16, 1000},
    {LIVE1::NUMterog1L, Rec::L0, 40, Type::U16, 1000},
    {LIVE1::NUMterog2L, Rec::L0, 42, Type::U16, 1000},
    {LIVE1::NUMterog3L, Rec::L0, 44, Type::U16, 1000},
    {LIVE1::NUMterog4L, Rec::L0, 46, Type::U16, 1000},
    {LIVE1::NUMusInjBase1, Rec::L0, 48, Type::U16, 1000},
    {LIVE1::NUMusInjBase2, Rec::L0, 50, Type::U16, 1000},
    {LIVE1::NUMusInjBase3, Rec::L0, 52, Type::U16, 1000},
    {LIVE1::NUMusInjBase4, Rec::L0, 54, Type::U16, 1000},
    {LIVE1::NUMkInjTair, Rec::L0, 56, Type::U16, 1000},
    {LIVE1::NUMkInjTh2o, Rec::L0, 58, Type::U16, 1000},
    {LIVE1::NUMkInjPbaro, Rec::L0, 60, Type::U16, 1000},
    {LIVE1::NUMkInjRip1, Rec::L0, 72, Type::U16, 10},
    {LIVE1::NUMkInjRip2, Rec::L0, 74, Type::U16, 10},
    {LIVE1::NUMkInjRip3, Rec::L0, 76, Type::U16, 10},
    {LIVE1::NUMkInjRip4, Rec::L0, 78, Type::U16, 10},
    {LIVE1::NUMkInjRipFlt1, Rec::L0, 80, Type::U16, 10},
    {LIVE1::NUMkInjRipFlt2, Rec::L0, 82, Type::U16, 10},
    {LIVE1::NUMkInjRipFlt3, Rec::L0, 84, Type::U16, 10},
    {LIVE1::NUMkInjRipFlt4, Rec::L0, 86, Type::U16, 10},
    {LIVE1::NUMkInjRip1L, Rec::L0, 106, Type::U16, 1000},
    {LIVE1::NUMkInjRip2L, Rec::L0, 108, Type::U16, 1000},
    {LIVE1::NUMkInjRip3L, Rec::L0, 110, Type::U16, 1000},
    {LIVE1::NUMkInjRip4L, Rec::L0, 112, Type::U16, 1000},
    {LIVE1::NUMkInjRip1H, Rec::L0, 114, Type::U16, 1000},
    {LIVE1::NUMkInjRip2H, Rec::L0, 116, Type::U16, 1000},
    {LIVE1::NUMkInjRip3H, Rec::L0, 118, Type::U16, 1000},
    {LIVE1::NUMkInjRip4H, Rec::L0, 120, Type::U16, 1000},
    {LIVE1::NUMkInjUser1, Rec::L0, 122, Type::U16, 1000},
    {LIVE1::NUMkInjUser2, Rec::L0, 124, Type::U16, 1000},
    {LIVE1::NUMkInjUser3, Rec::L0, 126, Type::U16, 1000},
    {LIVE1::NUMkInjUser4, Rec::L0, 128, Type::U16, 1000},
    {LIVE1::NUMkInjCrank, Rec::L0, 130, Type::U16, 1000},
    {LIVE1::NUMkInjGear1, Rec::L0, 132, Type::U16, 1000},
    {LIVE1::NUMkInjGear2, Rec::L0, 134, Type::U16, 1000},
    {LIVE1::NUMkInjGear3, Rec::L0, 136, Type::U16, 1000},
    {LIVE1::NUMkInjGear4, Rec::L0, 138, Type::U16, 1000},
    {LIVE1::NUMkInjAcc1, Rec::L0, 140, Type::U16, 1000},
    {LIVE1::NUMkInjAcc2, Rec::L0, 142, Type::U16, 1000},
    {LIVE1::NUMkInjAcc3, Rec::L0, 144, Type::U16, 1000},
    {LIVE1::NUMkInjAcc4, Rec::L0, 146, Type::U16, 1000},
    {LIVE1::NUMkInjVel1, Rec::L0, 148, Type::U16, 1000},
    {LIVE1::NUMkInjVel2, Rec::L0, 150, Type::U16, 1000},
    {LIVE1::NUMkInjVel3, Rec::L0, 152, Type::U16, 1000},
    {LIVE1::NUMkInjVel4, Rec::L0, 154, Type::U16, 1000},
    {LIVE1::NUMkInjTc1, Rec::L0, 156, Type::U16, 1000},
    {LIVE1::NUMkInjTc2, Rec::L0, 158, Type::U16, 1000},
    {LIVE1::NUMkInjTc3, Rec::L0, 160, Type::U16, 1000},
    {LIVE1::NUMkInjTc4, Rec::L0, 162, Type::U16, 1000},
    {LIVE1::NUMkInjMacc1, Rec::L0, 164, Type::U16, 1000},
    {LIVE1::NUMkInjMacc2, Rec::L0, 166, Type::U16, 1000},
    {LIVE1::NUMkInjMacc3, Rec::L0, 168, Type::U16, 1000},
    {LIVE1::NUMkInjMacc4, Rec::L0, 170, Type::U16, 1000},
    {LIVE1::NUMkInjVelim, Rec::L0, 172, Type::U16, 1000},
    {LIVE1::NUMkInjCocA, Rec::L0, 174, Type::U16, 1000},
    {LIVE1::NUMkInjCocB, Rec::L0, 176, Type::U16, 1000},
    {LIVE1::NUMusInjTransRpm1, Rec::L0, 178, Type::I16, 1000},
    {LIVE1::NUMusInjTransRpm2, Rec::L0, 180, Type::I16, 1000},
    {LIVE1::NUMusInjTransRpm3, Rec::L0, 182, Type::I16, 1000},
    {LIVE1::NUMusInjTransRpm4, Rec::L0, 184, Type::I16, 1000},
    {LIVE1::NUMusInjTransTh2o1, Rec::L0, 186, Type::I16, 1000},
    {LIVE1::NUMusInjTransTh2o2, Rec::L0, 188, Type::I16, 1000},
    {LIVE1::NUMusInjTransTh2o3, Rec::L0, 190, Type::I16, 1000},
    {LIVE1::NUMusInjTransTh2o4, Rec::L0, 192, Type::I16, 1000},
    {LIVE1::NUMusInjTrans1, Rec::L0, 194, Type::I16, 1000},
    {LIVE1::NUMusInjTrans2, Rec::L0, 196, Type::I16, 1000},
    {LIVE1::NUMusInjTrans3, Rec::L0, 198, Type::I16, 1000},
    {LIVE1::NUMusInjTrans4, Rec::L0, 200, Type::I16, 1000},
    {LIVE1::NUMusInjVbatL, Rec::L0, 202, Type::U16, 1000},
    {LIVE1::NUMusInjVbatH, Rec::L0, 204, Type::U16, 1000},
    {LIVE1::NUMkInjExt1, Rec::L0, 206, Type::U16, 1000},
    {LIVE1::NUMkInjExt2, Rec::L0, 208, Type::U16, 1000},
    {LIVE1::NUMkInjExt3, Rec::L0, 210, Type::U16, 1000},
    {LIVE1::NUMkInjExt4, Rec::L0, 212, Type::U16, 1000},
    {LIVE1::NUMfase1L, Rec::L0, 214, Type::I16, 10},
    {LIVE1::NUMfase2L, Rec::L0, 216, Type::I16, 10},
    {LIVE1::NUMfase3L, Rec::L0, 218, Type::I16, 10},
    {LIVE1::NUMfase4L, Rec::L0, 220, Type::I16, 10},
    {LIVE1::NUMfase1H, Rec::L0, 222, Type::I16, 10},
    {LIVE1::NUMfase2H, Rec::L0, 224, Type::I16, 10},
    {LIVE1::NUMfase3H, Rec::L0, 226, Type::I16, 10},
    {LIVE1::NUMfase4H, Rec::L0, 228, Type::I16, 10},
    {LIVE1::NUMdegFaseBase1L, Rec::L0, 230, Type::I16, 1},
    {LIVE1::NUMdegFaseBase2L, Rec::L0, 232, Type::I16, 1},
    {LIVE1::NUMdegFaseBase3L, Rec::L0, 234, Type::I16, 1},
    {LIVE1::NUMdegFaseBase4L, Rec::L0, 236, Type::I16, 1},
    {LIVE1::NUMdegFaseBase1H, Rec::L0, 238, Type::I16, 1},
    {LIVE1::NUMdegFaseBase2H, Rec::L0, 240, Type::I16, 1},
    {LIVE1::NUMdegFaseBase3H, Rec::L0, 242, Type::I16, 1},
    {LIVE1::NUMdegFaseBase4H, Rec::L0, 244, Type::I16, 1},
    {LIVE1::NUMteta1, Rec::L1, 0, Type::I16, 10},
    {LIVE1::NUMteta2, Rec::L1, 2, Type::I16, 10},
    {LIVE1::NUMteta3, Rec::L1, 4, Type::I16, 10},
    {LIVE1::NUMteta4, Rec::L1, 6, Type::I16, 10},
    {LIVE1::NUMddgAdvBase1, Rec::L1, 8, Type::I16, 10},
    {LIVE1::NUMddgAdvBase2, Rec::L1, 10, Type::I16, 10},
    {LIVE1::NUMddgAdvBase3, Rec::L1, 12, Type::I16, 10},
    {LIVE1::NUMddgAdvBase4, Rec::L1, 14, Type::I16, 10},
    {LIVE1::NUMddgAdvUser1, Rec::L1, 26, Type::I16, 10},
    {LIVE1::NUMddgAdvUser2, Rec::L1, 28, Type::I16, 10},
    {LIVE1::NUMddgAdvUser3, Rec::L1, 30, Type::I16, 10},
    {LIVE1::NUMddgAdvUser4, Rec::L1, 32, Type::I16, 10},
    {LIVE1::NUMddgAdvTair, Rec::L1, 34, Type::I16, 10},
    {LIVE1::NUMddgAdvTh2o, Rec::L1, 36, Type::I16, 10},
    {LIVE1::NUMddgAdvPbaro, Rec::L1, 38, Type::I16, 10},
    {LIVE1::NUMddgPickUp, Rec::L1, 40, Type::I16, 10},
    {LIVE1::NUMddgAdvGear1, Rec::L1, 42, Type::I16, 10},
    {LIVE1::NUMddgAdvGear2, Rec::L1, 44, Type::I16, 10},
    {LIVE1::NUMddgAdvGear3, Rec::L1, 46, Type::I16, 10},
    {LIVE1::NUMddgAdvGear4, Rec::L1, 48, Type::I16, 10},
    {LIVE1::NUMddgAdvAcc1, Rec::L1, 50, Type::I16, 10},
    {LIVE1::NUMddgAdvAcc2, Rec::L1, 52, Type::I16, 10},
    {LIVE1::NUMddgAdvAcc3, Rec::L1, 54, Type::I16, 10},
    {LIVE1::NUMddgAdvAcc4, Rec::L1, 56, Type::I16, 10},
    {LIVE1::NUMddgAdvVel1, Rec::L1, 58, Type::I16, 10},
    {LIVE1::NUMddgAdvVel2, Rec::L1, 60, Type::I16, 10},
    {LIVE1::NUMddgAdvVel3, Rec::L1, 62, Type::I16, 10},
    {LIVE1::NUMddgAdvVel4, Rec::L1, 64, Type::I16, 10},
    {LIVE1::NUMddgAdvTc1, Rec::L1, 66, Type::I16, 10},
    {LIVE1::NUMddgAdvTc2, Rec::L1, 68, Type::I16, 10},
    {LIVE1::NUMddgAdvTc3, Rec::L1, 70, Type::I16, 10},
    {LIVE1::NUMddgAdvTc4, Rec::L1, 72, Type::I16, 10},
    {LIVE1::NUMddgAdvMacc1, Rec::L1, 74, Type::I16, 10},
    {LIVE1::NUMddgAdvMacc2, Rec::L1, 76, Type::I16, 10},
    {LIVE1::NUMddgAdvMacc3, Rec::L1, 78, Type::I16, 10},
    {LIVE1::NUMddgAdvMacc4, Rec::L1, 80, Type::I16, 10},
    {LIVE1::NUMddgAdvVelim, Rec::L1, 82, Type::I16, 10},
    {LIVE1::NUMddgAdvTrans1, Rec::L1, 84, Type::I16, 10},
    {LIVE1::NUMddgAdvTrans2, Rec::L1, 86, Type::I16, 10},
    {LIVE1::NUMddgAdvTrans3, Rec::L1, 88, Type::I16, 10},
    {LIVE1::NUMddgAdvTrans4, Rec::L1, 90, Type::I16, 10},
    {LIVE1::NUMddgAdvExt1, Rec::L1, 92, Type::I16, 10},
    {LIVE1::NUMddgAdvExt2, Rec::L1, 94, Type::I16, 10},
    {LIVE1::NUMddgAdvExt3, Rec::L1, 96, Type::I16, 10},
    {LIVE1::NUMddgAdvExt4, Rec::L1, 98, Type::I16, 10},
    {LIVE1::NUMdwell1, Rec::L1, 100, Type::U16, 1000},
    {LIVE1::NUMdwell2, Rec::L1, 100, Type::U16, 1000},
    {LIVE1::NUMdwell3, Rec::L1, 100, Type::U16, 1000},
    {LIVE1::NUMdwell4, Rec::L1, 100, Type::U16, 1000},
    {LIVE1::NUMvelWheelPos, Rec::L1, 116, Type::U16, 1},
    {LIVE1::NUMvelWheelAnt, Rec::L1, 118, Type::U16, 1},
    {LIVE1::NUMdistWheel, Rec::L1, 120, Type::U16, 10},
    {LIVE1::NUMvalPwmOut, Rec::L1, 122, Type::U16, 10},
    {LIVE1::NUMspeedRpm, Rec::L1, 128, Type::U16, 1},
    {LIVE1::NUMslipRatio, Rec::L1, 130, Type::U16, 10},
    {LIVE1::NUMtcLevel, Rec::L1, 132, Type::U16, 1},
    {LIVE1::NUMth2o, Rec::L2, 6, Type::I16, 10},
    {LIVE1::NUMtair, Rec::L2, 10, Type::I16, 10},
    {LIVE1::NUMpBaro, Rec::L2, 14, Type::I16, 1},
    {LIVE1::NUMpVacu, Rec::L2, 18, Type::I16, 1},
    {LIVE1::NUMuego1, Rec::L2, 26, Type::I16, 10},
    {LIVE1::NUMuego2, Rec::L2, 30, Type::I16, 10},
    {LIVE1::NUMfork, Rec::L2, 34, Type::I16, 10},
    {LIVE1::NUMshock, Rec::L2, 38, Type::I16, 10},
    {LIVE1::NUMvBat, Rec::L2, 54, Type::I16, 10},
    {LIVE1::NUMegas, Rec::L3, 4, Type::I16, 10},
    {LIVE1::NUMedbw1, Rec::L3, 10, Type::I16, 10},
    {LIVE1::NUMedbw2, Rec::L3, 16, Type::I16, 10},
    {LIVE1::NUMcmdEdbw1, Rec::L3, 30, Type::U16, 10},
    {LIVE1::NUMcmdEdbw2, Rec::L3, 32, Type::U16, 10},
};

constexpr ShownLed kLeds[] = {
    {LIVE1::LEDisEngineOn, Rec::L1, 134, 4},
    {LIVE1::LEDisTrigEnabled, Rec::L1, 134, 3},
    {LIVE1::LEDisInjEnabled, Rec::L1, 134, 2},
    {LIVE1::LEDisCranking, Rec::L1, 134, 1},
    {LIVE1::LEDisOverInj1, Rec::L1, 135, 7},
    {LIVE1::LEDisOverInj2, Rec::L1, 135, 6},
    {LIVE1::LEDisOverInj3, Rec::L1, 135, 5},
    {LIVE1::LEDisOverInj4, Rec::L1, 135, 4},
    {LIVE1::LEDisOverDwell1, Rec::L1, 135, 3},
    {LIVE1::LEDisOverDwell2, Rec::L1, 135, 2},
    {LIVE1::LEDisVbatFail, Rec::L1, 135, 1},
    {LIVE1::LEDisVbatHigh, Rec::L1, 135, 0},
    {LIVE1::LEDisJMMbyPair1, Rec::L1, 136, 7},
    {LIVE1::LEDisJMMbyPair2, Rec::L1, 136, 6},
    {LIVE1::LEDisJMMbyPair3, Rec::L1, 136, 5},
    {LIVE1::LEDisJMMbyPair4, Rec::L1, 136, 4},
    {LIVE1::LEDisBang, Rec::L1, 136, 3},
    {LIVE1::LEDisLaunchCtrl, Rec::L1, 136, 2},
    {LIVE1::LEDisVelim, Rec::L1, 136, 1},
    {LIVE1::LEDisVcam, Rec::L1, 136, 0},
    {LIVE1::LEDisShiftSet, Rec::L1, 137, 7},
    {LIVE1::LEDisSet, Rec::L1, 137, 6},
    {LIVE1::LEDisCambiata, Rec::L1, 137, 5},
    {LIVE1::LEDisHoldOff, Rec::L1, 137, 4},
    {LIVE1::LEDisTimeOut, Rec::L1, 137, 3},
    {LIVE1::LEDfShiftExit, Rec::L1, 137, 2},
    {LIVE1::LEDfShiftCutOff, Rec::L1, 137, 1},
    {LIVE1::LEDfShiftLead, Rec::L1, 137, 0},
    {LIVE1::LEDisStop, Rec::L1, 138, 7},
    {LIVE1::LEDisDropSwitch, Rec::L1, 138, 6},
    {LIVE1::LEDstopOrDrop, Rec::L1, 138, 5},
    {LIVE1::LEDisStarterIn, Rec::L1, 138, 4},
    {LIVE1::LEDisClutch, Rec::L1, 138, 3},
    {LIVE1::LEDisNeutral, Rec::L1, 138, 2},
    {LIVE1::LEDisFolle, Rec::L1, 138, 1},
    {LIVE1::LEDisCodeLoad, Rec::L1, 138, 0},
    {LIVE1::LEDisWarnLight, Rec::L1, 139, 6},
    {LIVE1::LEDisSpeedRpmErr, Rec::L1, 139, 2},
    {LIVE1::LEDisCocA, Rec::L1, 139, 1},
    {LIVE1::LEDisCocB, Rec::L1, 139, 0},
    {LIVE1::LEDisTcOn, Rec::L1, 140, 7},
    {LIVE1::LEDisCutOff1, Rec::L1, 140, 6},
    {LIVE1::LEDisCutOff2, Rec::L1, 140, 5},
    {LIVE1::LEDisBlippingEdbw1, Rec::L3, 44, 1},
    {LIVE1::LEDisBlippingEdbw2, Rec::L3, 44, 0},
};
// clang-format on

constexpr CommonControls kCommon{LIVE1::NUMfarf,   LIVE1::NUMpotStep, LIVE1::NUMrtcLevel, LIVE1::NUMmappa,
                                 LIVE1::NUMmarcia, LIVE1::TMecuMap1,  LIVE1::TMecuMap2,   LIVE1::TMecuPar};

// Per cylinder 1..4: the controls dimmed when the cylinder has no low injector, no high injector, no coil,
// neither injector.
constexpr PerCylinder kNoLow[] = {LIVE_CYL4(LIVE1, NUMterog, L), LIVE_CYL4(LIVE1, NUMfase, L),
                                  LIVE_CYL4(LIVE1, NUMdegFaseBase, L), LIVE_CYL4(LIVE1, NUMkInjRip, L)};
constexpr PerCylinder kNoHigh[] = {LIVE_CYL4(LIVE1, NUMterog, H), LIVE_CYL4(LIVE1, NUMfase, H),
                                   LIVE_CYL4(LIVE1, NUMdegFaseBase, H), LIVE_CYL4(LIVE1, NUMkInjRip, H)};
constexpr PerCylinder kNoIgn[] = {
    LIVE_CYL4(LIVE1, NUMteta, ),       LIVE_CYL4(LIVE1, NUMddgAdvBase, ), LIVE_CYL4(LIVE1, NUMdwell, ),
    LIVE_CYL4(LIVE1, NUMddgAdvUser, ), LIVE_CYL4(LIVE1, NUMddgAdvExt, ),  LIVE_CYL4(LIVE1, NUMddgAdvTrans, ),
    LIVE_CYL4(LIVE1, NUMddgAdvGear, ), LIVE_CYL4(LIVE1, NUMddgAdvAcc, ),  LIVE_CYL4(LIVE1, NUMddgAdvVel, ),
    LIVE_CYL4(LIVE1, NUMddgAdvMacc, ), LIVE_CYL4(LIVE1, LEDisJMMbyPair, )};
constexpr PerCylinder kNoInj[] = {LIVE_CYL4(LIVE1, NUMusInjBase, ),      LIVE_CYL4(LIVE1, NUMkInjUser, ),
                                  LIVE_CYL4(LIVE1, NUMkInjExt, ),        LIVE_CYL4(LIVE1, NUMusInjTransRpm, ),
                                  LIVE_CYL4(LIVE1, NUMusInjTransTh2o, ), LIVE_CYL4(LIVE1, NUMusInjTrans, ),
                                  LIVE_CYL4(LIVE1, NUMkInjRip, ),        LIVE_CYL4(LIVE1, NUMkInjRipFlt, ),
                                  LIVE_CYL4(LIVE1, NUMkInjGear, ),       LIVE_CYL4(LIVE1, NUMkInjAcc, ),
                                  LIVE_CYL4(LIVE1, NUMkInjVel, ),        LIVE_CYL4(LIVE1, NUMkInjMacc, )};
constexpr PerCylinder kInjTc = LIVE_CYL4(LIVE1, NUMkInjTc, );
constexpr PerCylinder kAdvTc = LIVE_CYL4(LIVE1, NUMddgAdvTc, );
constexpr int kOverDwell[] = {LIVE1::LEDisOverDwell1, LIVE1::LEDisOverDwell2};
constexpr PerCylinder kOverInj = LIVE_CYL4(LIVE1, LEDisOverInj, );
constexpr int kDriveByWire[] = {LIVE1::NUMcmdEdbw1,       LIVE1::NUMcmdEdbw2, LIVE1::NUMegas,
                                LIVE1::NUMedbw1,          LIVE1::NUMedbw2,    LIVE1::LEDisBlippingEdbw1,
                                LIVE1::LEDisBlippingEdbw2};

} // namespace

bool InitLv1Panel(int parent) {
    if (!LoadPage(parent, LIVE1::id, hLv1Panel)) return false;
    RangeFields(hLv1Panel, kFields);
    RangeCommonValues(hLv1Panel, kCommon);
    ShowRecordSizes(hLv1Panel, {LIVE1::NUMsizeofLiveData0, LIVE1::NUMsizeofLiveData1,
                                LIVE1::NUMsizeofLiveData2, LIVE1::NUMsizeofLiveData3});
    return true;
}

void DimLv1Controls() {
    const int p = hLv1Panel;
    for (std::size_t cyl = 0; cyl < 4; ++cyl) {
        const bool noL = !HasLowInj(cyl), noH = !HasHighInj(cyl), noIgn = !HasCoil(cyl);
        DimCylinder(p, kNoLow, cyl, noL);
        DimCylinder(p, kNoHigh, cyl, noH);
        DimCylinder(p, kNoIgn, cyl, noIgn);
        DimCylinder(p, kNoInj, cyl, noL && noH);
        Dim(p, kInjTc[cyl], (noL && noH) || miscInfo[kMiscTractionControl] == 0);
        Dim(p, kAdvTc[cyl], noIgn || miscInfo[kMiscTractionControl] == 0);
        Dim(p, kOverInj[cyl], !AnyCylinderOnInjector(static_cast<int>(cyl)));
    }
    for (int coil = 0; coil < 2; ++coil)
        Dim(p, kOverDwell[coil], !AnyCylinderOnCoil(coil));
    Dim(p, LIVE1::NUMscamPuls, twaInfo[kTwaCamFlag] != 0);
    Dim(p, LIVE1::NUMscamErrs, twaInfo[kTwaCamFlag] != 0);
    Dim(p, LIVE1::LEDisVcam, miscInfo[kMiscVariableCam] == 0);
    Dim(p, LIVE1::NUMvelWheelAnt, miscInfo[kMiscFrontWheelSpeed] == 0);
    Dim(p, LIVE1::NUMvelWheelPos, miscInfo[kMiscFrontWheelSpeed] != 0);
    Dim(p, LIVE1::NUMpotStep,
        miscInfo[kMiscIdleAir] != 1 && miscInfo[kMiscIdleAir] != 3 && miscInfo[kMiscIdleAir] != 4);
    LabelThrottle(p, LIVE1::NUMfarf);
    const std::uint8_t inputs = miscInfo[kMiscAnalogInputs];
    Dim(p, LIVE1::NUMfork, inputs != 4);
    Dim(p, LIVE1::NUMshock, inputs != 4);
    Dim(p, LIVE1::NUMrtcLevel, inputs != 1 && inputs != 2);
    SetCtrlAttribute(p, LIVE1::LEDisShiftSet, ATTR_LABEL_TEXT, miscInfo[kMiscAntiLag] ? "AntiLag" : "Shift");
    SetCtrlAttribute(p, LIVE1::LEDisNeutral, ATTR_LABEL_TEXT, miscInfo[kMiscLaunch] ? "Launch" : "Neutral");
    SetCtrlAttribute(p, LIVE1::LEDisClutch, ATTR_LABEL_TEXT,
                     miscInfo[kMiscSpeedLimiter] ? "Velim" : "Clutch");
    Dim(p, LIVE1::NUMspeedRpm, miscInfo[kMiscSpeedRpmRatio] == 0);
    Dim(p, LIVE1::LEDisSpeedRpmErr, miscInfo[kMiscSpeedRpmRatio] == 0);
    Dim(p, LIVE1::NUMtcLevel, miscInfo[kMiscTractionControl] == 0);
    Dim(p, LIVE1::LEDisTcOn, miscInfo[kMiscTractionControl] == 0);
    DimAll(p, kDriveByWire, miscInfo[kMiscExtDriveByWire] == 0);
}

bool ScatterLv1Panel() {
    DimLv1Controls();
    UpdateProtectedFromLive();
    ShowFields(hLv1Panel, kFields);
    ShowLeds(hLv1Panel, kLeds);
    ShowCommonValues(hLv1Panel, kCommon);
    return true;
}
