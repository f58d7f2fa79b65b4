// The simulated ECU served on a socket from a thread of the benchmark program, with the program's link
// attached to it: the link code runs as against the adapter, paced at wire speed or not.
#pragma once

#include "ecusim/server.h"
#include "platform/sys/bytelink.h"
#include "shared/portlink.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <string>
#include <thread>
#include <unistd.h>

// The simulated ECU served from a thread of this process for as long as the object lives.
class SimThread {
  public:
    SimThread(bool paced, const char* name, const ecusim::EcuOptions& ecu = {})
        : path_("/tmp/orvane-" + std::string(name) + "-bench-" + std::to_string(getpid()) + ".sock"),
          listener_(ecusim::ListenUnixSocket(path_)), sim_(InRealTime(ecu)) {
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
    SimThread(const SimThread&) = delete;
    SimThread& operator=(const SimThread&) = delete;

    bool Attach() const {
        AttachComLink(OpenSocketLink(path_.c_str(), 500));
        return isComOpen != 0;
    }

  private:
    // The engine runs in real time, as the ecusim program's does.
    static ecusim::EcuOptions InRealTime(ecusim::EcuOptions options) {
        options.clock = ecusim::SteadyClockS;
        return options;
    }

    std::string path_;
    int listener_;
    ecusim::EcuSim sim_;
    ecusim::ServeOptions options_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The exchanges measured against the simulator, unpaced (the program's own cost) and paced (against the
// wire time): five runs each, reported as their aggregates in milliseconds of real time.
inline void PacedAndUnpaced(benchmark::internal::Benchmark* b) {
    b->ArgName("paced")
        ->Arg(0)
        ->Arg(1)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}
