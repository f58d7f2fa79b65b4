// The diagnostic log: command 0x10 resets what its action code names and returns the log (92 bytes),
// command 0x11 applies a parameter write or toggle and returns every parameter (148 bytes), command 0x13
// checks or changes the diagnostics password. Reset actions and limits that touch the service record are
// refused until the password was given.
#include "ecusim/commands.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ecusim {

namespace {

constexpr std::size_t kStatusSize = 92;
constexpr std::size_t kParamSize = 148;
// The distance limit counts tens of kilometres (the page shows it x10 under "Distance [km]"), the
// distance metres.
constexpr double kMetresPerLimitUnit = 10000.0;

// Bit of channel i in the pair of flag bytes: throttle..manifold are bits 4..0 of the first byte,
// aux1..battery bits 7..4 of the second.
std::pair<std::size_t, std::uint8_t> ChannelBit(std::size_t i) {
    return i < 5 ? std::pair<std::size_t, std::uint8_t>{0, static_cast<std::uint8_t>(0x10 >> i)}
                 : std::pair<std::size_t, std::uint8_t>{1, static_cast<std::uint8_t>(0x80 >> (i - 5))};
}

std::array<std::uint8_t, 2> ChannelBytes(std::uint16_t mask) {
    std::array<std::uint8_t, 2> bytes{};
    for (std::size_t i = 0; i < kDiagChannels; ++i) {
        const auto [byte, bit] = ChannelBit(i);
        if (mask & 1u << i) bytes[byte] = static_cast<std::uint8_t>(bytes[byte] | bit);
    }
    return bytes;
}

// Physical value at both ends of each channel's A/D range (x10, pressures x1).
struct ChannelScale {
    double atZero, atFull;
};
constexpr ChannelScale kScales[kDiagChannels] = {
    {0, 1000},    // throttle, 0.1 %
    {1500, -400}, // water, 0.1 degC (NTC: the reading falls as it warms)
    {1500, -400}, // air
    {0, 1200},    // barometric, mbar
    {0, 1200},    // manifold, mbar
    {0, 50},      // aux1, 0.1 V
    {0, 50},      // aux2
    {0, 2550},    // stepper, 0.1 step
    {0, 200},     // battery, 0.1 V
};

std::uint16_t Physical(std::size_t channel, std::uint16_t ad) {
    const ChannelScale s = kScales[channel];
    return static_cast<std::uint16_t>(std::lround(s.atZero + (s.atFull - s.atZero) * ad / 1023.0));
}

std::uint32_t Seconds(double s) {
    return static_cast<std::uint32_t>(std::min(s, 4294967295.0));
}

std::vector<std::uint8_t> EncodeStatus(const DiagLog& d) {
    std::vector<std::uint8_t> r(kStatusSize);
    PutBE32(&r[0], Seconds(d.onTimeS));
    PutBE32(&r[4], Seconds(d.timeOverRpmS));
    PutBE32(&r[8], Seconds(d.timeOverThrottleS));
    PutBE32(&r[12], Seconds(d.distM));
    PutBE16(&r[16], d.maxValRpm);
    PutBE16(&r[18], d.cntOverRev);
    PutBE16(&r[20], d.distLimit != 0 && d.distM >= d.distLimit * kMetresPerLimitUnit ? 1 : 0);
    PutBE32(&r[24], Seconds(d.onTimeUserS));
    PutBE32(&r[28], Seconds(d.distUserM));
    PutBE32(&r[32], Seconds(d.fuelConsMl));
    PutBE32(&r[36], Seconds(std::max(0.0, d.fuelLoadMl - d.fuelUsedMl))); // an empty tank holds nothing
    for (std::size_t i = 0; i < 2; ++i)
        PutBE16(&r[40 + 2 * i], d.trigErr[i]);
    for (std::size_t i = 0; i < 4; ++i)
        PutBE16(&r[44 + 2 * i], d.injErr[i]);
    const std::uint16_t counters[] = {d.velWheelErr,   d.cntStop,    d.cntStarterIn, d.cntShiftSet,
                                      d.cntDropSwitch, d.cntNeutral, d.cntChangeMap, d.cntCodeLoad};
    for (std::size_t i = 0; i < std::size(counters); ++i)
        PutBE16(&r[52 + 2 * i], counters[i]);
    for (std::size_t i = 0; i < kDiagChannels; ++i)
        PutBE16(&r[70 + 2 * i], d.chanErr[i]);
    const auto flags = ChannelBytes(d.chanErrMask & static_cast<std::uint16_t>(~d.chanOffMask));
    r[88] = flags[0];
    r[89] = flags[1];
    return r;
}

std::vector<std::uint8_t> EncodeParams(const DiagLog& d) {
    std::vector<std::uint8_t> r(kParamSize);
    PutBE16(&r[0], d.kFlowCorrL);
    PutBE16(&r[2], d.kFlowCorrH);
    PutBE32(&r[4], d.fuelLoadMl);
    PutBE16(&r[8], d.rpmLimit);
    PutBE16(&r[10], d.throttleLimit);
    PutBE32(&r[12], d.distLimit);
    PutBE16(&r[16], d.velWheelLimit);
    for (std::size_t i = 0; i < kDiagChannels; ++i) {
        PutBE16(&r[18 + 2 * i], d.maxErr[i]);
        PutBE16(&r[36 + 2 * i], d.adMin[i]);
        PutBE16(&r[54 + 2 * i], Physical(i, d.adMin[i]));
        PutBE16(&r[72 + 2 * i], d.adMax[i]);
        PutBE16(&r[90 + 2 * i], Physical(i, d.adMax[i]));
        PutBE16(&r[108 + 2 * i], d.adRecov[i]);
        PutBE16(&r[126 + 2 * i], Physical(i, d.adRecov[i]));
    }
    const auto off = ChannelBytes(d.chanOffMask);
    r[144] = off[0];
    r[145] = static_cast<std::uint8_t>(off[1] | (d.autoReset ? 1 : 0));
    return r;
}

// Reset actions 4..8 and 18 touch the service record: they need the password.
bool IsGuardedReset(std::uint8_t code) {
    return (code >= 4 && code <= 8) || code == 18;
}

void Reset(DiagLog& d, std::uint8_t code) {
    if (code >= 27 && code < 27 + kDiagChannels) {
        d.chanErr[code - 27] = 0;
        d.chanErrMask = static_cast<std::uint16_t>(d.chanErrMask & ~(1u << (code - 27)));
        return;
    }
    if (code >= 12 && code <= 13) d.trigErr[code - 12] = 0;
    if (code >= 14 && code <= 17) d.injErr[code - 14] = 0;
    std::uint16_t* counters[] = {&d.cntStop,    &d.cntStarterIn, &d.cntShiftSet, &d.cntDropSwitch,
                                 &d.cntNeutral, &d.cntChangeMap, &d.cntCodeLoad};
    if (code >= 19 && code <= 25) *counters[code - 19] = 0;
    switch (code) {
    case 1:
        d.trigErr = {};
        d.injErr = {};
        d.velWheelErr = 0;
        d.chanErr = {};
        d.chanErrMask = 0;
        break;
    case 2:
        d.fuelConsMl = 0;
        break;
    case 3:
        d.fuelUsedMl = 0; // refilled: the remaining fuel is the load again
        break;
    case 4:
        d.onTimeS = 0;
        break;
    case 5:
        d.timeOverRpmS = 0;
        break;
    case 6:
        d.timeOverThrottleS = 0;
        break;
    case 7:
        d.distM = 0;
        break;
    case 8:
        d.maxValRpm = 0;
        break;
    case 9:
        d.cntOverRev = 0;
        break;
    case 10:
        d.onTimeUserS = 0;
        break;
    case 11:
        d.distUserM = 0;
        break;
    case 18:
        d.velWheelErr = 0;
        break;
    default:
        break;
    }
}

// Limits (codes 5, 6, 7, 18) need the password; the others are open.
void ApplyParam(DiagLog& d, std::uint8_t code, std::uint8_t sub, std::uint32_t value) {
    const auto v16 = static_cast<std::uint16_t>(std::min<std::uint32_t>(value, 0xFFFF));
    if (code >= 27 && code < 27 + kDiagChannels) {
        const std::size_t i = code - 27u;
        const auto ad = static_cast<std::uint16_t>(std::min<std::uint32_t>(value, 1023));
        switch (sub) {
        case 1:
            d.chanOffMask = static_cast<std::uint16_t>(d.chanOffMask ^ (1u << i));
            break;
        case 2:
            d.maxErr[i] = v16;
            break;
        case 3:
            d.adMin[i] = ad;
            break;
        case 4:
            d.adMax[i] = ad;
            break;
        case 5:
            d.adRecov[i] = ad;
            break;
        default:
            break;
        }
        return;
    }
    const bool guarded = code == 5 || code == 6 || code == 7 || code == 18;
    if (guarded && !d.access) return;
    if (code == 1 && sub == 1) d.autoReset = !d.autoReset;
    if (sub != 0) return;
    switch (code) {
    case 2:
        d.kFlowCorrL = static_cast<std::uint16_t>(value >> 16);
        d.kFlowCorrH = static_cast<std::uint16_t>(value);
        break;
    case 3:
        d.fuelLoadMl = std::min<std::uint32_t>(value, 2147483647u);
        d.fuelUsedMl = 0;
        break;
    case 5:
        d.rpmLimit = v16;
        break;
    case 6:
        d.throttleLimit = v16;
        break;
    case 7:
        d.distLimit = value;
        break;
    case 18:
        d.velWheelLimit = v16;
        break;
    default:
        break;
    }
}

} // namespace

