// Data sets: byte order of a whole mapping image, and Receive / Send of a whole mapping data set through
// the program's own link code (socket link, frames, block transfers) against the simulator program, with
// and without its wire pacing. The wire limit is every frame byte, both ways, at 11 bits per byte and
// 312500 baud.
#include "orvane/core/logic/byteorder.h"
#include "orvane/core/logic/com.h"
#include "orvane/core/ui/transfer.h"
#include "simprocess.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace {

// The progress bar pumps the user interface: no display is needed for that.
const bool kHeadless = setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0;

void BM_ConvertMapImage(benchmark::State& state) {
    auto image = std::make_unique<EcuMapImage>();
    for (auto _ : state) {
        ConvertMapImage(*image);
        benchmark::DoNotOptimize(image.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * sizeof(EcuMapImage));
}
BENCHMARK(BM_ConvertMapImage);

// bytes: the link bytes of one run.
void ReportTransfer(benchmark::State& state, std::uint64_t bytes, double perRun) {
    const double wire = static_cast<double>(bytes) * kWireSecondsPerByte;
    constexpr double kBlocks = (zzzDimMapBuf + 254) / 255;
    state.counters["wire_limit_s"] = wire;
    state.counters["measured_s"] = perRun;
    state.counters["vs_wire_limit"] = perRun / wire;
    state.counters["blocks_per_s"] = kBlocks / perRun;
}

void TransferMap(benchmark::State& state, bool (*transfer)(std::uint16_t)) {
    const bool paced = state.range(0) != 0;
    Simulator sim(paced);
    CountingLink* link = sim.Connect();
    if (link == nullptr) {
        state.SkipWithError("the simulator does not answer");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        link->bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        if (!transfer(AREA_MAP_SLOT1)) {
            state.SkipWithError("the transfer failed");
            break;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (state.iterations() > 0)
        ReportTransfer(state, link->bytes, seconds / static_cast<double>(state.iterations()));
    CloseComPort();
}

void BM_ReceiveMap(benchmark::State& state) {
    TransferMap(state, &RequestEcu);
}
void BM_SendMap(benchmark::State& state) {
    TransferMap(state, &SendEcu);
}

BENCHMARK(BM_ReceiveMap)
    ->ArgName("paced")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
BENCHMARK(BM_SendMap)
    ->ArgName("paced")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace
