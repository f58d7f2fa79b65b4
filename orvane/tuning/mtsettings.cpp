// The tracking settings record: defaults, the copy between record and controls, the settings callback,
// and the lambda-mode slider with the manual step fields.
#include "orvane/config/configbytes.h"
#include "orvane/core/logic/fieldvalue.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/tuning/gains.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <cmath>
#include <cstdio>

MTSETTINGS mtSettings{};

namespace {

namespace M = MAPS2;

// The numerics of the record, in gathering order. Each rounds half away from zero, held to its field's
// type: an unsigned field takes 0 for a value of 0 or less.
struct SettingsField {
    int control;
    std::size_t offset; // of the 16-bit field in MTSETTINGS
    double scale;
};

constexpr SettingsField kFields[] = {
    {M::NUMrpmMargin, offsetof(MTSETTINGS, rpmMargin), 1},
    {M::NUMminTh2o, offsetof(MTSETTINGS, minTh2o), 10},
    {M::NUMmaxTh2o, offsetof(MTSETTINGS, maxTh2o), 10},
    {M::NUMtolRpm, offsetof(MTSETTINGS, tolRpm), 1},
    {M::NUMtolFarf, offsetof(MTSETTINGS, tolFarf), 10},
    {M::NUMtolPair, offsetof(MTSETTINGS, tolPair), 1},
    {M::NUMsollLambda1, offsetof(MTSETTINGS, sollLambda) + 0, 10},
    {M::NUMsollLambda2, offsetof(MTSETTINGS, sollLambda) + 2, 10},
    {M::NUMsollLambda3, offsetof(MTSETTINGS, sollLambda) + 4, 10},
    {M::NUMtolLambda, offsetof(MTSETTINGS, tolLambda), 10},
    {M::NUMminTJ, offsetof(MTSETTINGS, minTj), 1000},
    {M::NUMmaxTJ, offsetof(MTSETTINGS, maxTj), 1000},
    {M::NUMmsCellHold, offsetof(MTSETTINGS, msCellHold), 1},
};

// The unsigned fields are shown as unsigned, the signed ones as signed.
bool IsUnsigned(std::size_t offset) {
    return offset == offsetof(MTSETTINGS, rpmMargin) || offset >= offsetof(MTSETTINGS, tolRpm);
}

std::uint16_t& FieldOf(MTSETTINGS& s, std::size_t offset) {
    return *reinterpret_cast<std::uint16_t*>(reinterpret_cast<unsigned char*>(&s) + offset);
}

// The control's value as its field's raw value, held to the field's own type: a signed field goes through
// a signed 16-bit value, so a negative temperature never converts to an unsigned type directly.
std::uint16_t RawOf(const SettingsField& f, double value) {
    return static_cast<std::uint16_t>(
        StoredValue(value, f.scale, IsUnsigned(f.offset) ? Raw::U16 : Raw::I16));
}

double ShownOf(const SettingsField& f, std::uint16_t raw) {
    return ShownValue(IsUnsigned(f.offset) ? raw : static_cast<std::int16_t>(raw), f.scale);
}

std::uint8_t SetBit(std::uint8_t flags, std::uint8_t bit, bool on) {
    return static_cast<std::uint8_t>(on ? flags | bit : flags & ~bit);
}

int SliderPosition() {
    int m = 0;
    if (GetCtrlVal(hMp2Panel, M::NSlambdaMode, &m) < 0) m = 0;
    return m;
}

void FormatLambdaGains(char* text, std::size_t size) {
    GetCurLambdaMode();
    std::snprintf(text, size, "Step = %.3f\nKp = %.5f\nKi = %.5f\n", curLambdaGains.step / 1000.0,
                  curLambdaGains.kp / 10000.0, curLambdaGains.ki / 10000.0);
}

} // namespace

void AdoptMtSettings(const MTSETTINGS& settings) {
    mtSettings = settings;
}

void SetMtTrackMode(int row, int col, int mode) {
    SetTrackMode(mtSettings, row, col, mode);
}

void InitMtData() {
    const LambdaGains gains = LambdaGainsAt(mtInternLimits, 0);
    const std::uint8_t turbo = TurboEnable();
    mtSettings = MTSETTINGS{};
    mtSettings.rpmMargin = 150;
    mtSettings.minTh2o = 600;
    mtSettings.maxTh2o = 900;
    mtSettings.sollLambda[0] = mtSettings.sollLambda[1] = mtSettings.sollLambda[2] = 125;
    mtSettings.tolLambda = 5;
    mtSettings.minTj = 1000;
    mtSettings.maxTj = 32000;
    mtSettings.flags =
        static_cast<std::uint8_t>((mtLambda2 ? kMtFlagLambda2 : 0) | (turbo & kMtFlagByPressure));
    mtSettings.kp = static_cast<std::uint32_t>(gains.kp);
    mtSettings.ki = static_cast<std::uint32_t>(gains.ki);
    mtSettings.step = gains.step;
    mtSettings.tolRpm = 200;
    mtSettings.tolFarf = 50;
    mtSettings.tolPair = 50;
    ResetMtInfo();
    SetCylinderSelection(0, turbo);
    SetCtrlVal(hMp2Panel, M::NSlambdaMode, 0);
}

