// A whole programming run of the sample image (tag "DrvlnTmk", 40000 image bytes: 159 blocks) through
// Kestil's own code:
// - paced: against the simulator on a socket holding every byte for its wire time at 312500 baud, 8N2
//   (11 bits a byte); the counter wire_s is the wire time of every byte of the run both ways (the
//   simulated erase takes no time, so no erase wait is in either figure) and overhead_pct how much longer
//   the run took;
// - unpaced: against the in-process simulator; s_per_block is the program's own cost per block (the
//   window's progress and event pumping included).
#include "ecusim/firmware.h"
#include "kestil/bload.h"
#include "kestil/program.h"
#include "kestil/screen.h"
#include "kestil/window.h"
#include "platform/ui/userint.h"
#include "simlink.h"
#include "simthread.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sys/prctl.h>

namespace {

constexpr double kByteSeconds = 11.0 / 312500.0;

// The sample firmware file in /tmp for as long as the object lives.
struct SampleFile {
    SampleFile() {
        const std::vector<std::uint8_t> file = ecusim::MakeFirmwareFile(
            "DrvlnTmk", ecusim::MakeFirmwareImage({"BENCH", 1, 0, "", "", ""}, ecusim::kSampleImageSize));
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        copySize = file.size() - 548;
    }
    ~SampleFile() { std::remove(path.c_str()); }
    std::string path = "/tmp/kestil-bench-" + std::to_string(getpid()) + ".kbf";
    std::size_t copySize = 0; // what is sent: tag and image
};

// Bytes on the wire in both directions for one run of a copy: ping (new form) and system type, seven
// erases, the numbered blocks, the end frame; every reply has a 4-byte header.
double WireSeconds(std::size_t copySize) {
    const std::size_t blocks = (copySize + kBlockData - 1) / kBlockData;
    std::size_t bytes = (6 + 4) + (5 + 6) + 7 * (5 + 4) + (6 + 4);
    bytes += copySize + blocks * (6 + 4);
    return static_cast<double>(bytes) * kByteSeconds;
}

void LoadWindow() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (hMainPanel > 0) return;
    RegisterResource("screen.uir", kScreenUir);
    RegisterScreenCallbacks();
    hMainPanel = LoadPanel(0, "screen.uir", KESTIL::id);
}

bool Connect() {
    ResetPingForm();
    return (Ping() || Ping()) && CheckBloadInfo();
}

void BM_ProgramSampleImage(benchmark::State& state) {
    LoadWindow();
    const SampleFile sample;
    const bool paced = state.range(0) != 0;
    std::unique_ptr<SimThread> server;
    ecusim::EcuSim local;
    if (paced) {
        // The simulator's byte clock sleeps to each byte's time: the default timer slack (50 us a sleep)
        // would be counted against the program.
        prctl(PR_SET_TIMERSLACK, 1UL);
        server = std::make_unique<SimThread>(true, "kestil");
        server->Attach();
    } else {
        AttachComLink(std::make_unique<SimLink>(local));
    }
    if (!Connect()) {
        state.SkipWithError("no boot loader");
        return;
    }
    fProgramming = true; // as the button sets it: the window's timer stays out of the run
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (SendFirmware(sample.path.c_str()) != 0) {
            state.SkipWithError("the run failed");
            break;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double blocks = static_cast<double>((sample.copySize + kBlockData - 1) / kBlockData);
    if (paced) {
        const double wire = WireSeconds(sample.copySize);
        state.counters["wire_s"] = wire;
        state.counters["overhead_pct"] =
            100.0 * (seconds / static_cast<double>(state.iterations()) / wire - 1.0);
    } else {
        state.counters["s_per_block"] = benchmark::Counter(
            blocks, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }
    fProgramming = false;
    CloseComPort();
}

BENCHMARK(BM_ProgramSampleImage)->Apply(PacedAndUnpaced);

} // namespace
