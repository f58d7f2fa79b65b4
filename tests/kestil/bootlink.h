// The simulated ECU's boot loader as Kestil's link: in process (SimLink, every request recorded), or on
// the adapter's socket where Kestil finds it when it opens the port itself.
#pragma once

#include "ecusim/server.h"
#include "kestil/bload.h"
#include "platform/sys/bytelink.h"
#include "shared/portlink.h"
#include "simlink.h"
#include "wire.h"

#include <atomic>
#include <memory>
#include <thread>
#include <unistd.h>

using Bytes = std::vector<std::uint8_t>;

// Kestil's link state back to a fresh start: link closed, no boot loader known, the old ping first.
inline void ResetBootLink() {
    CloseComPort();
    sysType = 0;
    fOldBload = false;
    ResetPingForm();
}

// Attaches the in-process simulator as the open link; the returned link records the requests.
inline SimLink& AttachBootSim(ecusim::EcuSim& sim) {
    auto link = std::make_unique<SimLink>(sim);
    SimLink& ref = *link;
    AttachComLink(std::move(link));
    return ref;
}

// The boot loader identified as Kestil does it (ping in both forms, system type); nullptr when that fails.
inline SimLink* ConnectBootSim(ecusim::EcuSim& sim) {
    SimLink& link = AttachBootSim(sim);
    return (Ping() || Ping()) && CheckBloadInfo() ? &link : nullptr;
}

// The simulator serving on the adapter's stand-in socket, in a private runtime directory, from a thread.
class SocketBootSim {
  public:
    explicit SocketBootSim(ecusim::EcuSim& sim) : sim_(sim) { Start(); }
    ~SocketBootSim() { Stop(); }
    SocketBootSim(const SocketBootSim&) = delete;
    SocketBootSim& operator=(const SocketBootSim&) = delete;

    // The boot loader goes away (the adapter unplugged) and comes back.
    void Stop() {
        if (!thread_.joinable()) return;
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    void Start() {
        stop_ = false;
        fd_ = ecusim::ListenUnixSocket(SimulatorSocketPath());
        ecusim::ServeOptions options;
        options.stop = &stop_;
        thread_ = std::thread([this, options] { ecusim::ServeClients(fd_, sim_, options); });
    }

  private:
    RuntimeDir runtime_;
    ecusim::EcuSim& sim_;
    std::atomic<bool> stop_{false};
    int fd_ = -1;
    std::thread thread_;
};
