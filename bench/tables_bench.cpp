// The injection, advance and linearization pages: one fill and read-back of each page (the whole page's
// tables, the configure step and the repairs), which a page switch does for every page; and the exchanges
// of the automatic throttle calibration (two averaged readings of 4 samples) against the simulator,
// paced at wire speed: 8 x (5 + 6) bytes x 11 bits / 312500 baud = 3.10 ms on the wire.
#include "orvane/core/logic/adread.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"
#include "simthread.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

bool LoadTablePages() {
    static const bool loaded = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        if (hMainPanel <= 0) {
            RegisterResource("screen.uir", kScreenUir);
            RegisterScreenCallbacks();
            hMainPanel = LoadPanel(0, "screen.uir", MAIN::id);
            if (hMainPanel < 0 || DisplayPanel(hMainPanel) < 0) return false;
        }
        if (!InitIj1Panel(hMainPanel) || !InitIj2Panel(hMainPanel) || !InitAdvPanel(hMainPanel) ||
            !InitLn1Panel(hMainPanel) || !InitLn2Panel(hMainPanel))
            return false;
        ecuParData.b6E0[0x6E2 - 0x6E0] = 4;   // cylinders
        ecuParData.b772[0x781 - 0x772] = 255; // selector in volts
        ProcessSystemEvents();
        return true;
    }();
    return loaded;
}

struct TablePage {
    int* panel;
    bool (*scatter)();
    bool (*gather)();
};
const TablePage kPages[] = {
    {&hIj1Panel, ScatterIj1Panel, GatherIj1Panel}, {&hIj2Panel, ScatterIj2Panel, GatherIj2Panel},
    {&hAdvPanel, ScatterAdvPanel, GatherAdvPanel}, {&hLn1Panel, ScatterLn1Panel, GatherLn1Panel},
    {&hLn2Panel, ScatterLn2Panel, GatherLn2Panel},
};

// Arg: 0 INJ1, 1 INJ2, 2 ADV, 3 LNR1, 4 LNR2 (shown, so that the tables paint).
void BM_PageScatterGather(benchmark::State& state) {
    const TablePage& page = kPages[state.range(0)];
    if (!LoadTablePages() || DisplayPanel(*page.panel) < 0) {
        state.SkipWithError("the pages did not load");
        return;
    }
    for (auto _ : state) {
        if (!page.scatter() || !page.gather()) state.SkipWithError("fill or read-back failed");
        ProcessDrawEvents();
    }
    HidePanel(*page.panel);
}
BENCHMARK(BM_PageScatterGather)->ArgName("page")->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_CalibrationReadings(benchmark::State& state) {
    ecusim::EcuOptions ecu;
    ecu.throttleSteps = {0.0, 100.0};
    const SimThread sim(state.range(0) != 0, "calibration", ecu);
    if (!sim.Attach()) {
        state.SkipWithError("the simulator does not answer");
        return;
    }
    for (auto _ : state) {
        int idle = 0;
        int full = 0;
        if (!ReadAdAveraged(1, idle) || !ReadAdAveraged(1, full)) state.SkipWithError("a reading failed");
    }
}
BENCHMARK(BM_CalibrationReadings)->Apply(PacedAndUnpaced);

} // namespace
