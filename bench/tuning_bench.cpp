// One tick of the tuning exchange with a full Info reply (32 cell reports): the poll, the reports written
// into the map, the table redrawn with every cell's colour and weight, the status and the running cell.
// Before each tick (untimed) a row of 32 cells is written to the ECU, which then reports all 32 back.
// Unpaced it is the software's own cost; paced, the wire time of the tick's bytes is 5 + 166 bytes at
// 312500 baud, 11 bits a byte = 6.02 ms. Read the median of the repetitions.
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"
#include "orvane/ui/screen.h"
#include "platform/ui/popup.h"
#include "platform/ui/userint.h"
#include "simthread.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr double kWireMs = (5 + 166) * 11 / 312.5;

bool LoadTuningPage() {
    static const bool loaded = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        RegisterResource("screen.uir", kScreenUir);
        RegisterScreenCallbacks();
        SetPopupHook([](const PopupRequest&) { return PopupAnswer{0, ""}; }); // "no" to every question
        hMainPanel = LoadPanel(0, "screen.uir", MAIN::id);
        if (hMainPanel < 0 || !InitMp2Panel(hMainPanel)) return false;
        hCurPanel = hMp2Panel;
        if (DisplayPanel(hMainPanel) < 0 || DisplayPanel(hMp2Panel) < 0) return false;
        ProcessSystemEvents();
        return true;
    }();
    return loaded;
}

// Manual tuning of cylinder 1 started on the ECU and taken up by the page.
bool StartManualTuning() {
    ecuParData.b6E0[0x6E2 - 0x6E0] = 4; // cylinders
    isTuningManual = 1;
    isTuningAuto = 0;
    if (!ScatterMp2Panel() || !Mp2Timer() || SetCtrlVal(hMp2Panel, MAPS2::TBcyl1, 1) < 0) return false;
    RaiseMtRequest(kReqManual);
    return Mp2Timer() && Mp2Timer() && IsMapTuning();
}

void BM_Mp2TimerFullInfo(benchmark::State& state) {
    const SimThread sim(state.range(0) != 0, "tuning");
    if (!LoadTuningPage() || !sim.Attach() || !StartManualTuning()) {
        state.SkipWithError("tuning did not start");
        return;
    }
    std::int16_t row[kTuneCols] = {};
    for (auto _ : state) {
        state.PauseTiming();
        for (std::int16_t& cell : row)
            cell = static_cast<std::int16_t>(cell == 1000 ? 2000 : 1000);
        const bool written = SendTuneRow(1, 0, row);
        state.ResumeTiming();
        if (!written || !Mp2Timer()) {
            state.SkipWithError("tick failed");
            break;
        }
    }
    state.counters["wire_ms"] = kWireMs;
}

BENCHMARK(BM_Mp2TimerFullInfo)->Apply(PacedAndUnpaced);

} // namespace
