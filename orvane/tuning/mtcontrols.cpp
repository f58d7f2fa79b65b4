// The mode buttons, the cylinder selection and the manual tuning controls: callbacks fill the Adjust or
// Freeze request and the next tick sends it; only the pause talks to the ECU at once.
#include "orvane/core/logic/com.h"
#include "orvane/core/logic/slidehold.h"
#include "orvane/core/ui/ecudata.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/maps/cellcalc.h"
#include "orvane/maps/mapdesc.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <cmath>

std::uint8_t mtByPressure = 0;
std::uint8_t mtCylMask = 0;
std::uint8_t mtCylCount = 0;
std::uint8_t fAutoScroll = 1; // the user's choice, on until the user switches it off
std::uint8_t fTableClicked = 0;
std::uint8_t fAutoScrollHeld = 0;

namespace {

namespace M = MAPS2;

constexpr int kCylToggles[] = {M::TBcyl1, M::TBcyl2, M::TBcyl3, M::TBcyl4};

constexpr char kHelp[] = "  F2                    Decrease Injection of step\n"
                         "  F3                    Increase   Injection of step\n"
                         "  F4                    Freeze Injection\n"
                         "\n"
                         "  F6                    Decrease Advance of step\n"
                         "  F7                    Increase   Advance of step\n"
                         "  F8                    Freeze Advance\n"
                         "\n"
                         "  F12                  Toggle AutoScroll\n"
                         "\n"
                         "If cell is selected:\n"
                         "  -                      Decrease of step\n"
                         "  +                     Increase of step\n"
                         "  Ctrl-Enter         Open change map-values";

std::uint8_t CylBit(int i) {
    return static_cast<std::uint8_t>(0x80 >> i);
}

int CountBits(std::uint8_t mask) {
    int n = 0;
    for (int i = 0; i < 4; ++i)
        n += (mask & CylBit(i)) != 0;
    return n;
}

// The corrections the user changed last, kept in their controls until the ECU reports them back: the
// next tick sends the change, a later one reads it back.
SlideHold injHold, advHold;

// The injection correction: ratio 0..2 sent x1000 with the cylinder mask, and shown as asked for.
void RequestInjection(double ratio) {
    ratio = std::clamp(ratio, 0.0, 2.0);
    SetCtrlVal(hMp2Panel, M::NSjTuneCor, ratio);
    RequestMtAdjust({static_cast<std::uint16_t>(std::trunc(ratio * 1000 + 0.5)), mtCylMask, 0},
                    kReqInjAdjust);
    HoldSlide(injHold, mtTicks + 1);
}

// The advance correction: offset -30..30 degrees sent x10 with mask 0, and shown as asked for.
void RequestAdvance(double offset) {
    offset = std::clamp(offset, -30.0, 30.0);
    SetCtrlVal(hMp2Panel, M::NSaTuneCor, offset);
    RequestMtAdjust({static_cast<std::uint16_t>(static_cast<std::int16_t>(RoundHalfAway(offset * 10))), 0, 0},
                    kReqAdvAdjust);
    HoldSlide(advHold, mtTicks + 1);
}

double SliderValue(int control) {
    double v = 0;
    GetCtrlVal(hMp2Panel, control, &v);
    return v;
}

// The manual keys: true when the key is one of them (consumed whatever its condition).
bool ManualKey(int key) {
    const bool manual = isTuningManual != 0;
    switch (key) {
    case VAL_F1_VKEY + 0x100:
    case VAL_F1_VKEY + 0x200:
        if (manual) {
            const double step = key == VAL_F1_VKEY + 0x100 ? -GetInjTuneStep() : GetInjTuneStep();
            RequestInjection(SliderValue(M::NSjTuneCor) + step);
        }
        return true;
    case VAL_F1_VKEY + 0x300:
        if (manual) RaiseMtRequest(kReqInjFreeze);
        return true;
    case VAL_F1_VKEY + 0x500:
    case VAL_F1_VKEY + 0x600:
        if (manual) {
            const double step = key == VAL_F1_VKEY + 0x500 ? -GetAdvTuneStep() : GetAdvTuneStep();
            RequestAdvance(SliderValue(M::NSaTuneCor) + step);
        }
        return true;
    case VAL_F1_VKEY + 0x700:
        if (manual) RaiseMtRequest(kReqAdvFreeze);
        return true;
    default:
        return false;
    }
}

// A start from off reads the ECU's configuration and mapping data over the images: edits not saved go
// only when the user agrees, and No starts nothing.
bool MayStartTuning() {
    return TuningStateNow() != kTsOff ||
           ConfirmUnsavedData("Map Tuning", "Start tuning and replace them with the ECU's data?");
}

} // namespace

void SetCylinderSelection(std::uint8_t mask, std::uint8_t byPressure) {
    mtCylMask = mask;
    mtByPressure = byPressure ? 1 : 0;
}