DiagLog MakeDiagLog(const char* password) {
    DiagLog d;
    d.maxErr.fill(10);
    d.adMin.fill(20);
    d.adMax.fill(1000);
    d.adRecov.fill(512);
    std::memcpy(d.password.data(), password, std::min(std::strlen(password), kDiagPasswordSize));
    d.access = std::ranges::all_of(d.password, [](std::uint8_t c) { return c == 0; });
    return d;
}

// Request: the reset action code (0: none). Reply: the log.
Reply ReadDiagStatus(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 1) return std::nullopt;
    DiagLog& d = model.diag;
    if (!IsGuardedReset(request[0]) || d.access) Reset(d, request[0]);
    return EncodeStatus(d);
}

// Request: u32 value (big-endian), code, sub. Reply: every parameter, the request applied.
Reply ExchangeDiagParam(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 6) return std::nullopt;
    ApplyParam(model.diag, request[4], request[5], GetBE32(request.data()));
    return EncodeParams(model.diag);
}

// Request: mode (1 check, 0 set), 8 password bytes. Reply: 1 granted or stored, 0 refused. A failed check
// withdraws access; a new password is taken only while access stands.
Reply DiagPassword(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 1 + kDiagPasswordSize || request[0] > 1) return std::nullopt;
    DiagLog& d = model.diag;
    const std::span<const std::uint8_t> typed = request.subspan(1);
    if (request[0] == 1) {
        d.access = std::ranges::equal(typed, d.password);
        return std::vector<std::uint8_t>{d.access ? std::uint8_t{1} : std::uint8_t{0}};
    }
    if (!d.access) return std::vector<std::uint8_t>{0};
    std::ranges::copy(typed, d.password.begin());
    return std::vector<std::uint8_t>{1};
}

} // namespace ecusim
