#include "wire.h"

#include "platform/sys/bytelink.h"
#include "shared/portlink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

int ToMs(double sec) {
    return static_cast<int>(sec * 1000);
}

int Listen(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(fd, 1) != 0) {
        ADD_FAILURE() << "cannot listen at " << path;
    }
    return fd;
}

bool Readable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0;
}

} // namespace

TempDir::TempDir() {
    char name[] = "/tmp/orvane-link-XXXXXX";
    path_ = ::mkdtemp(name);
}

TempDir::~TempDir() {
    std::filesystem::remove_all(path_);
}

RuntimeDir::RuntimeDir() {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    hadOne_ = old != nullptr;
    if (hadOne_) saved_ = old;
    ::setenv("XDG_RUNTIME_DIR", dir_.Root().c_str(), 1);
}

RuntimeDir::~RuntimeDir() {
    if (hadOne_) {
        ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}

Wire::Wire(Kind kind, double timeoutSec) {
    if (kind == Kind::Pty) {
        peer_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (peer_ < 0 || ::grantpt(peer_) != 0 || ::unlockpt(peer_) != 0)
            ADD_FAILURE() << "no pseudo-terminal";
        const std::string device = ::ptsname(peer_);
        AttachComLink(OpenComLink(device.c_str(), ToMs(timeoutSec)));
        probe_ = ::open(device.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    } else {
        const std::string path = dir_.Path("adapter.sock");
        const int listener = Listen(path);
        AttachComLink(OpenSocketLink(path.c_str(), ToMs(timeoutSec)));
        peer_ = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        ::close(listener);
    }
    EXPECT_EQ(isComOpen, 1);
}

Wire::~Wire() {
    CloseComPort();
    if (probe_ >= 0) ::close(probe_);
    ::close(peer_);
}

void Wire::Send(const Bytes& bytes) const {
    ASSERT_EQ(::write(peer_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

void Wire::AwaitDelivery() const {
    if (probe_ >= 0) {
        ASSERT_TRUE(Readable(probe_, 1000));
    }
}

Bytes Wire::Receive(std::size_t n) const {
    Bytes out(n);
    std::size_t got = 0;
    while (got < n && Readable(peer_, 1000)) {
        const ssize_t r = ::read(peer_, out.data() + got, n - got);
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    out.resize(got);
    return out;
}

Bytes Wire::Pending() const {
    Bytes out;
    std::uint8_t buf[512];
    while (Readable(peer_, 50)) {
        const ssize_t r = ::read(peer_, buf, sizeof buf);
        if (r <= 0) break;
        out.insert(out.end(), buf, buf + r);
    }
    return out;
}

struct FakeEcu::State {
    TempDir dir;
    std::string path;
    Respond respond;
    int listener = -1;
    std::atomic<bool> stop{false};
    mutable std::mutex lock;
    std::vector<ecusim::Frame> requests;
    std::thread thread;

    void Serve() {
        while (!stop) {
            if (!Readable(listener, 50)) continue;
            const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            ServeConnection(fd);
            ::close(fd);
        }
    }

    void ServeConnection(int fd) {
        ecusim::FrameParser parser;
        std::uint8_t buf[512];
        while (!stop) {
            if (!Readable(fd, 50)) continue;
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0) return;
            parser.Push(std::span(buf, static_cast<std::size_t>(n)));
            while (std::optional<ecusim::Frame> frame = parser.Next()) {
                {
                    const std::scoped_lock hold(lock);
                    requests.push_back(*frame);
                }
                const Bytes reply = respond(*frame);
                if (!reply.empty() && ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL) < 0) return;
            }
        }
    }
};

FakeEcu::FakeEcu(Respond respond, const std::string& path) : state_(std::make_unique<State>()) {
    state_->respond = std::move(respond);
    state_->path = path.empty() ? state_->dir.Path("ecu.sock") : path;
    state_->listener = Listen(state_->path);
    state_->thread = std::thread([this] { state_->Serve(); });
}

FakeEcu::FakeEcu(Respond respond) : FakeEcu(std::move(respond), "") {
    AttachComLink(OpenSocketLink(state_->path.c_str(), ToMs(secTimeOut)));
    EXPECT_EQ(isComOpen, 1);
}

FakeEcu::~FakeEcu() {
    CloseComPort();
    state_->stop = true;
    state_->thread.join();
    ::close(state_->listener);
    ::unlink(state_->path.c_str());
}

std::vector<ecusim::Frame> FakeEcu::Requests() const {
    const std::scoped_lock hold(state_->lock);
    return state_->requests;
}
