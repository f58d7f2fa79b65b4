// Start-up of the program: time from process start to the main window shown, and the whole-program
// fill and read-back of every page. Each run starts a fresh process (this program with --child); the
// figures are the medians of the runs.
#include "orvane/config/config.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// The median time of 21 runs of step, in milliseconds.
template <class Step> double MedianMs(Step step) {
    std::vector<double> times;
    for (int i = 0; i < 21; ++i) {
        const Clock::time_point t0 = Clock::now();
        step();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return Median(times);
}

// In the child: start the program, show the main window, then time scatter + gather of all pages.
int Child() {
    RegisterResource("screen.uir", kScreenUir);
    RegisterScreenCallbacks();
    if (!StartOrvane()) return 1;
    SuspendTimerCallbacks();
    DisplayPanel(hMainPanel);
    ProcessDrawEvents();
    const long long shown = NowNs();
    const double fill = MedianMs([] {
        ScatterAllPanels();
        GatherAllPanels();
    });
    // A commit callback of configuration page 1: its gather and scatter again.
    const double refresh = MedianMs([] {
        GatherCg1Panel();
        ScatterCg1Panel();
    });
    std::printf("%lld %f %f\n", shown, fill, refresh);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) return Child();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<double> starts, fills, refreshes;
    for (int run = 0; run < 7; ++run) {
        int out[2];
        if (pipe(out) != 0) return 1;
        const long long t0 = NowNs();
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            execl("/proc/self/exe", argv[0], "--child", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        char line[128] = "";
        const ssize_t n = read(out[0], line, sizeof line - 1);
        close(out[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        long long shown = 0;
        double fill = 0, refresh = 0;
        if (n <= 0 || std::sscanf(line, "%lld %lf %lf", &shown, &fill, &refresh) != 3) {
            std::fprintf(stderr, "run %d failed\n", run);
            return 1;
        }
        starts.push_back(static_cast<double>(shown - t0) / 1e6);
        fills.push_back(fill);
        refreshes.push_back(refresh);
    }
    std::printf("main window shown after start: median %.1f ms (target < 150 ms)\n", Median(starts));
    std::printf("ScatterAllPanels + GatherAllPanels: median %.3f ms (target < 16 ms)\n", Median(fills));
    std::printf("configuration page 1 commit (gather + scatter): median %.3f ms (target < 16 ms)\n",
                Median(refreshes));
    return 0;
}
