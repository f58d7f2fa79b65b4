#include "orvane/live/diagnost.h"

#include "orvane/core/logic/com.h"
#include "orvane/core/logic/utils.h"
#include "orvane/core/ui/connect.h"
#include "orvane/core/ui/loadpage.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/navigation.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

int hDgnPanel = 0;

const char labelPwdChange[] = "Change";
const char labelPwdEnter[] = "Enter";
const char labelPwdReEnter[] = "Re-enter";

namespace {

int dgnPwdStep = 0;                    // 0 idle, 1 typing the new password, 2 typing it again
char dgnPwdFirst[kDiagPasswordSize]{}; // the first typing of a new password
int dgnButtonColour = 0;               // the channel reset buttons' own colour

constexpr char kPwdTitle[] = "Error!";
constexpr char kDefaultsTitle[] = "Set Defaults";
constexpr int kErrorColour = 0xFF0000;

// The ten controls of one analog channel's row.
struct ChannelRow {
    int err, reset, on, maxErr, adMin, min, adMax, max, adRecov, recov;
};
#define DGN_CHANNEL(k)                                                                                       \
    ChannelRow {                                                                                             \
        DIAGN::NUM##k##Err, DIAGN::CB##k##ErrReset, DIAGN::TOGB##k, DIAGN::NUM##k##MaxErr,                   \
            DIAGN::NUM##k##ADmin, DIAGN::NUM##k##Min, DIAGN::NUM##k##ADmax, DIAGN::NUM##k##Max,              \
            DIAGN::NUM##k##ADrecov, DIAGN::NUM##k##Recov                                                     \
    }
constexpr ChannelRow kChannels[kDiagChannels] = {DGN_CHANNEL(farf),  DGN_CHANNEL(th2o),  DGN_CHANNEL(tair),
                                                 DGN_CHANNEL(pBaro), DGN_CHANNEL(pVacu), DGN_CHANNEL(aux1),
                                                 DGN_CHANNEL(aux2),  DGN_CHANNEL(step),  DGN_CHANNEL(vBat)};
#undef DGN_CHANNEL
constexpr std::uint8_t kFirstChannelCode = 27;

// Physical values are x10 but for the two pressures.
double PhysScale(std::size_t channel) {
    return channel == 3 || channel == 4 ? 1.0 : 10.0;
}

constexpr int kGuardedControls[] = {
    DIAGN::CBonTimeReset,      DIAGN::CBoverRpmReset, DIAGN::CBoverThrottleReset, DIAGN::CBmaxRpmReset,
    DIAGN::CBvelWheelErrReset, DIAGN::CBdistReset,    DIAGN::NUMrpmLimit,         DIAGN::NUMthrottleLimit,
    DIAGN::NUMvelWheelLimit,   DIAGN::NUMdistLimit,   DIAGN::CBdgnPwdSet};

enum class Kind { Reset, Toggle, Write };
struct DiagControl {
    int control;
    Kind kind;
    std::uint8_t code, sub;
    double scale;
};
constexpr DiagControl kDiagControls[] = {
    {DIAGN::CBglobalErrReset, Kind::Reset, 1, 0, 1},    {DIAGN::CBfuelConsReset, Kind::Reset, 2, 0, 1},
    {DIAGN::CBfuelRestReset, Kind::Reset, 3, 0, 1},     {DIAGN::CBonTimeReset, Kind::Reset, 4, 0, 1},
    {DIAGN::CBoverRpmReset, Kind::Reset, 5, 0, 1},      {DIAGN::CBoverThrottleReset, Kind::Reset, 6, 0, 1},
    {DIAGN::CBdistReset, Kind::Reset, 7, 0, 1},         {DIAGN::CBmaxRpmReset, Kind::Reset, 8, 0, 1},
    {DIAGN::CBoverRevReset, Kind::Reset, 9, 0, 1},      {DIAGN::CBonTimeUserReset, Kind::Reset, 10, 0, 1},
    {DIAGN::CBdistUserReset, Kind::Reset, 11, 0, 1},    {DIAGN::CBtrig1errReset, Kind::Reset, 12, 0, 1},
    {DIAGN::CBtrig2errReset, Kind::Reset, 13, 0, 1},    {DIAGN::CBinj1errReset, Kind::Reset, 14, 0, 1},
    {DIAGN::CBinj2errReset, Kind::Reset, 15, 0, 1},     {DIAGN::CBinj3errReset, Kind::Reset, 16, 0, 1},
    {DIAGN::CBinj4errReset, Kind::Reset, 17, 0, 1},     {DIAGN::CBvelWheelErrReset, Kind::Reset, 18, 0, 1},
    {DIAGN::CBstopCntReset, Kind::Reset, 19, 0, 1},     {DIAGN::CBstarterInCntReset, Kind::Reset, 20, 0, 1},
    {DIAGN::CBshiftSetCntReset, Kind::Reset, 21, 0, 1}, {DIAGN::CBdropSwitchCntReset, Kind::Reset, 22, 0, 1},
    {DIAGN::CBneutralCntReset, Kind::Reset, 23, 0, 1},  {DIAGN::CBmapCntReset, Kind::Reset, 24, 0, 1},
    {DIAGN::CBcodeLoadCntReset, Kind::Reset, 25, 0, 1}, {DIAGN::TOGBglobalAutoReset, Kind::Toggle, 1, 1, 1},
    {DIAGN::NUMkFlowCorrL, Kind::Write, 2, 0, 1000},    {DIAGN::NUMkFlowCorrH, Kind::Write, 2, 0, 1000},
    {DIAGN::NUMfuelLoadMl, Kind::Write, 3, 0, 1},       {DIAGN::NUMrpmLimit, Kind::Write, 5, 0, 1},
    {DIAGN::NUMthrottleLimit, Kind::Write, 6, 0, 10},   {DIAGN::NUMdistLimit, Kind::Write, 7, 0, 0.1},
    {DIAGN::NUMvelWheelLimit, Kind::Write, 18, 0, 1},
};

// The control of a channel row as a diagnostics control, if it is one.
bool FindChannelControl(int control, DiagControl& out) {
    for (std::size_t i = 0; i < kDiagChannels; ++i) {
        const ChannelRow& r = kChannels[i];
        const auto code = static_cast<std::uint8_t>(kFirstChannelCode + i);
        const std::pair<int, DiagControl> row[] = {
            {r.reset, {r.reset, Kind::Reset, code, 0, 1}},
            {r.on, {r.on, Kind::Toggle, code, 1, 1}},
            {r.maxErr, {r.maxErr, Kind::Write, code, 2, 1}},
            {r.adMin, {r.adMin, Kind::Write, code, 3, 1}},
            {r.adMax, {r.adMax, Kind::Write, code, 4, 1}},
            {r.adRecov, {r.adRecov, Kind::Write, code, 5, 1}},
        };
        for (const auto& [c, d] : row)
            if (c == control) {
                out = d;
                return true;
            }
    }
    return false;
}

// A typed value as the ECU stores it: scaled, rounded by adding a half, clamped to [0, limit].
std::uint32_t ToStored(double v, double scale, double limit) {
    const double x = v * scale;
    if (x <= 0) return 0;
    if (x > limit) return static_cast<std::uint32_t>(limit);
    return static_cast<std::uint32_t>(x + 0.5);
}

std::uint32_t ReadStored(int control, double scale, double limit) {
    double v = 0;
    GetCtrlVal(hDgnPanel, control, &v);
    return ToStored(v, scale, limit);
}

std::uint32_t WriteValue(const DiagControl& d) {
    if (d.code == 2 && d.sub == 0)
        return ReadStored(DIAGN::NUMkFlowCorrL, 1000, 65535) << 16 |
               ReadStored(DIAGN::NUMkFlowCorrH, 1000, 65535);
    if (d.code == 3 && d.sub == 0) return ReadStored(d.control, 1, 2147483647.0);
    return ReadStored(d.control, d.scale, 65535);
}

void ShowTime(int control, std::uint32_t seconds) {
    char text[32];
    ConvertTime(text, seconds);
    SetCtrlVal(hDgnPanel, control, text);
}

void ShowStatus() {
    const int p = hDgnPanel;
    const DiagStatus& s = diagStatus;
    ShowTime(DIAGN::STRonTime, s.onTime);
    ShowTime(DIAGN::STRtimeOverRpm, s.timeOverRpm);
    ShowTime(DIAGN::STRtimeOverThrottle, s.timeOverThrottle);
    ShowTime(DIAGN::STRonTimeUser, s.onTimeUser);
    SetCtrlVal(p, DIAGN::NUMdistWheel, s.distWheel / 1000.0);
    SetCtrlVal(p, DIAGN::NUMdistWheelUser, s.distWheelUser / 1000.0);
    SetCtrlVal(p, DIAGN::LEDdistErrs, s.distErrs != 0 ? 1 : 0);
    SetCtrlVal(p, DIAGN::NUMfuelConsMl, static_cast<std::int32_t>(s.fuelConsMl));
    SetCtrlVal(p, DIAGN::NUMfuelRestMl, static_cast<std::int32_t>(s.fuelRestMl));
    const std::pair<int, std::uint16_t> counters[] = {
        {DIAGN::NUMmaxValRpm, s.maxValRpm},         {DIAGN::NUMcntOverRev, s.cntOverRev},
        {DIAGN::NUMtrig1err, s.trigErr[0]},         {DIAGN::NUMtrig2err, s.trigErr[1]},
        {DIAGN::NUMinj1err, s.injErr[0]},           {DIAGN::NUMinj2err, s.injErr[1]},
        {DIAGN::NUMinj3err, s.injErr[2]},           {DIAGN::NUMinj4err, s.injErr[3]},
        {DIAGN::NUMvelWheelErr, s.velWheelErr},     {DIAGN::NUMcntStop, s.cntStop},
        {DIAGN::NUMcntStarterIn, s.cntStarterIn},   {DIAGN::NUMcntShiftSet, s.cntShiftSet},
        {DIAGN::NUMcntDropSwitch, s.cntDropSwitch}, {DIAGN::NUMcntNeutral, s.cntNeutral},
        {DIAGN::NUMcntChangeMap, s.cntChangeMap},   {DIAGN::NUMcntCodeLoad, s.cntCodeLoad},
    };
    for (const auto& [control, value] : counters)
        SetCtrlVal(p, control, static_cast<int>(value));
    for (std::size_t i = 0; i < kDiagChannels; ++i) {
        SetCtrlVal(p, kChannels[i].err, static_cast<int>(s.chanErr[i]));
        const bool inError = ChannelFlag(s.chanErrFlagsA, s.chanErrFlagsB, i);
        const bool switchedOff = ChannelFlag(diagParam.chanOffA, diagParam.chanOffB, i);
        SetCtrlAttribute(p, kChannels[i].reset, ATTR_TEXT_BGCOLOR,
                         inError && !switchedOff ? kErrorColour : dgnButtonColour);
    }
}

void ShowParams() {
    const int p = hDgnPanel;
    const DiagParam& d = diagParam;
    SetCtrlVal(p, DIAGN::NUMkFlowCorrL, d.kFlowCorrL / 1000.0);
    SetCtrlVal(p, DIAGN::NUMkFlowCorrH, d.kFlowCorrH / 1000.0);
    SetCtrlVal(p, DIAGN::NUMfuelLoadMl, static_cast<std::int32_t>(d.fuelLoadMl));
    SetCtrlVal(p, DIAGN::NUMrpmLimit, static_cast<int>(d.rpmLimit));
    SetCtrlVal(p, DIAGN::NUMthrottleLimit, d.throttleLimit / 10.0);
    SetCtrlVal(p, DIAGN::NUMdistLimit, d.distLimit * 10.0);
    SetCtrlVal(p, DIAGN::NUMvelWheelLimit, static_cast<int>(d.velWheelLimit));
    for (std::size_t i = 0; i < kDiagChannels; ++i) {
        const ChannelRow& r = kChannels[i];
        const double scale = PhysScale(i);
        SetCtrlVal(p, r.maxErr, static_cast<int>(d.maxErr[i]));
        SetCtrlVal(p, r.adMin, static_cast<int>(d.adMin[i]));
        SetCtrlVal(p, r.min, d.physMin[i] / scale);
        SetCtrlVal(p, r.adMax, static_cast<int>(d.adMax[i]));
        SetCtrlVal(p, r.max, d.physMax[i] / scale);
        SetCtrlVal(p, r.adRecov, static_cast<int>(d.adRecov[i]));
        SetCtrlVal(p, r.recov, d.physRecov[i] / scale);
        const bool off = ChannelFlag(d.chanOffA, d.chanOffB, i);
        SetCtrlVal(p, r.on, off ? 0 : 1);
        for (const int c : {r.maxErr, r.adMin, r.min, r.adMax, r.max, r.adRecov, r.recov})
            SetCtrlAttribute(p, c, ATTR_DIMMED, off ? 1 : 0);
    }
    SetCtrlVal(p, DIAGN::TOGBglobalAutoReset, d.chanOffB & 1);
}

// One step of the default sequence: sent only when the ECU's value differs.
struct DefaultStep {
    std::uint8_t code, sub;
    std::uint32_t value;
    bool (*differs)(std::size_t channel);
    std::size_t channel;
};

std::vector<DefaultStep> DefaultSteps() {
    std::vector<DefaultStep> steps = {
        {2, 0, 1000u << 16 | 1000u,
         [](std::size_t) { return diagParam.kFlowCorrL != 1000 || diagParam.kFlowCorrH != 1000; }, 0},
        {3, 0, 0, [](std::size_t) { return diagParam.fuelLoadMl != 0; }, 0},
        {5, 0, 9000, [](std::size_t) { return diagParam.rpmLimit != 9000; }, 0},
        {6, 0, 700, [](std::size_t) { return diagParam.throttleLimit != 700; }, 0},
        {7, 0, 0, [](std::size_t) { return diagParam.distLimit != 0; }, 0},
        {18, 0, 400, [](std::size_t) { return diagParam.velWheelLimit != 400; }, 0},
    };
    const auto perChannel = [&](std::uint8_t sub, std::uint32_t value, bool (*differs)(std::size_t)) {
        for (std::size_t i = 0; i < kDiagChannels; ++i)
            steps.push_back({static_cast<std::uint8_t>(kFirstChannelCode + i), sub, value, differs, i});
    };
    perChannel(2, 65535, [](std::size_t i) { return diagParam.maxErr[i] != 65535; });
    perChannel(3, 0, [](std::size_t i) { return diagParam.adMin[i] != 0; });
    perChannel(4, 1023, [](std::size_t i) { return diagParam.adMax[i] != 1023; });
    perChannel(5, 512, [](std::size_t i) { return diagParam.adRecov[i] != 512; });
    // every channel ends switched off
    perChannel(1, 0, [](std::size_t i) { return !ChannelFlag(diagParam.chanOffA, diagParam.chanOffB, i); });
    steps.push_back({1, 1, 0, [](std::size_t) { return (diagParam.chanOffB & 1) != 0; }, 0});
    return steps;
}

// Reads the typed password, empties the field, and pads the text with zero bytes to 8.
void TakeTypedPassword(char (&text)[kDiagPasswordSize + 1]) {
    std::memset(text, 0, sizeof text);
    PasswordCtrl_GetAttribute(hDgnPanel, DIAGN::STRdgnPwd, ATTR_PASSWORD_VAL, text);
    PasswordCtrl_SetAttribute(hDgnPanel, DIAGN::STRdgnPwd, ATTR_PASSWORD_VAL, "");
    Padr(text, kDiagPasswordSize, '\0');
}

void ConfirmPassword(const char* typed) {
    DiagPasswordExchange(1, typed);
    SetCtrlAttribute(hDgnPanel, DIAGN::STRdgnPwd, ATTR_DIMMED, dgnAccess);
    if (!dgnAccess) MessagePopup(kPwdTitle, "Invalid passwords...");
    ResetDgnPwdDialog(dgnAccess != 0);
}

void AskForPassword(const char* label) {
    SetCtrlAttribute(hDgnPanel, DIAGN::CBdgnPwdSet, ATTR_LABEL_TEXT, label);
    SetCtrlAttribute(hDgnPanel, DIAGN::STRdgnPwd, ATTR_DIMMED, 0);
    SetActiveCtrl(hDgnPanel, DIAGN::STRdgnPwd);
}

void ChangePassword(const char* typed) {
    switch (dgnPwdStep) {
    case 0:
        AskForPassword(labelPwdEnter);
        dgnPwdStep = 1;
        return;
    case 1:
        std::memcpy(dgnPwdFirst, typed, kDiagPasswordSize);
        AskForPassword(labelPwdReEnter);
        dgnPwdStep = 2;
        return;
    default:
        break;
    }
    SetCtrlAttribute(hDgnPanel, DIAGN::CBdgnPwdSet, ATTR_LABEL_TEXT, labelPwdChange);
    SetCtrlAttribute(hDgnPanel, DIAGN::STRdgnPwd, ATTR_DIMMED, 1);
    dgnPwdStep = 0;
    if (std::memcmp(typed, dgnPwdFirst, kDiagPasswordSize) != 0) {
        MessagePopup(kPwdTitle, "Typed passwords do not match...");
        return;
    }
    if (DiagPasswordExchange(0, typed) != 1) MessagePopup(kPwdTitle, "Change passwords...");
}

// Enter in the password field: the button of the step, as the user would press it (not while it is dimmed
// or hidden).
int PasswordKey(int panel, int key) {
    if (key != VAL_ENTER_VKEY) return 0;
    const int button = dgnPwdStep == 0 ? DIAGN::CBdgnPwdConfirm : DIAGN::CBdgnPwdSet;
    int dimmed = 1, visible = 0;
    GetCtrlAttribute(panel, button, ATTR_DIMMED, &dimmed);
    GetCtrlAttribute(panel, button, ATTR_VISIBLE, &visible);
    if (dimmed || !visible) return 0;
    ConfigDgnPwd(panel, button, EVENT_COMMIT, nullptr, 0, 0);
    return 1;
}

} // namespace

