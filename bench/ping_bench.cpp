// One Ping round trip (30 key bytes out, 12 bytes back) through the program's own link code against the
// in-process simulator on a socket, unpaced (the software's own cost) and paced (wire time at 312500
// baud, 11 bits a byte: (34 + 16) bytes = 1.76 ms). Read the median of the repetitions.
#include "orvane/core/ui/connect.h"
#include "simthread.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PingRoundTrip(benchmark::State& state) {
    const SimThread sim(state.range(0) != 0, "ping");
    if (!sim.Attach()) {
        state.SkipWithError("the simulator does not answer");
        return;
    }
    for (auto _ : state) {
        if (!Ping()) {
            state.SkipWithError("Ping failed");
            break;
        }
    }
}

BENCHMARK(BM_PingRoundTrip)
    ->ArgName("paced")
    ->Arg(0)
    ->Arg(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

} // namespace
