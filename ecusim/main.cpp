// ecusim: a simulated ECU on the socket where the program looks for the USB adapter.
#include "ecusim/server.h"
#include "platform/sys/bytelink.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

std::atomic<bool> stopRequested{false};

void RequestStop(int) {
    stopRequested = true;
}

constexpr char kUsage[] = "Usage: ecusim [options]\n"
                          "Serves a simulated ECU where the program looks for the USB adapter.\n"
                          "  --socket PATH   listen at PATH (default: %s)\n"
                          "  --password TEXT lock the ECU with a password of up to 15 characters\n"
                          "  --pace          hold every byte for its wire time at 312500 baud, 8N2\n"
                          "  --short-acks    acknowledge only part of a written block now and then\n"
                          "  --throttle LIST the throttle sensors read these openings (%%, comma-separated)\n"
                          "                  in turn, each for four readings: 0,100 walks a calibration\n"
                          "  --open-channel LIST  the sensors of these diagnosed channels (comma-separated:\n"
                          "                  throttle, water, air, baro, manifold, aux1, aux2, step,\n"
                          "                  battery) are disconnected: each reads 0 and counts an error\n"
                          "                  a second\n"
                          "  --diag-password TEXT  the diagnostics password, up to 8 characters\n"
                          "                  (default \"service\"; \"\" leaves the diagnostics open)\n"
                          "  --flaky N       lose every N-th poll reply, break the checksum of the next\n"
                          "                  N-th, and so on by turns\n"
                          "  --flaky-transfers N  break the checksum of every N-th reply to a block\n"
                          "                  transfer (Send, Receive, CO-correction maps), lose the next\n"
                          "                  N-th, and so on by turns\n"
                          "  --log           write every frame seen and answered to stderr\n"
                          "  --boot-type T   system type of the boot loader: 5600 (default) or 5534\n"
                          "  --boot-old-ping the boot loader answers only the old, bare ping\n"
                          "  --help          show this text\n";

// "0,100" -> {0, 100}; false unless every item is an opening from 0 to 100.
bool ParseOpenings(const char* text, std::vector<double>& openings) {
    openings.clear();
    for (const char* p = text;; ++p) {
        char* end = nullptr;
        const double pct = std::strtod(p, &end);
        if (end == p || pct < 0.0 || pct > 100.0) return false;
        openings.push_back(pct);
        p = end;
        if (*p == '\0') return true;
        if (*p != ',') return false;
    }
}

// "12" -> 12; false unless the whole text is a whole number that fits (0 is "never").
bool ParseCount(const char* text, unsigned& count) {
    char* end = nullptr;
    errno = 0;
    const unsigned long n = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || *text == '-' || errno == ERANGE || n > UINT32_MAX) return false;
    count = static_cast<unsigned>(n);
    return true;
}

// "aux2,water" -> the bits of those channels; false unless every item names a diagnosed channel.
bool ParseChannels(const char* text, std::uint16_t& mask) {
    mask = 0;
    for (std::string_view rest = text;;) {
        const std::size_t comma = rest.find(',');
        const auto* channel = std::ranges::find(ecusim::kDiagChannelNames, rest.substr(0, comma),
                                                [](const char* name) { return std::string_view(name); });
        if (channel == std::end(ecusim::kDiagChannelNames)) return false;
        mask = static_cast<std::uint16_t>(mask | 1u << (channel - std::begin(ecusim::kDiagChannelNames)));
        if (comma == std::string_view::npos) return true;
        rest.remove_prefix(comma + 1);
    }
}

// The options that take a value, the argument after them.
constexpr std::string_view kValueOptions[] = {"--socket",          "--password",      "--throttle",
                                              "--open-channel",    "--diag-password", "--flaky",
                                              "--flaky-transfers", "--boot-type"};

// Says what was wrong with the command line, then how to use it; the exit status of a bad command line.
int Refuse(const std::string& what) {
    std::fprintf(stderr, "ecusim: %s\n", what.c_str());
    std::fprintf(stderr, kUsage, SimulatorSocketPath().c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string path = SimulatorSocketPath();
    ecusim::EcuOptions ecu;
    ecu.clock = ecusim::SteadyClockS; // the engine runs in real time
    ecusim::ServeOptions serve;
    bool log = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = std::ranges::find(kValueOptions, arg) != std::end(kValueOptions);
        if (takesValue && i + 1 == argc) return Refuse(arg + " needs a value");
        const char* value = takesValue ? argv[++i] : "";
        bool good = true;
        if (arg == "--socket") {
            path = value;
        } else if (arg == "--password") {
            ecu.password = value;
        } else if (arg == "--pace") {
            serve.pace = true;
        } else if (arg == "--short-acks") {
            ecu.shortAcks = true;
        } else if (arg == "--throttle") {
            good = ParseOpenings(value, ecu.throttleSteps);
        } else if (arg == "--open-channel") {
            good = ParseChannels(value, ecu.openChannels);
        } else if (arg == "--diag-password") {
            ecu.diagPassword = value;
        } else if (arg == "--flaky") {
            good = ParseCount(value, ecu.flaky);
        } else if (arg == "--flaky-transfers") {
            good = ParseCount(value, ecu.flakyTransfers);
        } else if (arg == "--log") {
            log = true;
        } else if (arg == "--boot-type") {
            good = std::string_view(value) == "5600" || std::string_view(value) == "5534";
            if (good) ecu.bootType = static_cast<std::uint16_t>(std::stoul(value, nullptr, 16));
        } else if (arg == "--boot-old-ping") {
            ecu.bootOldPing = true;
        } else if (arg == "--help") {
            std::printf(kUsage, SimulatorSocketPath().c_str());
            return 0;
        } else {
            return Refuse("unknown option " + arg);
        }
        if (!good) return Refuse("bad value for " + arg + ": " + value);
    }
    if (ecu.password.size() > ecusim::kPasswordSize) {
        std::fprintf(stderr, "ecusim: the password has at most %zu characters\n", ecusim::kPasswordSize);
        return 2;
    }

    if (ecu.diagPassword.size() > ecusim::kDiagPasswordSize) {
        std::fprintf(stderr, "ecusim: the diagnostics password has at most %zu characters\n",
                     ecusim::kDiagPasswordSize);
        return 2;
    }

    struct sigaction action {};
    action.sa_handler = RequestStop; // no SA_RESTART: a waiting poll returns and sees the request
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const int listenFd = ecusim::ListenUnixSocket(path);
    if (listenFd < 0) {
        std::fprintf(stderr, "ecusim: cannot listen at %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    std::fprintf(stderr, "ecusim: listening at %s\n", path.c_str());
    ecusim::EcuSim sim(ecu);
    if (log) sim.log = stderr;
    serve.stop = &stopRequested;
    ecusim::ServeClients(listenFd, sim, serve);
    ::close(listenFd);
    ::unlink(path.c_str());
    return 0;
}