bool InitDgnPanel(int parent) {
    if (!LoadPage(parent, DIAGN::id, hDgnPanel)) return false;
    SetCtrlVal(hDgnPanel, DIAGN::NUMsizeofDiagStatus, static_cast<int>(sizeof(DiagStatus)));
    SetCtrlVal(hDgnPanel, DIAGN::NUMsizeofDiagParam, static_cast<int>(sizeof(DiagParam)));
    if (GetCtrlAttribute(hDgnPanel, DIAGN::CBfarfErrReset, ATTR_TEXT_BGCOLOR, &dgnButtonColour) < 0)
        return false;
    if (PasswordCtrl_ConvertFromString(hDgnPanel, DIAGN::STRdgnPwd) < 0) return false;
    return PasswordCtrl_SetAttribute(hDgnPanel, DIAGN::STRdgnPwd, ATTR_PASSWORD_MAX_LENGTH,
                                     static_cast<int>(kDiagPasswordSize)) >= 0;
}

void ConvertTime(std::span<char> buf, std::uint32_t s) {
    if (buf.empty()) return;
    std::snprintf(buf.data(), buf.size(), "%4lud %2luh %2lum %2lus", static_cast<unsigned long>(s / 86400),
                  static_cast<unsigned long>(s / 3600 % 24), static_cast<unsigned long>(s / 60 % 60),
                  static_cast<unsigned long>(s % 60));
}

