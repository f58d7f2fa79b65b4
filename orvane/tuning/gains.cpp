#include "orvane/tuning/gains.h"

#include "platform/sys/utility.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

MtInternLimits mtInternLimits = kDefaultMtIntern;
LambdaGains curLambdaGains{};

namespace {

constexpr std::size_t kMaxLine = 200;

std::int32_t GainOf(double x) {
    const double raw = std::trunc(x * 10000 >= 0 ? x * 10000 + 0.5 : x * 10000 - 0.5);
    return static_cast<std::int32_t>(std::clamp(raw, double{std::numeric_limits<std::int32_t>::min()},
                                                double{std::numeric_limits<std::int32_t>::max()}));
}

// 0 or less gives low, above 65535 gives 65535, else to the nearest whole.
std::uint16_t U16Of(double x, std::uint16_t low) {
    if (!(x > 0)) return low;
    if (x > 65535) return 65535;
    return static_cast<std::uint16_t>(x + 0.5);
}

int PairPosition(double from, double to, double value, int n) {
    const auto span = static_cast<std::int64_t>(to) - static_cast<std::int64_t>(from);
    // Gains far outside the range are held to a position far outside 0..n before they become an int.
    const double position = ((value - from) * n + static_cast<double>(span / 2)) / span;
    return static_cast<int>(std::trunc(std::clamp(position, -1e6, 1e6)));
}

double Interpolate(double from, double to, int m, int n) {
    return std::trunc(((to - from) * m + n / 2) / n + from);
}

} // namespace

bool ParseMtInternLine(std::string_view line, int index, MtInternLimits& limits) {
    const std::string text(line);
    if (index == 3) {
        limits.lambdaModes = U16Of(std::atof(text.c_str()), 1);
        return true;
    }
    const std::size_t sep = text.find(';');
    if (sep == std::string::npos || index < 0 || index > 3) return false;
    const std::string first = text.substr(0, sep);
    char* end = nullptr;
    errno = 0;
    const double a = std::strtod(first.c_str(), &end);
    // A first value that is missing, out of range or followed by anything but the separator is malformed.
    if (errno != 0 || end == first.c_str() || *end != '\0') return false;
    const double b = std::atof(text.c_str() + sep + 1);
    if (index == 0) {
        limits.kpFrom = GainOf(a);
        limits.kpTo = GainOf(b);
    } else if (index == 1) {
        limits.kiFrom = GainOf(a);
        limits.kiTo = GainOf(b);
    } else {
        limits.stepFrom = U16Of(a * 1000, 0);
        limits.stepTo = U16Of(b * 1000, 0);
    }
    return true;
}

bool ReadMtInternFile() {
    mtInternLimits = kDefaultMtIntern;
    const int file = OpenFile(kMtInternFile);
    if (file < 0) return false;
    std::array<char, kMaxLine + 1> line{};
    int index = 0;
    while (index < 4) {
        const int n = ReadLine(file, line);
        if (n < 0) break;
        if (n == 0 || line[0] == '#') continue;
        if (ParseMtInternLine(std::string_view(line.data(), static_cast<std::size_t>(n)), index,
                              mtInternLimits))
            ++index;
    }
    return CloseFile(file) >= 0;
}

void SelectLambdaMode(int position) {
    curLambdaGains = LambdaGainsAt(mtInternLimits, position);
}

LambdaGains LambdaGainsAt(const MtInternLimits& limits, int position) {
    const int n = std::max<int>(limits.lambdaModes, 1);
    const int m = std::clamp(position, 0, n);
    return {static_cast<std::int32_t>(Interpolate(limits.kpFrom, limits.kpTo, m, n)),
            static_cast<std::int32_t>(Interpolate(limits.kiFrom, limits.kiTo, m, n)),
            static_cast<std::uint16_t>(Interpolate(limits.stepFrom, limits.stepTo, m, n))};
}

int LambdaModeOfGains(const MtInternLimits& limits, const LambdaGains& gains) {
    const int n = std::max<int>(limits.lambdaModes, 1);
    const std::array<std::array<double, 3>, 3> pairs{
        {{double(limits.kpFrom), double(limits.kpTo), double(gains.kp)},
         {double(limits.kiFrom), double(limits.kiTo), double(gains.ki)},
         {double(limits.stepFrom), double(limits.stepTo), double(gains.step)}}};
    int sum = 0;
    int counted = 0;
    for (const auto& [from, to, value] : pairs) {
        if (from == to) continue;
        sum += PairPosition(from, to, value, n);
        ++counted;
    }
    return counted == 0 ? 0 : std::clamp(sum / counted, 0, n);
}
