// The tuning exchange: the one-shot requests of the page turned into command-0x09 sub-frames in a fixed
// order each tick, the ECU's cell reports written into the maps, and the maps kept in step with the ECU
// when a tuning run starts or ends.
#include "orvane/tuning/map2.h"

#include "orvane/config/configbytes.h"
#include "orvane/core/logic/com.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/connect.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/transfer.h"
#include "orvane/maps/mapdesc.h"
#include "orvane/tuning/mtstate.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

std::uint8_t isTuningAuto = 0;
std::uint8_t isTuningManual = 0;
MtInfoFrame mtInfo{};
MtAdjustFrame mtAdjust{};
std::uint32_t mtTicks = 0;
std::uint32_t mtInfoTick = 0;

void SetTuningPageMode(bool automatic, bool manual) {
    isTuningAuto = automatic ? 1 : 0;
    isTuningManual = manual ? 1 : 0;
}

namespace {

constexpr double kPollLimit = 1.5; // seconds the ECU has to answer a polled sub-frame
constexpr char kTitle[] = "Map Tuning";

unsigned requests = 0;                  // MtRequest bits raised and not yet sent
std::uint8_t firstSyncPending = 1;      // the ECU's mode and settings are still to be taken
std::uint8_t ecuLockedSeen = 0;         // the ECU reported itself locked since it last tuned
std::uint8_t tuningWasActive = 0;       // the last tick saw the ECU tuning
std::uint8_t prevComOpen = 0;           // the port state of the previous tick
int prevKind = -1;                      // the shown map kind of the previous tick
int prevByPressure = -1;                // the exchange's by-pressure test of the previous tick
bool inMp2Timer = false;                // a popup of the tick is open: a nested tick must not run
std::vector<MtCellUpdate> pendingCells; // cell reports of every good Info, in arrival order

bool Raised(unsigned r) {
    return (requests & r) != 0;
}

// Takes a request off the list; true when it was raised.
bool Take(unsigned r) {
    const bool was = Raised(r);
    requests &= ~r;
    return was;
}

std::uint8_t TurboBit() {
    return TurboEnable() & 1;
}

// Every good Info is adopted whole and its cell reports queued, so none is lost to a later reply.
void AdoptInfo(std::span<const std::uint8_t, kMtInfoSize> reply) {
    mtInfo = DecodeMtInfo(reply);
    mtInfoTick = mtTicks;
    for (const MtCellUpdate& cell : mtInfo.cells)
        if (cell.kind != 0) pendingCells.push_back(cell);
}

// One command-0x09 exchange. The reply lands in a scratch buffer and is adopted only when it is good
// and whole, so a failed read never leaves half a record behind.
bool Exchange(std::span<const std::uint8_t> frame, bool poll, bool wantsParms) {
    if (!isComOpen) return true;
    if (!TxCommand(CMD_MAP_TUNING, frame.data(), static_cast<std::uint8_t>(frame.size()))) return false;
    const std::size_t expected = wantsParms ? kMtParmsSize : kMtInfoSize;
    std::array<std::uint8_t, kMaxFrameData> reply{};
    std::uint8_t n = 0;
    const int rc =
        poll ? PollResponse(CMD_MAP_TUNING, reply.data(), static_cast<std::uint8_t>(expected), &n, kPollLimit)
             : RxResponse(CMD_MAP_TUNING, reply.data(), static_cast<std::uint8_t>(expected), &n);
    if (rc != 0 || n != expected) return false;
    if (wantsParms)
        AdoptMtSettings(
            DecodeMtSettings(std::span<const std::uint8_t, kMtParmsSize>(reply.data(), kMtParmsSize)));
    else
        AdoptInfo(std::span<const std::uint8_t, kMtInfoSize>(reply.data(), kMtInfoSize));
    return true;
}

bool SendMtManual() {
    const MtManualFrame f{static_cast<std::uint8_t>((mtSettings.flags & (kMtFlagLambda2 | kMtFlagExtDbw)) |
                                                    (mtByPressure ? kMtFlagByPressure : 0)),
                          mtCylMask,
                          mtSettings.singleMul,
                          0,
                          mtSettings.tolRpm,
                          mtSettings.tolFarf,
                          mtSettings.tolPair,
                          mtSettings.msCellHold};
    std::array<std::uint8_t, kMtManualSize> bytes;
    EncodeMtManual(f, bytes);
    return Exchange(bytes, true, false);
}

bool SendMtAuto() {
    MTSETTINGS s = mtSettings;
    s.flags = static_cast<std::uint8_t>((s.flags & (kMtFlagLambda2 | kMtFlagExtDbw)) |
                                        (mtByPressure ? kMtFlagByPressure : 0));
    s.cylMask = mtCylMask;
    std::array<std::uint8_t, kMtAutoSize> bytes;
    EncodeMtSettings(s, bytes);
    return Exchange(bytes, true, false);
}

// The correction last reported by the ECU, into the cell it runs in.
bool SendMtFreeze(bool injection) {
    const MtFreezeFrame f{injection ? mtInfo.injRatio : static_cast<std::uint16_t>(mtInfo.advOffset),
                          injection ? mtCylMask : std::uint8_t{0},
                          {0, 0, 0}};
    std::array<std::uint8_t, kMtFreezeSize> bytes;
    EncodeMtFreeze(f, bytes);
    return Exchange(bytes, false, false);
}

// The cells the ECU reported, written into the map set under tuning in the order they came; the cells
// of the matrix on show that changed go to shownChanged.
void ApplyCellUpdates(int shownKind, std::vector<Point>& shownChanged) {
    const bool byPressure = ExchangeByPressure();
    for (const MtCellUpdate& u : pendingCells) {
        if (u.col >= kTuneCols || u.row >= kTuneRows) continue;
        int kind = 0;
        if (u.kind == 1)
            kind = kKindAdvance;
        else if (u.kind >= 2 && u.kind <= 5)
            kind = u.kind - 1;
        else
            continue;
        TunedMap map;
        if (!TunedMapOf(kind, byPressure, map)) continue;
        std::int16_t& cell = map.cells[u.row][u.col];
        const auto value = static_cast<std::int16_t>(u.value);
        if (cell != value && kind == shownKind) shownChanged.push_back(Point{u.col, u.row});
        cell = value;
    }
    pendingCells.clear();
}

// What the tick must read back from the ECU.
struct SyncPlan {
    bool full = false;      // configuration, mapping image under tuning and its name
    bool injection = false; // the four-matrix block
    bool advance = false;   // the advance map
};

// Runs the plan's reads; true when all went well. scatter tells whether a full sync took anything in.
bool RunSync(const SyncPlan& plan, int shownKind, bool& scatter, bool& redraw) {
    MouseCursorScope cursor(VAL_HOUR_GLASS_CURSOR);
    bool ok = true;
    if (plan.full) {
        ShowTuneStatusText("Synchronizing configuration data...");
        ok = RequestEcu(AREA_PAR);
        scatter = scatter || ok;
        if (ok) {
            ShowTuneStatusText("Synchronizing mapping data...");
            ok = RequestEcu(AREA_MAP_TUNING);
        }
        if (ok) {
            ShowTuneStatusText("Loading map name...");
            char name[256];
            ok = GetEcuDataName(name, sizeof name, NAME_MAP_TUNING);
            if (ok) ShowConfigName(name, kMapKind);
        }
        SetProgressBar(0, 0);
    }
    if (ok && plan.injection) {
        ShowTuneStatusText("Loading injection maps...");
        Map4x20x32 block;
        ok = RequestEcuMap(MAP_BLOCK_TUNING_4X, block);
        if (ok) {
            (ExchangeByPressure() ? ecuMapData.map2 : ecuMapData.map1) = block;
            redraw = redraw || (IsInjectionKind(shownKind) && !scatter);
        }
        SetProgressBar(0, 0);
    }
    if (ok && plan.advance) {
        ShowTuneStatusText("Loading advance map...");
        Map20x32 block;
        ok = RequestEcuMap(MAP_BLOCK_TUNING_1X, block);
        if (ok) {
            ecuMapData.map3 = block;
            redraw = redraw || (shownKind == kKindAdvance && !scatter);
        }
        SetProgressBar(0, 0);
    }
    return ok;
}

// Raised requests sent in their fixed order; each failure clears ok and the next goes on.
void SendRequests(bool& ok, bool& nothingSent) {
    const auto send = [&](bool sent) {
        if (sent)
            nothingSent = false;
        else
            ok = false;
    };
    if (Take(kReqManual)) {
        requests &= ~kReqAuto;
        send(GetCylinderSelection() && SendMtManual());
    }
    if (Take(kReqAuto)) {
        requests &= ~kReqManual;
        send(SendMtAuto());
    }
    for (const unsigned adjust : {kReqPauseAdjust, kReqInjAdjust, kReqAdvAdjust})
        if (Take(adjust)) send(SendMtAdjust());
    if (Take(kReqInjFreeze) && GetCylinderSelection() && mtCylMask != 0) send(SendMtFreeze(true));
    if (Take(kReqAdvFreeze)) send(SendMtFreeze(false));
}

// The requests the ECU's state leaves standing (a mode's settings frame is resent only after a settings
// change or after the ECU was locked). A stop stands until the ECU reports tuning off (or locked): a tick
// busy with other frames sends it on a later one.
void FilterRequests() {
    switch (TuningStateNow()) {
    case kTsLocked:
        requests &= ~(kReqStop | kReqManual | kReqAuto | kReqInjFreeze | kReqAdvFreeze);
        ecuLockedSeen = 1;
        break;
    case kTsOff:
        requests &= ~(kReqStop | kReqInjFreeze | kReqAdvFreeze);
        ecuLockedSeen = 0;
        break;
    case kTsManual:
        requests &= ~(kReqManual | kReqAuto);
        if (Raised(kReqResync) || ecuLockedSeen) requests |= kReqManual;
        ecuLockedSeen = 0;
        break;
    default:
        requests &= ~(kReqManual | kReqAuto);
        if (Raised(kReqResync) || ecuLockedSeen) requests |= kReqAuto;
        ecuLockedSeen = 0;
        break;
    }
}

bool Mp2Tick() {
    const int kind = ShownMapKind();
    bool ok = true;
    bool nothingSent = true;
    bool justOpened = false;
    bool justClosed = false;
    if (isComOpen != prevComOpen) {
        prevComOpen = isComOpen;
        requests |= kReqResync;
        justOpened = isComOpen != 0;
        justClosed = isComOpen == 0;
    }
    if (Raised(kReqResync)) GatherMtSettings();
    bool redraw = false;
    const int byPressure = ExchangeByPressure() ? 1 : 0;
    if (kind != prevKind || byPressure != prevByPressure) {
        prevKind = kind;
        prevByPressure = byPressure;
        LayoutTuneTable();
        redraw = true;
    }
    std::vector<Point> changedCells; // cells of the shown matrix the ECU changed this tick
    bool settingsLoaded = false;
    bool startedNow = false;
    bool scatter = false;
    if (!isComOpen) {
        SetMtDimming(MtDimming::Closed);
        requests &= kReqResync;
        firstSyncPending = 1;
        ecuLockedSeen = 0;
        tuningWasActive = 0;
        ResetMtInfo();
        pendingCells.clear();
    } else {
        FilterRequests();
        if (!Raised(kReqManual | kReqAuto | kReqStop))
            SetMtDimming(IsMapTuning() ? MtDimming::Tuning : MtDimming::Idle);
        SendRequests(ok, nothingSent);
        if (nothingSent && !SendMtRequest(Raised(kReqStop) ? 3 : 1)) ok = false;
        // A failed read of the ECU's settings leaves the first synchronisation for the next tick.
        if (firstSyncPending) {
            const std::uint8_t state = TuningStateNow();
            if (state == kTsManual || state == kTsAuto) {
                isTuningManual = state == kTsManual;
                isTuningAuto = state == kTsAuto;
                settingsLoaded = SendMtRequest(2);
                if (settingsLoaded)
                    firstSyncPending = 0;
                else
                    ok = false;
            } else if (state == kTsOff) {
                firstSyncPending = 0;
            }
        }
        SyncPlan plan;
        if (!IsMapTuning()) {
            if (ecuLockedSeen) {
            } else if (tuningWasActive) {
                plan.injection = plan.advance = true;
            } else if (justOpened) {
                plan.full = plan.injection =
                    ConfirmPopup(kTitle, "Load Map-Tuning Data?", ConfirmDefault::No) != 0;
            }
            tuningWasActive = 0;
        } else {
            startedNow = !tuningWasActive;
            tuningWasActive = 1;
            plan.full = plan.injection = plan.advance = startedNow && !ecuLockedSeen;
            SetCylinderSelection(mtInfo.cylMask, mtInfo.flags & kMtFlagByPressure);
        }
        if (ok && (plan.full || plan.injection || plan.advance)) ok = RunSync(plan, kind, scatter, redraw);
        ApplyCellUpdates(kind, changedCells);
    }
    if (justOpened) {
        if (IsMapTuning()) {
            startedNow = true;
            redraw = true;
        }
        SetActivePanel(hMp2Panel);
    }
    if (startedNow) {
        SetCylinderSelection(mtSettings.cylMask, mtSettings.flags & kMtFlagByPressure);
        if (!ShowCylinderSelection(mtCylMask, mtByPressure)) ok = false;
    }
    // A whole redraw when the table was re-laid or reloaded; otherwise only the cells the ECU changed.
    if (redraw)
        ShowTuneTable();
    else if (!changedCells.empty())
        ShowTuneCells(changedCells);
    if (scatter) ScatterAllPanels();
    // The user's auto-scroll choice stands; a click into the table only holds it while the table keeps
    // the focus.
    const bool tableFocus = GetActiveCtrl(hMp2Panel) == MAPS2::TABmatrix;
    if (tableFocus && fTableClicked) {
        SetTableClicked(false);
        HoldAutoScroll(true);
    } else if (!tableFocus) {
        HoldAutoScroll(fTableClicked != 0);
    }
    ShowTuneStatus(justClosed || settingsLoaded);
    if (!ok)
        ShowTuneStatusText("Error!");
    else if (IsMapTuning())
        MarkRunningCell(mtInfo.rpm, mtInfo.farf, mtInfo.pair);
    requests &= ~kReqResync;
    return ok;
}

} // namespace