void ScatterDgnPanel() {
    ShowStatus();
    SetEcuProtected(!isComOpen);
    if (TakeDiagParamsFresh()) ShowParams();
}

void DimDgnGuardedControls() {
    for (const int c : kGuardedControls)
        SetCtrlAttribute(hDgnPanel, c, ATTR_DIMMED, dgnAccess ? 0 : 1);
    SetCtrlAttribute(hDgnPanel, DIAGN::CBdgnPwdConfirm, ATTR_DIMMED, isComOpen ? 0 : 1);
    SetCtrlAttribute(hDgnPanel, DIAGN::CBdgnPwdConfirm, ATTR_VISIBLE, dgnAccess ? 0 : 1);
}

void ResetDgnPwdDialog(bool entryDimmed) {
    dgnPwdStep = 0;
    SetCtrlAttribute(hDgnPanel, DIAGN::CBdgnPwdSet, ATTR_LABEL_TEXT, labelPwdChange);
    SetCtrlAttribute(hDgnPanel, DIAGN::STRdgnPwd, ATTR_DIMMED, entryDimmed ? 1 : 0);
}

bool SetDiagDefaults() {
    const std::vector<DefaultStep> steps = DefaultSteps();
    const auto total = static_cast<unsigned>(steps.size());
    for (unsigned n = 0; n < total; ++n) {
        SetProgressBar(n, total);
        const DefaultStep& step = steps[n];
        if (step.differs(step.channel) && !DiagParamExchange(step.code, step.sub, step.value)) return false;
    }
    SetProgressBar(total, total);
    return true;
}