bool GatherMtSettings() {
    if (!GetCylinderSelection()) return false;
    mtSettings.flags = SetBit(mtSettings.flags, kMtFlagByPressure, mtByPressure != 0);
    mtSettings.cylMask = mtCylMask;
    for (const SettingsField& f : kFields) {
        double value = 0;
        if (GetCtrlVal(hMp2Panel, f.control, &value) < 0) return false;
        FieldOf(mtSettings, f.offset) = RawOf(f, value);
        if (f.control == M::NUMtolPair) {
            int edbw = 0;
            int single = 0;
            if (GetCtrlVal(hMp2Panel, M::TBselectEdbw, &edbw) < 0 ||
                GetCtrlVal(hMp2Panel, M::TBselectSingleMul, &single) < 0)
                return false;
            mtSettings.flags = SetBit(mtSettings.flags, kMtFlagLambda2, mtLambda2 != 0);
            mtSettings.flags = SetBit(mtSettings.flags, kMtFlagExtDbw, edbw != 0);
            mtSettings.singleMul = static_cast<std::uint8_t>(single);
        }
    }
    GetCurLambdaMode();
    mtSettings.kp = static_cast<std::uint32_t>(curLambdaGains.kp);
    mtSettings.ki = static_cast<std::uint32_t>(curLambdaGains.ki);
    mtSettings.step = curLambdaGains.step;
    return true;
}

bool ScatterMtSettings() {
    SetCylinderSelection(mtSettings.cylMask, mtSettings.flags & kMtFlagByPressure);
    if (!ShowCylinderSelection(mtCylMask, mtByPressure) || !ShowTuneTable()) return false;
    for (const SettingsField& f : kFields) {
        MTSETTINGS& s = mtSettings;
        if (SetCtrlVal(hMp2Panel, f.control, ShownOf(f, FieldOf(s, f.offset))) < 0) return false;
    }
    const bool fitted = (mtInfo.extDbw & 0x80) != 0;
    // While the ECU tunes it reports the choice in force; otherwise the record's own choice is shown, so
    // a redraw never overwrites what the user picked or a settings file brought.
    const std::uint8_t chosen = IsMapTuning() ? mtInfo.flags : mtSettings.flags;
    return SelectLambdaSensor((chosen & kMtFlagLambda2) != 0) &&
           SetCtrlAttribute(hMp2Panel, M::TBselectEdbw, ATTR_DIMMED, fitted ? 0 : 1) >= 0 &&
           SetCtrlVal(hMp2Panel, M::TBselectEdbw, (chosen & kMtFlagExtDbw) ? 1 : 0) >= 0 &&
           SetCtrlVal(hMp2Panel, M::TBselectSingleMul, mtSettings.singleMul ? 1 : 0) >= 0 &&
           SetCtrlVal(hMp2Panel, M::TBmanPause, (mtInfo.state & kStatePaused) ? 1 : 0) >= 0 &&
           SetLambdaModeFromGains(static_cast<std::int32_t>(mtSettings.kp),
                                  static_cast<std::int32_t>(mtSettings.ki), mtSettings.step);
}

int NewTuneConfig(int, int control, int event, void*, int, int) {
    if (CheckfBusy()) return 0;
    if (event == EVENT_RIGHT_CLICK && control == M::NSlambdaMode) {
        char text[128];
        FormatLambdaGains(text, sizeof text);
        MessagePopup("Lambda Tracking Settings", text);
        return 0;
    }
    if (event != EVENT_COMMIT) return 0;
    switch (control) {
    case M::CBlambda1:
    case M::CBlambda2:
        SelectLambdaSensor(control == M::CBlambda2);
        break;
    case M::TBcyl1:
    case M::TBcyl2:
    case M::TBcyl3:
    case M::TBcyl4:
        GetCylinderSelection();
        SetCtrlAttribute(hMp2Panel, M::CBtuneManual, ATTR_DIMMED, mtCylMask == 0 ? 1 : 0);
        SetCtrlAttribute(hMp2Panel, M::CBtuneAuto, ATTR_DIMMED, mtCylMask == 0 ? 1 : 0);
        break;
    case M::CBmtStore:
        StoreMtSettings();
        break;
    case M::CBmtLoad:
        LoadMtSettings(1);
        break;
    default:
        break;
    }
    RaiseMtRequest(kReqResync);
    return 0;
}

void GetCurLambdaMode() {
    SelectLambdaMode(SliderPosition());
}

bool SetLambdaModeFromGains(std::int32_t kp, std::int32_t ki, std::uint16_t step) {
    return SetCtrlVal(hMp2Panel, M::NSlambdaMode, LambdaModeOfGains(mtInternLimits, {kp, ki, step})) >= 0;
}

bool LayoutTuneSteps() {
    struct Step {
        int control;
        int decimals;
        double inc, min, max;
    };
    const bool manual = isTuningManual != 0;
    for (const Step& s : {Step{M::NUMjStep, 3, 0.001, 0.001, 1.0}, Step{M::NUMaStep, 1, 0.1, 0.1, 10.0}}) {
        if (SetCtrlAttribute(hMp2Panel, s.control, ATTR_VISIBLE, manual ? 1 : 0) < 0 ||
            SetCtrlAttribute(hMp2Panel, s.control, ATTR_PRECISION, s.decimals) < 0 ||
            SetCtrlAttribute(hMp2Panel, s.control, ATTR_INCR_VALUE, s.inc) < 0 ||
            SetCtrlAttribute(hMp2Panel, s.control, ATTR_MIN_VALUE, s.min) < 0 ||
            SetCtrlAttribute(hMp2Panel, s.control, ATTR_MAX_VALUE, s.max) < 0)
            return false;
    }
    return true;
}

double GetInjTuneStep() {
    double step = 0.0;
    if (!isTuningManual) return 0.01;
    return GetCtrlVal(hMp2Panel, M::NUMjStep, &step) < 0 ? 0.0 : step;
}

double GetAdvTuneStep() {
    double step = 0.0;
    if (!isTuningManual) return 0.5;
    return GetCtrlVal(hMp2Panel, M::NUMaStep, &step) < 0 ? 0.0 : step;
}
