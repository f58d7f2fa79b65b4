// The simulator program on a socket of its own as the program's link, with every link byte counted: the
// transfer benchmarks compare their time with the wire time of those bytes (11 bits a byte at 312500
// baud, both ways).
#pragma once

#include "orvane/core/logic/com.h"
#include "platform/sys/bytelink.h"

#include <chrono>
#include <csignal>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

inline constexpr double kWireSecondsPerByte = 11.0 / 312500.0;

// Counts the bytes that cross the link both ways.
struct CountingLink : ByteLink {
    explicit CountingLink(std::unique_ptr<ByteLink> inner) : link(std::move(inner)) {}
    std::unique_ptr<ByteLink> link;
    std::uint64_t bytes = 0;

    int Write(std::span<const std::uint8_t> data) override { return Count(link->Write(data)); }
    int Read(std::span<std::uint8_t> data) override { return Count(link->Read(data)); }
    bool PurgeRx() override { return link->PurgeRx(); }
    bool PurgeTx() override { return link->PurgeTx(); }
    int Count(int n) {
        if (n > 0) bytes += static_cast<std::uint64_t>(n);
        return n;
    }
};

// The simulator program on a socket of its own, for as long as the object lives.
class Simulator {
  public:
    explicit Simulator(bool paced)
        : path_("/tmp/orvane-bench-" + std::to_string(getpid()) + (paced ? "-paced" : "") + ".sock") {
        std::string program = ORVANE_ECUSIM_PATH;
        std::vector<std::string> args{program, "--socket", path_};
        if (paced) args.emplace_back("--pace");
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
    }
    ~Simulator() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    // Attaches a counting link to the simulator as the program's link; nullptr when it does not answer.
    CountingLink* Connect() const {
        for (int attempt = 0; pid_ > 0 && attempt < 100; ++attempt) {
            if (auto socket = OpenSocketLink(path_.c_str(), 500)) {
                auto counting = std::make_unique<CountingLink>(std::move(socket));
                CountingLink* raw = counting.get();
                AttachComLink(std::move(counting));
                return raw;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return nullptr;
    }

  private:
    std::string path_;
    pid_t pid_ = -1;
};
