// The live pages must never stall the window. Measured: the page's scatter alone (every value, LED,
// dimming rule and caption of the page from records whose numbers change from one scatter to the next), and
// one whole live tick (two live exchanges and the scatter) through the program's own link code against the
// in-process simulator on a socket, unpaced and paced at wire speed (312500 baud, 11 bits a byte). Two ticks
// fetch the four records: requests 2 x 8 bytes a tick, replies (254 + 146) and (60 + 50) bytes, so a tick
// carries 271 bytes on average, 9.54 ms of wire time (counter wire_ms). The window's repaint of the new
// values is the event loop's work between ticks and is measured apart. Read the median of the repetitions.
#include "orvane/core/ui/mainwin.h"
#include "orvane/live/live.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"
#include "simthread.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <span>

namespace {

constexpr double kAverageTickBytes = 16 + (254 + 146 + 60 + 50) / 2.0;
constexpr double kByteMs = 11.0 / 312500.0 * 1000.0;

// Both live pages loaded under the main window and shown headless, as in the program.
bool LoadLivePages() {
    static const bool loaded = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        RegisterResource("screen.uir", kScreenUir);
        RegisterScreenCallbacks();
        hMainPanel = LoadPanel(0, "screen.uir", MAIN::id);
        if (hMainPanel < 0 || !InitLv1Panel(hMainPanel) || !InitLv2Panel(hMainPanel)) return false;
        if (DisplayPanel(hMainPanel) < 0) return false;
        ProcessSystemEvents();
        return true;
    }();
    return loaded;
}

int PanelOf(int page) {
    return page == 0 ? hLv1Panel : hLv2Panel;
}

void BM_ScatterLivePage(benchmark::State& state) {
    const auto page = static_cast<std::uint8_t>(state.range(0));
    if (!LoadLivePages() || DisplayPanel(PanelOf(page)) < 0) {
        state.SkipWithError("the live pages did not load");
        return;
    }
    // every tick brings new values: the records alternate between two sets of numbers
    for (std::uint8_t round = 0; auto _ : state) {
        state.PauseTiming();
        ++round;
        for (const std::span<std::uint8_t> record :
             {std::span<std::uint8_t>(liveData0), std::span<std::uint8_t>(liveData1),
              std::span<std::uint8_t>(liveData2), std::span<std::uint8_t>(liveData3)})
            for (std::size_t i = 0; i < record.size(); ++i)
                record[i] = static_cast<std::uint8_t>(round & 1 ? i : 0);
        state.ResumeTiming();
        page == 0 ? ScatterLv1Panel() : ScatterLv2Panel();
    }
}
BENCHMARK(BM_ScatterLivePage)->ArgName("page")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LiveTick(benchmark::State& state) {
    const auto page = static_cast<std::uint8_t>(state.range(1));
    const SimThread sim(state.range(0) != 0, "live");
    if (!LoadLivePages() || DisplayPanel(PanelOf(page)) < 0 || !sim.Attach() || !LivTimer(1, page)) {
        state.SkipWithError("no live exchange with the simulator");
        return;
    }
    for (auto _ : state) {
        // the event loop paints the last tick's values between two ticks, as in the program
        state.PauseTiming();
        ProcessDrawEvents();
        state.ResumeTiming();
        if (!LivTimer(0, page) || liveErrCount != 0) {
            state.SkipWithError("a live exchange failed");
            break;
        }
    }
    state.counters["wire_ms"] = kAverageTickBytes * kByteMs;
}
// What the window then spends painting a tick's new values (the event loop's work, not the tick's).
void BM_PaintLivePage(benchmark::State& state) {
    const auto page = static_cast<std::uint8_t>(state.range(0));
    const SimThread sim(false, "live-paint");
    if (!LoadLivePages() || DisplayPanel(PanelOf(page)) < 0 || !sim.Attach() || !LivTimer(1, page)) {
        state.SkipWithError("no live exchange with the simulator");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        LivTimer(0, page);
        state.ResumeTiming();
        ProcessDrawEvents();
    }
}
BENCHMARK(BM_PaintLivePage)->ArgName("page")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_LiveTick)
    ->ArgNames({"paced", "page"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Iterations(100)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