void RaiseMtRequest(unsigned r) {
    requests |= r;
}

void RequestMtAdjust(const MtAdjustFrame& frame, MtRequest request) {
    mtAdjust = frame;
    requests |= request;
}

std::uint8_t TuningStateNow() {
    return mtInfo.state & kStateMask;
}

bool ExchangeByPressure() {
    return (mtInfo.state & kStateByPressure) != 0 || mtByPressure != 0;
}

bool ShownByPressure() {
    return IsMapTuning() ? ExchangeByPressure() : (ParCondHolds(ParCond::TurboOn) || mtByPressure != 0);
}

void ResetMtInfo() {
    mtInfo = MtInfoFrame{};
    mtInfo.pair = 1000;
    mtInfo.injRatio = 1000;
    mtInfo.extDbw = ParCondHolds(ParCond::ExtDbwOff) ? 0 : 0x80;
    mtInfo.state = static_cast<std::uint8_t>(kTsOff | (TurboBit() ? kStateByPressure : 0));
    mtInfo.flags = TurboBit();
}

bool SendMtRequest(std::uint8_t code) {
    if (code < 1 || code > 3) return true;
    return Exchange(std::span<const std::uint8_t>(&code, 1), true, code == 2);
}

bool SendMtAdjust() {
    if (CheckfBusy()) return false;
    std::array<std::uint8_t, kMtAdjustSize> bytes;
    EncodeMtAdjust(mtAdjust, bytes);
    return Exchange(bytes, false, false);
}

bool ResetTuningAdjust() {
    mtAdjust = {1000, mtCylMask, 0};
    SendMtAdjust();
    mtAdjust = {0, 0, 0};
    return SendMtAdjust();
}

bool Mp2Timer() {
    if (inMp2Timer) return true;
    inMp2Timer = true;
    ++mtTicks;
    const bool ok = Mp2Tick();
    inMp2Timer = false;
    return ok;
}

void SetTuneStatusInfo(std::uint8_t isLocked, std::uint8_t isTuning, std::uint8_t isAuto) {
    const std::uint8_t state = isLocked ? kTsLocked : !isTuning ? kTsOff : isAuto ? kTsAuto : kTsManual;
    mtInfo.state = static_cast<std::uint8_t>((mtInfo.state & ~kStateMask) | state);
}

bool IsMapTuning() {
    const std::uint8_t state = TuningStateNow();
    return (state == kTsManual || state == kTsAuto) && isComOpen;
}

// With the link closed nothing can be stopped and nothing runs: the caller may go on.
bool AbortManualTuning() {
    if (TuningStateNow() != kTsManual || !isComOpen) return true;
    if (!ConfirmPopup(kTitle, "Abort?", ConfirmDefault::No)) return false;
    if (!SendMtRequest(3)) return false;
    return TuningStateNow() == kTsOff;
}
