// The simulated ECU served on a socket from a thread of the benchmark's process, for as long as the
// object lives; Attach makes it the program's open link.
#pragma once

#include "ecusim/server.h"
#include "orvane/core/portlink.h"
#include "platform/sys/bytelink.h"

#include <atomic>
#include <string>
#include <thread>
#include <unistd.h>

class SimThread {
  public:
    explicit SimThread(bool paced, const ecusim::EcuOptions& ecu = {})
        : path_("/tmp/orvane-sim-bench-" + std::to_string(getpid()) + ".sock"),
          listener_(ecusim::ListenUnixSocket(path_)), sim_(ecu) {
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
    std::string path_;
    int listener_;
    ecusim::EcuSim sim_;
    ecusim::ServeOptions options_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
