// The simulated ECU served on a socket from a thread of the benchmark's own process, attached as the
// program's link: the program's link code runs as against the adapter, paced at wire speed or not.
#pragma once

#include "ecusim/server.h"
#include "orvane/core/com.h"
#include "platform/sys/bytelink.h"

#include <atomic>
#include <string>
#include <thread>
#include <unistd.h>

// The simulated ECU served from a thread of this process for as long as the object lives.
class SimThread {
  public:
    explicit SimThread(bool paced)
        : path_("/tmp/orvane-bench-" + std::to_string(getpid()) + ".sock"),
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
