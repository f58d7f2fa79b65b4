// Every field of the configuration pages, control by control: what the page shows of a field and what
// it stores from its control.
#include "bindingcheck.h"
#include "configfixture.h"
#include "orvane/config/catalogue.h"

#include <vector>

namespace {

using enum Raw;
constexpr Image P = Image::Par;

TEST_F(ConfigTest, Page1ShowsAndStoresEveryField) {
    using namespace CONFIG1;
    SetEngType(1); // one cylinder: a kinematic cam is possible
    SetTwa(21);    // "fas 8-1": cam sensor fitted, highest tooth 7
    // Values chosen so that no repair of the gather applies: every upper limit above its lower one.
    const BindingCase cases[] = {
        Field(NUMcaletSmot, P, 0x6BE, I16, 10, 1, -1234, 4567),
        Field(NUMcamLimit, P, 0x6C0, U16, 1, 0, 12345, 321),
        Field(RINGidVcamType, P, 0x6F3, U8, 1, -1, 1, 2),
        Field(NUMthrJMMsup, P, 0x6F6, I16, 10, 1, 901, 802),
        Field(NUMthrJMMinf, P, 0x6F8, I16, 10, 1, 345, 456),
        Field(NUMpercErrSync, P, 0x6F4, U16, 10, 1, 567, 678),
        Field(NUMkJratio, P, 0x6D8, U16, 1000, 3, 4321, 2345),
        Field(NUMlimitJcomp, P, 0x6D6, U16, 1000, 3, 31234, 12346),
        Field(NUMusMinInjOn, P, 0x6DA, U16, 1000, 3, 29876, 28765),
        Field(NUMusMinInjDelta, P, 0x6DC, U16, 1000, 3, 1357, 2468),
        Field(NUMinjFlow, P, 0x6DE, U16, 1, 0, 65432, 54321),
        Field(NUMhzPwmOut, P, 0x6B0, I16, 1, 0, 19876, 1234),
        Field(NUMminDeltaADpair, P, 0x6FA, U16, 1, 0, 1011, 999),
        Field(NUMpcamRpmSup, P, 0x6FC, U16, 1, 0, 18765, 17654),
        Field(NUMpcamRpmInf, P, 0x6FE, U16, 1, 0, 8765, 7654),
        Field(NUMpcamThrottleSup, P, 0x700, U16, 10, 1, 987, 876),
        Field(NUMpcamThrottleInf, P, 0x702, U16, 10, 1, 123, 234),
        Field(NUMpcamCogSup, P, 0x704, U16, 1, 0, 6, 5),
        Field(NUMpcamCogInf, P, 0x706, U16, 1, 0, 3, 2),
        Field(NUMtachoPuls, P, 0x7AE, U8, 1, 0, 2, 1),
        Field(NUMkSFInjection, P, 0x770, U16, 1000, 3, 1987, 1543),
        Field(TBfcInjection, P, 0x772, U8, 1, -1, 1, 0),
        Field(TBdropSwitchType, P, 0x778, U8, 1, -1, 0, 1),
        Field(TBdropSwitchOn, P, 0x779, U8, 1, -1, 1, 0),
        Field(TBshiftType, P, 0x77A, U8, 1, -1, 0, 1),
        Field(TBturboEnab, P, 0x77D, U8, 1, -1, 1, 0),
        Field(TBpwmOutByPair, P, 0x77E, U8, 1, -1, 0, 1),
        Field(TBantiLagOutput, P, 0x7B7, U8, 1, -1, 1, 0),
        Field(NUMfltDepthPvacu, P, 0x786, U16, 1, 0, 177, 66),
        Field(NUMthrCntShift, P, 0x784, U16, 1, 0, 1001, 555),
        Field(TBphaseInjEnd, P, 0x7B4, U8, 1, -1, 0, 1),
        Field(RINGtransType, P, 0x6E1, U8, 1, -1, 2, 1),
        Field(NUMmaxVarPhase, P, 0x7AC, I16, 10, 1, 7012, 1234),
    };
    CheckFieldBindings(hCg1Panel, ScatterCg1Panel, GatherCg1Panel, cases);
}

TEST_F(ConfigTest, Page2ShowsAndStoresEveryField) {
    using namespace CONFIG2;
    // Drive-by-wire on keeps the blipping flag; stepper and gear-mode values the gather keeps.
    SetParByte(0x7B3, 1);
    std::vector<BindingCase> cases = {
        Field(RINGstepperType, P, 0x7AF, U8, 1, -1, 4, 0),
        Field(NUMstepMinFast, P, 0x6B6, U16, 10, 1, 987, 123),
        Field(NUMstepSlow, P, 0x6B8, U16, 10, 1, 456, 789),
        Field(NUMstepFineTol, P, 0x6BA, U16, 1, 0, 1011, 22),
        Field(NUMstepRawTol, P, 0x6BC, U16, 1, 0, 999, 33),
        Field(NUMidlKp, P, 0x6A4, I32, 65536, 2, 802816, 229376),  // 12.25, 3.5
        Field(NUMidlKi, P, 0x6A8, I32, 65536, 4, 8065024, 491520), // 123.0625, 7.5
        Field(NUMidlKd, P, 0x6AC, I32, 65536, 3, 6496256, 24576),  // 99.125, 0.375
        Field(NUMsRpmAbsDiffVel, P, 0x708, U16, 1, 0, 432, 321),
        Field(NUMsRpmMsErrDelay, P, 0x70A, U16, 1, 0, 32000, 1234),
        Field(TBmapByFrontSpeed, P, 0x77C, U8, 1, -1, 1, 0),
        Field(TBvelAntByHall, P, 0x77F, U8, 1, -1, 0, 1),
        Field(TBfarfAuxHiTorque, P, 0x780, U8, 1, -1, 1, 0),
        Field(RINGmaxRTCsteps, P, 0x781, U8, 1, -1, 255, 9),
        Field(RINGmaxLevelSWsteps, P, 0x782, U8, 1, -1, 164, 104),
        Field(RINGscaleVelAntCan, P, 0x7AA, U16, 1, -1, 20, 5),
        Field(RINGgearMode, P, 0x7B0, U8, 1, -1, 2, 5),
        Field(RINGanalogType, P, 0x7B1, U8, 1, -1, 1, 4),
        Field(RINGrpmReference, P, 0x7B2, U8, 1, -1, 2, 1),
        Field(TBenableBlipping, P, 0x7C5, U8, 1, -1, 1, 0),
    };
    const int ids[] = {NUMidLambda1CAN,      NUMidLambda2CAN,  NUMidVelAntCAN,  NUMidTcLevelCAN,
                       NUMidRpmReferenceCAN, NUMidExtCor1CAN,  NUMidExtCor2CAN, NUMidExtCor3CAN,
                       NUMidExtCor4CAN,      NUMidExtDbwCorCAN};
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        const auto k = static_cast<std::int64_t>(i);
        cases.push_back(Field(ids[i], P, 0x796 + 2 * i, U16, 1, -1, 0x101 + 0x50 * k, 0x7F0 - 0x40 * k));
    }
    for (std::size_t g = 0; g < 7; ++g) {
        const auto k = static_cast<std::int64_t>(g);
        cases.push_back(CellField(TABfltDepthSpeedRpm, MakePoint(static_cast<int>(g) + 1, 1), P,
                                  0x788 + 2 * g, U16, 1, 0, 11 + 20 * k, 200 - k));
    }
    CheckFieldBindings(hCg2Panel, ScatterCg2Panel, GatherCg2Panel, cases);
}

