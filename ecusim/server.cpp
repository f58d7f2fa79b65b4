#include "ecusim/server.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace ecusim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::nanoseconds kByteTime{35200}; // 11 bits at 312500 baud
constexpr int kStopPollMs = 200;
constexpr std::chrono::microseconds kAwakeBefore{200}; // see WaitUntil
constexpr std::size_t kBurstBytes = 16;                // bytes released together, 0.56 ms of wire time

bool Stopped(const ServeOptions& options) {
    return options.stop != nullptr && options.stop->load();
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

// Waits until t. A sleep wakes late by the thread's timer slack and the scheduler's latency, so where the
// moment matters the last stretch is waited out awake.
void WaitUntil(Clock::time_point t, bool exact) {
    if (!exact) {
        std::this_thread::sleep_until(t);
        return;
    }
    std::this_thread::sleep_until(t - kAwakeBefore);
    while (Clock::now() < t) {}
}

// Releases the bytes as the wire would deliver them from start on: byte i once (i + 1) byte times have
// passed, a few at a time as an adapter hands them on, the last one on time. Deadlines are absolute, so
// oversleeping one step does not delay the rest.
bool SendPaced(int fd, std::span<const std::uint8_t> bytes, Clock::time_point start) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const std::size_t next = std::min(bytes.size(), sent + kBurstBytes);
        WaitUntil(start + kByteTime * static_cast<long>(next), next == bytes.size());
        const auto due = static_cast<std::size_t>((Clock::now() - start) / kByteTime);
        const std::size_t upTo = std::clamp(due, next, bytes.size());
        if (!SendAll(fd, bytes.subspan(sent, upTo - sent))) return false;
        sent = upTo;
    }
    return true;
}

} // namespace

namespace {

bool FillAddress(sockaddr_un& addr, const std::string& path) {
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

// The socket is bound and listening under a temporary name before it takes its own: a client that sees
// the path can connect at once, and a stale socket file is replaced in the same step.
int ListenUnixSocket(const std::string& path) {
    const std::string temporary = path + ".new" + std::to_string(::getpid());
    sockaddr_un addr{};
    if (!FillAddress(addr, temporary)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    ::unlink(temporary.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    if (::listen(fd, 4) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

namespace {

// The client now on the line and the wire times of its pacing.
struct Connection {
    int fd = -1;
    Clock::time_point rxFree{}; // when the inbound wire has carried everything received so far
    Clock::time_point txFree{}; // when the outbound wire has carried everything sent so far

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { Close(); }

    void Close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// Takes the bytes the client sent and answers them; false when the client hung up or cannot be written.
bool ServeInput(Connection& c, EcuSim& sim, const ServeOptions& options) {
    std::uint8_t buf[4096];
    ssize_t n;
    do {
        n = ::recv(c.fd, buf, sizeof buf, 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return false;
    const std::span<const std::uint8_t> received(buf, static_cast<std::size_t>(n));
    // The request is answered at once, but the reply leaves on the wire only once the request has come in
    // whole over it: the time of the answer rests on deadlines, not on how promptly this thread wakes.
    if (options.pace) c.rxFree = std::max(c.rxFree, Clock::now()) + kByteTime * static_cast<long>(n);
    const std::vector<std::uint8_t> reply = sim.Feed(received);
    if (reply.empty()) return true;
    if (!options.pace) return SendAll(c.fd, reply);
    const Clock::time_point start = std::max({c.txFree, c.rxFree});
    c.txFree = start + kByteTime * static_cast<long>(reply.size());
    return SendPaced(c.fd, reply, start);
}

} // namespace

void ServeClients(int listenFd, EcuSim& sim, const ServeOptions& options) {
    // the default slack of 50 us would make every paced wait late by that much
    if (options.pace) ::prctl(PR_SET_TIMERSLACK, 1UL);
    Connection client;
    while (!Stopped(options)) {
        pollfd p[2] = {{listenFd, POLLIN, 0}, {client.fd, POLLIN, 0}}; // poll skips a negative fd
        const int r = ::poll(p, 2, kStopPollMs);
        AdvanceEngineToNow(sim.model); // the engine runs on between requests, and with no client at all
        if (r < 0 && errno != EINTR) break;
        if (r <= 0) continue;
        if ((p[0].revents & POLLIN) != 0) {
            // The adapter has one owner: a new client takes over, so a hung one never locks the next out.
            const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                client.Close();
                client.fd = fd;
                client.rxFree = client.txFree = {};
                sim.NewConnection();
                continue;
            }
        }
        if (p[1].revents != 0 && !ServeInput(client, sim, options)) client.Close();
    }
}

} // namespace ecusim
