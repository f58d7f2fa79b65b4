// The parameter pages: one scatter and gather of each page (the page switch and the gather-all step do
// both), which must stay well under a frame (16 ms); and a CO-correction receive and send of both maps
// against the simulator program, paced (compared with the wire time of the bytes they move) and unpaced
// (the program's own share).
#include "orvane/core/ui/mainwin.h"
#include "orvane/params/cocedit.h"
#include "orvane/params/params.h"
#include "orvane/ui/screen.h"
#include "platform/ui/popup.h"
#include "platform/ui/userint.h"
#include "simprocess.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

struct PageOps {
    const char* name;
    int* handle;
    bool (*init)(int);
    bool (*scatter)();
    bool (*gather)();
};
const PageOps kPages[] = {
    {"Misc. 1", &hPr1Panel, InitPr1Panel, ScatterPr1Panel, GatherPr1Panel},
    {"Misc. 2", &hPr2Panel, InitPr2Panel, ScatterPr2Panel, GatherPr2Panel},
    {"Misc. 3", &hPr3Panel, InitPr3Panel, ScatterPr3Panel, GatherPr3Panel},
    {"Cut Off", &hPr4Panel, InitPr4Panel, ScatterPr4Panel, GatherPr4Panel},
    {"Transient", &hPr5Panel, InitPr5Panel, ScatterPr5Panel, GatherPr5Panel},
    {"Gear & Shift", &hPr6Panel, InitPr6Panel, ScatterPr6Panel, GatherPr6Panel},
    {"Blipping", &hPr7Panel, InitPr7Panel, ScatterPr7Panel, GatherPr7Panel},
    {"Anti-Lag", &hPr8Panel, InitPr8Panel, ScatterPr8Panel, GatherPr8Panel},
    {"CO-Corr.", &hPr9Panel, InitPr9Panel, ScatterPr9Panel, GatherPr9Panel},
    {"Traction Ctrl.", &hPr10Panel, InitPr10Panel, ScatterPr10Panel, GatherPr10Panel},
};

// The main window with the parameter pages, headless; popups are answered at once.
bool LoadPages() {
    static const bool loaded = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        SetPopupHook([](const PopupRequest&) { return PopupAnswer{}; });
        RegisterResource("screen.uir", kScreenUir);
        RegisterScreenCallbacks();
        hMainPanel = LoadPanel(0, "screen.uir", MAIN::id);
        if (hMainPanel < 0 || DisplayPanel(hMainPanel) < 0) return false;
        for (const PageOps& p : kPages)
            if (!p.init(hMainPanel)) return false;
        ProcessSystemEvents();
        return true;
    }();
    return loaded;
}

void BM_ScatterGatherPage(benchmark::State& state) {
    const PageOps& page = kPages[state.range(0)];
    state.SetLabel(page.name);
    if (!LoadPages() || DisplayPanel(*page.handle) < 0) {
        state.SkipWithError("the pages did not load");
        return;
    }
    for (auto _ : state)
        if (!page.scatter() || !page.gather()) state.SkipWithError("scatter or gather failed");
    HidePanel(*page.handle); // the next benchmark repaints no page left on screen
}
BENCHMARK(BM_ScatterGatherPage)->DenseRange(0, 9)->Unit(benchmark::kMillisecond);

// Receive and send of both CO-correction maps (with the load reference), in edit mode.
void BM_CocTransfer(benchmark::State& state) {
    const bool send = state.range(0) != 0;
    state.SetLabel(send ? "send" : "receive");
    if (!LoadPages()) {
        state.SkipWithError("the pages did not load");
        return;
    }
    Simulator sim(state.range(1) != 0);
    CountingLink* link = sim.Connect();
    if (link == nullptr) {
        state.SkipWithError("the simulator does not answer");
        return;
    }
    SetCocEditMode(1);
    double seconds = 0;
    for (auto _ : state) {
        link->bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        if (!(send ? SendCocEditMap() : ReceiveCocEditMap())) {
            state.SkipWithError("the link is closed");
            break;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (state.iterations() > 0) {
        const double perRun = seconds / static_cast<double>(state.iterations());
        const double wire = static_cast<double>(link->bytes) * kWireSecondsPerByte;
        state.counters["wire_limit_s"] = wire;
        state.counters["measured_s"] = perRun;
        state.counters["vs_wire_limit"] = perRun / wire;
    }
    CloseComPort();
}
BENCHMARK(BM_CocTransfer)
    ->ArgNames({"send", "paced"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Iterations(10)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace
