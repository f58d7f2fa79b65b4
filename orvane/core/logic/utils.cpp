#include "orvane/core/logic/utils.h"

#include "platform/sys/textout.h"

#include <algorithm>
#include <cstring>

// ---- paths --------------------------------------------------------------------------------------------

namespace {

constexpr std::size_t kMaxExtension = 4;

const char* FileNameStart(const char* path) {
    const char* start = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/') start = p + 1;
    return start;
}

} // namespace

const char* GetFileExtension(const char* path) {
    const char* end = path + std::strlen(path);
    const char* dot = std::strrchr(FileNameStart(path), '.');
    if (dot != nullptr && static_cast<std::size_t>(end - (dot + 1)) <= kMaxExtension) return dot + 1;
    return end;
}

char* SetFileExtension(std::span<char> path, const char* ext) {
    const std::size_t len = strnlen(path.data(), path.size());
    if (len == path.size()) return nullptr; // no terminator: not a text
    if (len == 0) return path.data();
    const std::size_t extPos = static_cast<std::size_t>(GetFileExtension(path.data()) - path.data());
    const bool hasDot = extPos > 0 && path[extPos - 1] == '.';
    const std::size_t start = hasDot ? extPos : len + 1;
    const std::size_t extLen = std::strlen(ext);
    if (start + extLen >= path.size()) return nullptr;
    if (!hasDot) path[len] = '.';
    std::memcpy(path.data() + start, ext, extLen + 1);
    return path.data();
}

const char* SplitFileName(const char* path, std::span<char> name) {
    const char* start = FileNameStart(path);
    const char* ext = GetFileExtension(path);
    const char* stop = (ext > start && ext[-1] == '.') ? ext - 1 : ext;
    CopyText(std::string_view(start, static_cast<std::size_t>(stop - start)), name);
    return ext;
}

// ---- checksum -----------------------------------------------------------------------------------------

std::uint16_t GetChecksum(std::span<const std::uint8_t> data) {
    std::uint32_t sum = 0;
    for (std::size_t i = 2; i < data.size(); i += 2) {
        const std::uint32_t high = i + 1 < data.size() ? data[i + 1] : 0;
        sum += data[i] + 256 * high;
        sum = (sum >> 16) + (sum & 0xFFFF);
    }
    return static_cast<std::uint16_t>(~sum);
}

std::uint16_t GetChecksum(std::span<const std::byte> data) {
    return GetChecksum(std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()));
}

// ---- texts --------------------------------------------------------------------------------------------

void Padr(std::span<char> buf, int length, char fill) {
    if (buf.empty()) return;
    const std::size_t n = std::min(static_cast<std::size_t>(std::max(length, 0)), buf.size() - 1);
    const std::size_t cur = strnlen(buf.data(), n);
    std::fill(buf.begin() + static_cast<std::ptrdiff_t>(cur), buf.begin() + static_cast<std::ptrdiff_t>(n),
              fill);
    buf[n] = '\0';
}

void Byte2Bin(std::uint8_t value, std::span<char> text) {
    if (text.empty()) return;
    const std::size_t n = std::min<std::size_t>(8, text.size() - 1);
    for (std::size_t i = 0; i < n; ++i)
        text[i] = (value & (0x80 >> i)) != 0 ? '1' : '0';
    text[n] = '\0';
}

// ---- breakpoint search --------------------------------------------------------------------------------

namespace {

template <class E> std::uint16_t FirstEqual(std::uint16_t i, std::span<const E> axis) {
    while (i > 0 && axis[i - 1] == axis[i])
        --i;
    return i;
}

// Axis elements E compared as T, so that one search serves signed and unsigned axes.
template <class T, class E> void Search(std::uint16_t& lo, std::uint16_t& hi, T x, std::span<const E> axis) {
    const auto at = [&](int i) { return static_cast<T>(axis[static_cast<std::size_t>(i)]); };
    const auto hit = [&](int i) { lo = hi = FirstEqual(static_cast<std::uint16_t>(i), axis); };
    const int n = static_cast<int>(std::min<std::size_t>(axis.size(), UINT16_MAX));
    if (n == 0 || x <= at(0)) {
        lo = hi = 0;
        return;
    }
    if (x >= at(n - 1)) return hit(n - 1);
    if (n == 16 || n == 32) {
        int i = n / 2 - 1;
        for (int step = n / 4; step > 0; step /= 2) {
            if (x == at(i)) return hit(i);
            i += x < at(i) ? -step : step;
        }
        if (x == at(i)) return hit(i);
        lo = static_cast<std::uint16_t>(x < at(i) ? i - 1 : i);
        hi = static_cast<std::uint16_t>(lo + 1);
        return;
    }
    int l = 0;
    int h = n - 1;
    for (int width = n; width >= 2; width = h - l) {
        const int mid = l + width / 2;
        if (x == at(mid)) return hit(mid);
        (x > at(mid) ? l : h) = mid;
    }
    lo = static_cast<std::uint16_t>(l);
    hi = static_cast<std::uint16_t>(h);
}

} // namespace

std::uint16_t GetFirstEqual(std::uint16_t i, std::span<const std::int16_t> axis) {
    return i < axis.size() ? FirstEqual(i, axis) : i;
}

void SearchInterval_S16(std::uint16_t& lo, std::uint16_t& hi, std::int16_t x,
                        std::span<const std::int16_t> axis) {
    Search<std::int16_t>(lo, hi, x, axis);
}

void SearchInterval_U16(std::uint16_t& lo, std::uint16_t& hi, std::uint16_t x,
                        std::span<const std::uint16_t> axis) {
    Search<std::uint16_t>(lo, hi, x, axis);
}

void CercaIntervallo(std::uint16_t& lo, std::uint16_t& hi, std::int16_t x, std::span<const std::int16_t> axis,
                     std::uint8_t isSigned) {
    if (isSigned != 0)
        Search<std::int16_t>(lo, hi, x, axis);
    else
        Search<std::uint16_t>(lo, hi, static_cast<std::uint16_t>(x), axis);
}

// ---- interpolation ------------------------------------------------------------------------------------

namespace {

// Halves away from zero, as the ECU rounds.
std::int32_t RoundAway(float q) {
    return static_cast<std::int32_t>(q < 0 ? q - 0.5f : q + 0.5f);
}

// One bracketed axis: lower and upper breakpoint indexes and values.
struct Bracket {
    std::uint16_t lo = 0;
    std::uint16_t hi = 0;
    std::int32_t x0 = 0;
    std::int32_t x1 = 0;
};

Bracket BracketOn(std::int16_t x, std::span<const std::int16_t> axis) {
    Bracket b;
    SearchInterval_S16(b.lo, b.hi, x, axis);
    b.x0 = axis[b.lo];
    b.x1 = axis[b.hi];
    return b;
}

// a + the share of (b - a) that t covers of [t0, t1]; the rounded mean for an interval of no width.
std::int32_t Linear(std::int32_t a, std::int32_t b, std::int32_t t, std::int32_t t0, std::int32_t t1) {
    if (t1 == t0) return (a + b + 1) / 2;
    return a + RoundAway(static_cast<float>(std::int64_t{b - a} * (t - t0)) / static_cast<float>(t1 - t0));
}

} // namespace

std::uint16_t GetNearest_S16(std::int16_t x, std::span<const std::int16_t> axis) {
    if (axis.empty()) return 0;
    const Bracket b = BracketOn(x, axis);
    if (b.lo == b.hi) return b.lo;
    return x - b.x0 >= b.x1 - x ? b.hi : b.lo;
}

std::int16_t Interp1D(std::int16_t x, std::span<const std::int16_t> axis,
                      std::span<const std::int16_t> values) {
    axis = axis.first(std::min(axis.size(), values.size()));
    if (axis.empty()) return 0;
    const Bracket b = BracketOn(x, axis);
    const std::int32_t v0 = values[b.lo];
    const std::int32_t v1 = values[b.hi];
    if (b.lo == b.hi) return static_cast<std::int16_t>(v0);
    if (b.x1 == b.x0) return static_cast<std::int16_t>((v1 + v0 + 1) / 2);
    const double q = static_cast<double>(std::int64_t{v1 - v0} * (x - b.x0)) / (b.x1 - b.x0);
    return static_cast<std::int16_t>(v0 + static_cast<std::int32_t>(q + 0.5));
}

std::int16_t Interp2D(std::int16_t x, std::int16_t y, std::span<const std::int16_t> xAxis,
                      std::span<const std::int16_t> yAxis, std::span<const std::int16_t> table) {
    const std::size_t nx = xAxis.size();
    const std::size_t ny = yAxis.size();
    if (nx == 0 || ny == 0 || table.size() < nx * ny) return 0;
    const Bracket c = BracketOn(x, xAxis);
    const Bracket r = BracketOn(y, yAxis);
    const auto at = [&](std::uint16_t row, std::uint16_t col) -> std::int64_t {
        return table[row * nx + col];
    };
    const std::int64_t t00 = at(r.lo, c.lo);
    const std::int64_t t01 = at(r.lo, c.hi);
    const std::int64_t t10 = at(r.hi, c.lo);
    const std::int64_t t11 = at(r.hi, c.hi);
    std::int32_t v = 0;
    if (c.lo == c.hi && r.lo == r.hi) {
        v = static_cast<std::int32_t>(t00);
    } else if (c.lo == c.hi) {
        v = Linear(static_cast<std::int32_t>(t00), static_cast<std::int32_t>(t10), y, r.x0, r.x1);
    } else if (r.lo == r.hi) {
        v = Linear(static_cast<std::int32_t>(t00), static_cast<std::int32_t>(t01), x, c.x0, c.x1);
    } else {
        const std::int64_t dx = c.x1 - c.x0;
        const std::int64_t dy = r.x1 - r.x0;
        if (dx == 0 && dy == 0) {
            const std::int64_t sum = t00 + t01 + t10 + t11;
            v = static_cast<std::int32_t>(sum >= 0 ? (sum + 2) / 4 : (sum - 2) / 4);
        } else {
            // An interval of no width weighs both of its ends equally.
            const std::int64_t wx0 = dx == 0 ? 1 : c.x1 - x;
            const std::int64_t wx1 = dx == 0 ? 1 : x - c.x0;
            const std::int64_t wy0 = dy == 0 ? 1 : r.x1 - y;
            const std::int64_t wy1 = dy == 0 ? 1 : y - r.x0;
            const std::int64_t num = (t00 * wx0 + t01 * wx1) * wy0 + (t10 * wx0 + t11 * wx1) * wy1;
            const std::int64_t den = (dx == 0 ? 2 : dx) * (dy == 0 ? 2 : dy);
            v = RoundAway(static_cast<float>(num) / static_cast<float>(den));
        }
    }
    return static_cast<std::int16_t>(v);
}

std::int16_t Interp3D(std::int16_t x, std::int16_t y, std::int16_t z, std::span<const std::int16_t> xAxis,
                      std::span<const std::int16_t> yAxis, std::span<const std::int16_t> zAxis,
                      std::span<const std::int16_t> table) {
    const std::size_t nx = xAxis.size();
    const std::size_t ny = yAxis.size();
    const std::size_t nz = zAxis.size();
    if (nx == 0 || ny == 0 || nz == 0 || table.size() < nx * ny * nz) return 0;
    struct Weights {
        std::uint16_t idx[2];
        std::int64_t w[2];
        std::int64_t width;
    };
    const auto weigh = [](std::int16_t v, std::span<const std::int16_t> axis) {
        const Bracket b = BracketOn(v, axis);
        if (b.x1 == b.x0) return Weights{{b.lo, b.hi}, {1, 1}, 2};
        return Weights{{b.lo, b.hi}, {b.x1 - v, v - b.x0}, b.x1 - b.x0};
    };
    const Weights wx = weigh(x, xAxis);
    const Weights wy = weigh(y, yAxis);
    const Weights wz = weigh(z, zAxis);
    std::int64_t sum = 0;
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                sum += table[wz.idx[k] * nx * ny + wy.idx[j] * nx + wx.idx[i]] * wx.w[i] * wy.w[j] * wz.w[k];
    return static_cast<std::int16_t>(
        RoundAway(static_cast<float>(sum) / static_cast<float>(wx.width * wy.width * wz.width)));
}
