// The program clock.
#include "platform/sys/utility.h"

#include <chrono>

double Timer() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    return std::chrono::duration<double>(Clock::now() - start).count();
}
