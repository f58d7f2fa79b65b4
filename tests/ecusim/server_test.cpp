// The simulator on its socket as clients come and go: each connection starts afresh, and a new client
// takes the line over from one that hangs. The socket path appears only when it takes connections.
#include "ecusim/server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class ServedSim : public testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/ecusim-server-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
        listener_ = ecusim::ListenUnixSocket(Path());
        ASSERT_GE(listener_, 0);
        options_.stop = &stop_;
        options_.pace = Paced();
        sim_.emplace(Ecu());
        thread_ = std::thread([this] { ecusim::ServeClients(listener_, *sim_, options_); });
    }
    void TearDown() override {
        StopServing();
        for (int fd : clients_)
            ::close(fd);
        if (listener_ >= 0) ::close(listener_);
        ::unlink(Path().c_str());
        ::rmdir(dir_.c_str());
    }

    std::string Path() const { return dir_ + "/sim.sock"; }
    virtual bool Paced() const { return false; }
    virtual ecusim::EcuOptions Ecu() { return {}; }

    // The server done with: what it did is all there to look at.
    void StopServing() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }

    // A client connection, read with a time limit so that a missing reply fails instead of hanging.
    int Connect() {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", Path().c_str());
        EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
        const timeval limit{2, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        clients_.push_back(fd);
        return fd;
    }

    static void Send(int fd, const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
    }

    // The first whole frame the client receives, or nullopt when none comes in time.
    static std::optional<ecusim::Frame> Receive(int fd) {
        ecusim::FrameParser parser;
        std::uint8_t buf[512];
        for (;;) {
            if (auto frame = parser.Next()) return frame;
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return std::nullopt;
            parser.Push(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(n)));
        }
    }

    std::optional<ecusim::EcuSim> sim_;

  private:
    std::string dir_;
    int listener_ = -1;
    ecusim::ServeOptions options_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::vector<int> clients_;
};

const std::vector<std::uint8_t> kVersionRequest = ecusim::EncodeFrame(0x01, {});

// What a client leaves behind when it stops answering: half a frame whose length would swallow the next
// client's request, or a write opened and never finished.
TEST_F(ServedSim, NextClientIsAnsweredInStepAfterOneThatHung) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> leftOver;
    };
    const std::uint8_t begin[6] = {0, 0, 0x0C, 0x00, 0, 1}; // the whole configuration, 3072 bytes
    const Case cases[] = {
        {"half a frame", {0x55, 0x20, 0x01, 0x00}},
        {"an open write", ecusim::EncodeFrame(0x04, begin)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int hung = Connect();
        Send(hung, c.leftOver);
        if (c.leftOver.size() > 4) {
            ASSERT_TRUE(Receive(hung)) << "the write was opened";
        }

        const int next = Connect();
        Send(next, kVersionRequest);
        const std::optional<ecusim::Frame> reply = Receive(next);
        ASSERT_TRUE(reply) << "the new client is served while the old one still holds its connection";
        EXPECT_EQ(reply->cmd, 0x01);
        EXPECT_EQ(std::string(reply->data.begin(), reply->data.end()), sim_->model.versionText);

        // A block now belongs to no write: the ECU ignores it instead of taking it into the old one.
        const std::uint8_t block[4] = {1, 2, 3, 4};
        Send(next, ecusim::EncodeFrame(0x05, block));
        Send(next, kVersionRequest);
        const std::optional<ecusim::Frame> after = Receive(next);
        ASSERT_TRUE(after);
        EXPECT_EQ(after->cmd, 0x01) << "no acknowledgement for a block outside a write";

        std::uint8_t byte = 0;
        EXPECT_LE(::recv(hung, &byte, 1, 0), 0) << "the old connection was closed";
        ::shutdown(next, SHUT_RDWR);
    }
}

class PacedSim : public ServedSim {
  protected:
    bool Paced() const override { return true; }
};

// Paced, a reply is never whole before the request and the reply have both crossed the wire, 11 bits a
// byte at 312500 baud, however promptly the simulator answers.
TEST_F(PacedSim, AReplyTakesTheWireTimeOfBothFrames) {
    const int fd = Connect();
    for (int i = 0; i < 20; ++i) {
        const auto sentAt = std::chrono::steady_clock::now();
        Send(fd, kVersionRequest);
        const std::optional<ecusim::Frame> reply = Receive(fd);
        const auto took = std::chrono::steady_clock::now() - sentAt;
        ASSERT_TRUE(reply);
        const std::size_t bytes = kVersionRequest.size() + ecusim::EncodeFrame(0x01, reply->data).size();
        EXPECT_GE(took, std::chrono::nanoseconds(35200) * bytes) << "exchange " << i;
    }
}

class ClockedSim : public ServedSim {
  protected:
    ecusim::EcuOptions Ecu() override {
        ecusim::EcuOptions options;
        options.clock = [this] {
            const double t = now_.load();
            read_.store(t);
            return t;
        };
        return options;
    }

    std::atomic<double> now_{0.0};
    std::atomic<double> read_{-1.0}; // the last reading the ECU took of its clock
};

// With no client on the line the engine runs on by its clock: ten minutes later it has run them,
// though nothing has asked it anything.
TEST_F(ClockedSim, TheEngineRunsOnWithNoClient) {
    now_ = 600.0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (read_.load() != 600.0 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(read_.load(), 600.0) << "the ECU never looked at its clock";
    StopServing();
    EXPECT_GT(sim_->model.diag.onTimeS, 590.0);
}

// A client that waits for the path to appear must find it listening: the path is never created as a
// socket not yet listening, but moved into place over a stale one, and nothing else is left behind.
TEST(SimSocket, ThePathAppearsOnlyOnceItListens) {
    char dir[] = "/tmp/ecusim-listen-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/sim.sock";
    const int stale = ecusim::ListenUnixSocket(path);
    ASSERT_GE(stale, 0);
    ::close(stale); // its file stays behind

    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir, IN_CREATE | IN_MOVED_TO), 0);
    const int listener = ecusim::ListenUnixSocket(path);
    ASSERT_GE(listener, 0);
    std::set<std::string> created, movedIn;
    alignas(inotify_event) char events[4096];
    const ssize_t n = ::read(watch, events, sizeof events);
    for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(events + at);
        ((e->mask & IN_CREATE) != 0 ? created : movedIn).insert(e->len > 0 ? e->name : "");
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
    EXPECT_EQ(created.count("sim.sock"), 0U) << "never there before it listens";
    EXPECT_EQ(movedIn.count("sim.sock"), 1U);

    const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    EXPECT_EQ(::connect(client, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"sim.sock"});
    ::close(client);
    ::close(listener);
    ::close(watch);
    std::filesystem::remove_all(dir);
}

} // namespace