bool GetCylinderSelection() {
    mtCylCount = 0;
    if (IsMapTuning()) {
        SetCylinderSelection(mtInfo.cylMask, mtInfo.flags & kMtFlagByPressure);
        mtCylCount = static_cast<std::uint8_t>(CountBits(mtCylMask));
        return ShowCylinderSelection(mtCylMask, mtByPressure);
    }
    std::uint8_t mask = 0;
    for (int i = 0; i < MapCylinders(); ++i) {
        int on = 0;
        if (GetCtrlVal(hMp2Panel, kCylToggles[i], &on) < 0) return false;
        if (on) {
            mask |= CylBit(i);
            ++mtCylCount;
        }
    }
    int byPressure = 0;
    if (GetCtrlVal(hMp2Panel, M::TBmtjByPair, &byPressure) < 0) return false;
    SetCylinderSelection(mask, static_cast<std::uint8_t>(byPressure));
    return true;
}

bool ShowCylinderSelection(std::uint8_t mask, std::uint8_t byPressure) {
    if (SetCtrlVal(hMp2Panel, M::TBmtjByPair, byPressure ? 1 : 0) < 0) return false;
    for (int i = 0; i < 4; ++i) {
        const bool on = i < MapCylinders() && (mask & CylBit(i)) != 0;
        if (SetCtrlVal(hMp2Panel, kCylToggles[i], on ? 1 : 0) < 0) return false;
    }
    return true;
}

bool CorrectionHeld(int control) {
    SlideHold& hold = control == M::NSjTuneCor ? injHold : advHold;
    if (!isComOpen) hold = {}; // nothing is adjusted without the link
    return SlideHeld(hold, mtInfoTick);
}

bool CylinderSelected(int cylinder) {
    return cylinder >= 1 && cylinder <= 4 && (mtCylMask & CylBit(cylinder - 1)) != 0;
}

void SetTableClicked(bool clicked) {
    fTableClicked = clicked ? 1 : 0;
}

void SetAutoScroll(bool on) {
    fAutoScroll = on ? 1 : 0;
}

void HoldAutoScroll(bool held) {
    fAutoScrollHeld = held ? 1 : 0;
}

int TuningSwitch(int, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || !isComOpen) return 0;
    if (control == M::CBtuneOff) {
        RaiseMtRequest(kReqStop);
    } else if (MayStartTuning()) {
        const bool automatic = control == M::CBtuneAuto;
        RaiseMtRequest(automatic ? kReqAuto : kReqManual);
        if (TuningStateNow() != (automatic ? kTsAuto : kTsManual)) RaiseMtRequest(kReqResync);
        for (int c : {M::CBtuneManual, M::CBtuneAuto, M::CBtuneOff, M::CBmtLoad, M::TBcyl1, M::TBcyl2,
                      M::TBcyl3, M::TBcyl4, M::TBmtjByPair, M::TBselectEdbw})
            SetCtrlAttribute(hMp2Panel, c, ATTR_DIMMED, 1);
    }
    ProcessDrawEvents();
    return 0;
}

int SetTuningAdjust(int, int control, int event, void*, int, int) {
    if (CheckfBusy() || (event != EVENT_COMMIT && event != EVENT_VAL_CHANGED) || !IsMapTuning()) return 0;
    if (control == M::NSaTuneCor) {
        RequestAdvance(SliderValue(M::NSaTuneCor));
        return 0;
    }
    if (GetCylinderSelection() && mtCylMask != 0) RequestInjection(SliderValue(M::NSjTuneCor));
    return 0;
}

int ManualFreeze(int, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    RaiseMtRequest(control == M::CBjFreeze ? kReqInjFreeze : kReqAdvFreeze);
    return 0;
}

int ManPause(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT || TuningStateNow() != kTsManual) return 0;
    ResetTuningAdjust();
    int pause = 0;
    GetCtrlVal(hMp2Panel, M::TBmanPause, &pause);
    RequestMtAdjust({1000, mtCylMask, static_cast<std::uint8_t>(pause ? 1 : 0)}, kReqPauseAdjust);
    return 0;
}

int SelectSingleMul(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    if (GatherMtSettings()) ScatterMp2Panel();
    return 0;
}

int AutoScrollSwitch(int, int, int event, void*, int, int) {
    if (event == EVENT_LEFT_DOUBLE_CLICK && IsMapTuning()) SetAutoScroll(!fAutoScroll);
    return 0;
}

int PanelCallback(int, int event, void*, int key, int) {
    if (event != EVENT_KEYPRESS || CheckfBusy()) return 0;
    if (key == VAL_F1_VKEY) {
        MessagePopup("Map Tuning - Help", kHelp);
        return 1;
    }
    if (key == VAL_F1_VKEY + 0xB00) {
        SetAutoScroll(!fAutoScroll);
        return 1;
    }
    return ManualKey(key) ? 1 : 0;
}
