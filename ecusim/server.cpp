#include "ecusim/server.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace ecusim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::nanoseconds kByteTime{35200}; // 11 bits at 312500 baud
constexpr int kStopPollMs = 200;

bool Stopped(const ServeOptions& options) {
    return options.stop != nullptr && options.stop->load();
}

// Waits for input on fd; false when stop was asked or fd failed.
bool WaitInput(int fd, const ServeOptions& options) {
    for (;;) {
        if (Stopped(options)) return false;
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, kStopPollMs);
        if (r > 0) return true;
        if (r < 0 && errno != EINTR) return false;
    }
}

bool SendAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

// Releases the bytes as the wire would deliver them from start on: byte i once (i + 1) byte times have
// passed. Deadlines are absolute, so oversleeping one step does not delay the rest.
bool SendPaced(int fd, std::span<const std::uint8_t> bytes, Clock::time_point start) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const auto due = static_cast<std::size_t>((Clock::now() - start) / kByteTime);
        const std::size_t upTo = std::min(due, bytes.size());
        if (upTo > sent) {
            if (!SendAll(fd, bytes.subspan(sent, upTo - sent))) return false;
            sent = upTo;
        } else {
            std::this_thread::sleep_until(start + kByteTime * static_cast<long>(sent + 1));
        }
    }
    return true;
}

} // namespace

int ListenUnixSocket(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return -1;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void ServeConnection(int fd, EcuSim& sim, const ServeOptions& options) {
    Clock::time_point rxFree{}; // when the inbound wire has carried everything received so far
    Clock::time_point txFree{}; // when the outbound wire has carried everything sent so far
    std::uint8_t buf[4096];
    while (WaitInput(fd, options)) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        const std::span<const std::uint8_t> received(buf, static_cast<std::size_t>(n));
        if (options.pace) {
            rxFree = std::max(rxFree, Clock::now()) + kByteTime * static_cast<long>(n);
            std::this_thread::sleep_until(rxFree);
        }
        const std::vector<std::uint8_t> reply = sim.Feed(received);
        if (reply.empty()) continue;
        if (options.pace) {
            const Clock::time_point start = std::max(txFree, Clock::now());
            txFree = start + kByteTime * static_cast<long>(reply.size());
            if (!SendPaced(fd, reply, start)) break;
        } else if (!SendAll(fd, reply)) {
            break;
        }
    }
    ::close(fd);
}

void ServeClients(int listenFd, EcuSim& sim, const ServeOptions& options) {
    while (WaitInput(listenFd, options)) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) ServeConnection(fd, sim, options);
    }
}

} // namespace ecusim