// Every cell of the three tables, on rising axes so that no repair moves a value.
TEST_F(ConfigTest, Page3ShowsAndStoresEveryCell) {
    using namespace CONFIG3;
    std::vector<BindingCase> cases;
    for (int c = 1; c <= 16; ++c) {
        const std::size_t at = 2 * static_cast<std::size_t>(c - 1);
        cases.push_back(
            CellField(TABoffsVbat, MakePoint(c, 1), P, 0x684 + at, I16, 10, 1, 10 * c, 10 * c + 5));
        cases.push_back(CellField(TABoffsVbat, MakePoint(c, 2), P, 0x644 + at, I16, 1000, 3, 1000 * c + 1,
                                  1000 * c + 101));
        cases.push_back(CellField(TABoffsVbat, MakePoint(c, 3), P, 0x664 + at, I16, 1000, 3, 1500 * c + 3,
                                  1500 * c + 203));
        cases.push_back(
            CellField(TABdwell, MakePoint(c + 1, 1), P, 0x310 + at, I16, 10, 1, 10 * c, 10 * c + 3));
        for (int r = 1; r <= 10; ++r)
            cases.push_back(CellField(TABdwell, MakePoint(c + 1, r + 1), P,
                                      0x1D0 + 2 * static_cast<std::size_t>(16 * (r - 1) + c - 1), I16, 1000,
                                      3, 100 * r + c, 31000 - 100 * r - c));
    }
    for (int r = 1; r <= 10; ++r)
        cases.push_back(CellField(TABdwell, MakePoint(1, r + 1), P,
                                  0x330 + 2 * static_cast<std::size_t>(r - 1), I16, 1, 0, 1000 * r,
                                  1000 * r + 500));
    for (int k = 1; k <= 32; ++k) {
        const std::size_t at = 2 * static_cast<std::size_t>(k - 1);
        cases.push_back(
            CellField(TABpickUp, MakePoint(k, 1), P, 0x384 + at, I16, 1, 0, 500 * k, 500 * k + 100));
        cases.push_back(CellField(TABpickUp, MakePoint(k, 2), P, 0x344 + at, I16, 10, 1, -7000 + 200 * k,
                                  7000 - 100 * k));
    }
    CheckFieldBindings(hCg3Panel, ScatterCg3Panel, GatherCg3Panel, cases);
}