int DgnPanel(int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_GOT_FOCUS) return 0;
    DiagParamExchange(0, 0, 0); // the parameter controls follow on the next tick
    return 0;
}

int SetDiagnostics(int, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    DiagControl d{};
    const auto* fixed = std::ranges::find(kDiagControls, control, &DiagControl::control);
    if (fixed != std::end(kDiagControls))
        d = *fixed;
    else if (!FindChannelControl(control, d))
        return 0;
    switch (d.kind) {
    case Kind::Reset:
        RequestDgnAction(d.code);
        break;
    case Kind::Toggle:
        DiagParamExchange(d.code, 1, 0);
        break;
    case Kind::Write:
        DiagParamExchange(d.code, d.sub, WriteValue(d));
        break;
    }
    return 0;
}

int DefaultParms(int panel, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || control != DIAGN::CBdefaultParms) return 0;
    if (!ConfirmPopup(kDefaultsTitle, "Set all parameters to default values?", ConfirmDefault::No)) return 0;
    SetCtrlAttribute(panel, control, ATTR_DIMMED, 1);
    ProcessDrawEvents();
    MessagePopup(kDefaultsTitle, SetDiagDefaults() ? " Done!" : szGenericError);
    SetProgressBar(0, 0);
    SetCtrlAttribute(panel, control, ATTR_DIMMED, 0);
    return 0;
}

int ConfigDgnPwd(int panel, int control, int event, void*, int eventData1, int) {
    if (CheckfBusy()) return 0;
    if (control == DIAGN::STRdgnPwd) return event == EVENT_KEYPRESS ? PasswordKey(panel, eventData1) : 0;
    if (event != EVENT_COMMIT) return 0;
    char typed[kDiagPasswordSize + 1];
    TakeTypedPassword(typed);
    if (control == DIAGN::CBdgnPwdConfirm)
        ConfirmPassword(typed);
    else if (control == DIAGN::CBdgnPwdSet)
        ChangePassword(typed);
    return 0;
}

int Diagnost(int, int, int event, void*, int, int) {
    if (SwitchToSinglePage(event, hDgnPanel, nullptr)) SetCtrlVal(hDgnPanel, DIAGN::STRdgnPwd, "");
    return 0;
}
