// Data sets: byte order of a whole mapping image, and Receive / Send of a whole mapping data set through
// the program's own link code (socket link, frames, block transfers) against the simulator program, with
// and without its wire pacing. The wire limit is every frame byte, both ways, at 11 bits per byte and
// 312500 baud.
#include "orvane/core/byteorder.h"
#include "orvane/core/com.h"
#include "orvane/core/transfer.h"
#include "platform/sys/bytelink.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// The progress bar pumps the user interface: no display is needed for that.
const bool kHeadless = setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0;

constexpr double kWireSecondsPerByte = 11.0 / 312500.0;

void BM_ConvertMapImage(benchmark::State& state) {
    auto image = std::make_unique<EcuMapImage>();
    for (auto _ : state) {
        ConvertMapImage(*image);
        benchmark::DoNotOptimize(image.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * sizeof(EcuMapImage));
}
BENCHMARK(BM_ConvertMapImage);

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

// bytes: the link bytes of one run.
void ReportTransfer(benchmark::State& state, std::uint64_t bytes, double perRun) {
    const double wire = static_cast<double>(bytes) * kWireSecondsPerByte;
    constexpr double kBlocks = (zzzDimMapBuf + 254) / 255;
    state.counters["wire_limit_s"] = wire;
    state.counters["measured_s"] = perRun;
    state.counters["vs_wire_limit"] = perRun / wire;
    state.counters["blocks_per_s"] = kBlocks / perRun;
}

void TransferMap(benchmark::State& state, bool (*transfer)(std::uint16_t)) {
    const bool paced = state.range(0) != 0;
    Simulator sim(paced);
    CountingLink* link = sim.Connect();
    if (link == nullptr) {
        state.SkipWithError("the simulator does not answer");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        link->bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        if (!transfer(AREA_MAP_SLOT1)) {
            state.SkipWithError("the transfer failed");
            break;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (state.iterations() > 0)
        ReportTransfer(state, link->bytes, seconds / static_cast<double>(state.iterations()));
    CloseComPort();
}

void BM_ReceiveMap(benchmark::State& state) {
    TransferMap(state, &RequestEcu);
}
void BM_SendMap(benchmark::State& state) {
    TransferMap(state, &SendEcu);
}

BENCHMARK(BM_ReceiveMap)
    ->ArgName("paced")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
BENCHMARK(BM_SendMap)
    ->ArgName("paced")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace
