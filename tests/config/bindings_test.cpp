// Every field of the configuration pages, control by control: what the page shows of a field and what
// it stores from its control.
#include "../support/bindingcheck.h"
#include "configfixture.h"
#include "orvane/config/catalogue.h"

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

} // namespace
