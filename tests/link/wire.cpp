#include "wire.h"

#include "orvane/core/com.h"
#include "platform/sys/bytelink.h"

#include <gtest/gtest.h>

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
    Respond respond;
    mutable std::mutex lock;
    std::vector<ecusim::Frame> requests;
    std::thread thread;

    void Serve(int listener) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        ::close(listener);
        ecusim::FrameParser parser;
        std::uint8_t buf[512];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0) break;
            parser.Push(std::span(buf, static_cast<std::size_t>(n)));
            while (std::optional<ecusim::Frame> frame = parser.Next()) {
                {
                    const std::scoped_lock hold(lock);
                    requests.push_back(*frame);
                }
                const Bytes reply = respond(*frame);
                if (!reply.empty() && ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL) < 0) break;
            }
        }
        ::close(fd);
    }
};

FakeEcu::FakeEcu(Respond respond) : state_(std::make_unique<State>()) {
    state_->respond = std::move(respond);
    const std::string path = state_->dir.Path("ecu.sock");
    const int listener = Listen(path);
    state_->thread = std::thread([this, listener] { state_->Serve(listener); });
    AttachComLink(OpenSocketLink(path.c_str(), ToMs(secTimeOut)));
    EXPECT_EQ(isComOpen, 1);
}

FakeEcu::~FakeEcu() {
    CloseComPort(); // the ECU's thread sees the link close and ends
    state_->thread.join();
}

std::vector<ecusim::Frame> FakeEcu::Requests() const {
    const std::scoped_lock hold(state_->lock);
    return state_->requests;
}
