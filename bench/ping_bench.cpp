// One Ping round trip (30 key bytes out, 12 bytes back) through the program's own link code against the
// in-process simulator on a socket, unpaced (the software's own cost) and paced (wire time at 312500
// baud, 11 bits a byte: (34 + 16) bytes = 1.76 ms). Read the median of the repetitions.
#include "ecusim/server.h"
#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "platform/sys/bytelink.h"

#include <benchmark/benchmark.h>

#include <string>
#include <thread>
#include <unistd.h>

namespace {

// The simulated ECU served from a thread of this process for as long as the object lives.
class SimThread {
  public:
    explicit SimThread(bool paced)
        : path_("/tmp/orvane-ping-bench-" + std::to_string(getpid()) + ".sock"),
          listener_(ecusim::ListenUnixSocket(path_)) {
        options_.pace = paced;
        options_.stop = &stop_;
        if (listener_ >= 0)
            thread_ = std::thread([this] { ecusim::ServeClients(listener_, sim_, options_); });
    }
    ~SimThread() {
        CloseComPort();
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (listener_ >= 0) ::close(listener_);
        ::unlink(path_.c_str());
    }
    bool Attach() const {
        AttachComLink(OpenSocketLink(path_.c_str(), 500));
        return isComOpen != 0;
    }

  private:
    std::string path_;
    int listener_;
    ecusim::EcuSim sim_;
    ecusim::ServeOptions options_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void BM_PingRoundTrip(benchmark::State& state) {
    const SimThread sim(state.range(0) != 0);
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