TEST_F(ConfigTest, DriveByWirePageShowsAndStoresEveryField) {
    using namespace CONFIG4;
    SetEngType(21); // four cylinders
    std::vector<BindingCase> cases = {
        Field(TBextDbw, P, 0x7B3, U8, 1, -1, 1, 1),
        Field(RINGtypePotGas, P, 0x7BC, U8, 1, -1, 1, 2),
        Field(RINGtypePotDbw1, P, 0x7BD, U8, 1, -1, 2, 0),
        Field(RINGtypePotDbw2, P, 0x7BE, U8, 1, -1, 0, 1),
        Field(NUMdblGasTol, P, 0x764, U16, 1, 0, 1001, 11),
        Field(NUMdblDbw1Tol, P, 0x766, U16, 1, 0, 1002, 12),
        Field(NUMdblDbw2Tol, P, 0x768, U16, 1, 0, 1003, 13),
        Field(NUMdblGasMaxWait, P, 0x76A, U16, 1, 0, 32001, 21),
        Field(NUMdblDbw1MaxWait, P, 0x76C, U16, 1, 0, 32002, 22),
        Field(NUMdblDbw2MaxWait, P, 0x76E, U16, 1, 0, 32003, 23),
        Field(TBdbwRefCyl1, P, 0x7BF, U8, 1, -1, 1, 0),
        Field(TBdbwRefCyl2, P, 0x7C0, U8, 1, -1, 0, 1),
        Field(TBdbwRefCyl3, P, 0x7C1, U8, 1, -1, 1, 0),
        Field(TBdbwRefCyl4, P, 0x7C2, U8, 1, -1, 0, 1),
        Field(TBcutOffEgripRef, P, 0x7C3, U8, 1, -1, 1, 0),
        Field(TBcocEgripRef, P, 0x7C4, U8, 1, -1, 0, 1),
        Field(NUMhzDbw1, P, 0x760, U16, 1, 0, 19001, 11),
        Field(NUMhzDbw2, P, 0x762, U16, 1, 0, 19002, 12),
        Field(RINGlvlIdbw1, P, 0x7B8, U8, 1, -1, 2, 1),
        Field(RINGlvlIdbw2, P, 0x7B9, U8, 1, -1, 1, 2),
        Field(TBdbw1Fwl, P, 0x7BA, U8, 1, -1, 1, 0),
        Field(TBdbw2Fwl, P, 0x7BB, U8, 1, -1, 0, 1),
    };
    struct Body {
        std::size_t loop, limits;
        int gains[8], offsets[2], limitControls[5];
        std::int64_t tag;
    };
    const Body bodies[] = {
        {0x724,
         0x74C,
         {NUMdbw1KpOpen, NUMdbw1KiOpen, NUMdbw1KdOpen, NUMdbw1KfOpen, NUMdbw1KpClose, NUMdbw1KiClose,
          NUMdbw1KdClose, NUMdbw1KfClose},
         {NUMdbw1OfsCmdOpen, NUMdbw1OfsCmdClose},
         {NUMdbw1DcThr, NUMdbw1ThrResetI, NUMdbw1Tol, NUMdbw1ExtraTol, NUMdbw1MaxWait},
         0},
        {0x738,
         0x756,
         {NUMdbw2KpOpen, NUMdbw2KiOpen, NUMdbw2KdOpen, NUMdbw2KfOpen, NUMdbw2KpClose, NUMdbw2KiClose,
          NUMdbw2KdClose, NUMdbw2KfClose},
         {NUMdbw2OfsCmdOpen, NUMdbw2OfsCmdClose},
         {NUMdbw2DcThr, NUMdbw2ThrResetI, NUMdbw2Tol, NUMdbw2ExtraTol, NUMdbw2MaxWait},
         8},
    };
    // Loop record: four open gains, the open offset, four close gains, the close offset.
    constexpr std::size_t kGainAt[] = {0, 2, 4, 6, 10, 12, 14, 16};
    for (const Body& b : bodies) {
        for (std::size_t g = 0; g < 8; ++g) {
            const auto k = static_cast<std::int64_t>(g) + b.tag;
            cases.push_back(
                Field(b.gains[g], P, b.loop + kGainAt[g], U16, 256, 2, 64000 - 64 * k, 384 + 64 * k));
        }
        cases.push_back(Field(b.offsets[0], P, b.loop + 8, I16, 10, 1, -125 - b.tag, 125 + b.tag));
        cases.push_back(Field(b.offsets[1], P, b.loop + 18, I16, 10, 1, 499 - b.tag, -499 + b.tag));
        const Raw limitRaw[] = {I16, I16, I16, I16, U16};
        const double limitDivisor[] = {10, 10, 1, 1, 1};
        const std::int64_t limitShown[] = {987, 876, 1011, 1000, 32100};
        for (std::size_t l = 0; l < 5; ++l)
            cases.push_back(Field(b.limitControls[l], P, b.limits + 2 * l, limitRaw[l], limitDivisor[l],
                                  limitDivisor[l] == 10 ? 1 : 0, limitShown[l] - b.tag,
                                  100 * static_cast<std::int64_t>(l) + b.tag));
    }
    CheckFieldBindings(hCg4Panel, ScatterCg4Panel, GatherCg4Panel, cases);
}

} // namespace
