#include "orvane/tuning/mtrecords.h"

#include "orvane/core/logic/byteorder.h"

#include <cstring>

namespace {

using enum FieldWidth;

// The settings record: the 40 mask words and both gains are 32-bit, the four single bytes stay.
constexpr FieldRun kSettingsFields[] = {
    {offsetof(MTSETTINGS, trackA), offsetof(MTSETTINGS, rpmMargin), Long},
    {offsetof(MTSETTINGS, rpmMargin), offsetof(MTSETTINGS, flags) - offsetof(MTSETTINGS, rpmMargin), Word},
    {offsetof(MTSETTINGS, flags), 2, Bytes},
    {offsetof(MTSETTINGS, kp), 8, Long},
    {offsetof(MTSETTINGS, step), 2, Word},
    {offsetof(MTSETTINGS, singleMul), 2, Bytes},
    {offsetof(MTSETTINGS, tolRpm), 8, Word},
};

constexpr FieldRun kManualFields[] = {{0, 4, Bytes}, {4, 8, Word}};
constexpr FieldRun kFreezeFields[] = {{0, 2, Word}, {2, 4, Bytes}};
constexpr FieldRun kAdjustFields[] = {{0, 2, Word}, {2, 2, Bytes}};

// A host-order record copied out and turned to link order.
template <typename Record, std::size_t N>
void EncodeRecord(const Record& r, std::span<std::uint8_t, N> out, std::span<const FieldRun> runs) {
    static_assert(sizeof(Record) == N);
    std::memcpy(out.data(), &r, N);
    SwapFieldRuns(std::as_writable_bytes(std::span(out)), runs);
}

std::uint16_t Be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

} // namespace

int TrackModeOf(const MTSETTINGS& s, int row, int col) {
    if (row < 0 || row >= kTuneRows || col < 0 || col >= kTuneCols) return 0;
    return static_cast<int>(((s.trackA[row] >> col) & 1U) * 2 + ((s.trackB[row] >> col) & 1U));
}

void SetTrackMode(MTSETTINGS& s, int row, int col, int mode) {
    if (row < 0 || row >= kTuneRows || col < 0 || col >= kTuneCols) return;
    const std::uint32_t bit = 1U << col;
    s.trackA[row] = (mode & 2) ? s.trackA[row] | bit : s.trackA[row] & ~bit;
    s.trackB[row] = (mode & 1) ? s.trackB[row] | bit : s.trackB[row] & ~bit;
}

void EncodeMtSettings(const MTSETTINGS& s, std::span<std::uint8_t, kMtAutoSize> out) {
    EncodeRecord(s, out, kSettingsFields);
}

MTSETTINGS DecodeMtSettings(std::span<const std::uint8_t, kMtParmsSize> in) {
    std::array<std::uint8_t, kMtParmsSize> bytes;
    std::memcpy(bytes.data(), in.data(), kMtParmsSize);
    SwapFieldRuns(std::as_writable_bytes(std::span(bytes)), kSettingsFields);
    MTSETTINGS s;
    std::memcpy(&s, bytes.data(), sizeof s);
    return s;
}

void EncodeMtManual(const MtManualFrame& f, std::span<std::uint8_t, kMtManualSize> out) {
    EncodeRecord(f, out, kManualFields);
}

void EncodeMtFreeze(const MtFreezeFrame& f, std::span<std::uint8_t, kMtFreezeSize> out) {
    EncodeRecord(f, out, kFreezeFields);
}

void EncodeMtAdjust(const MtAdjustFrame& f, std::span<std::uint8_t, kMtAdjustSize> out) {
    EncodeRecord(f, out, kAdjustFields);
}

MtInfoFrame DecodeMtInfo(std::span<const std::uint8_t, kMtInfoSize> in) {
    const std::uint8_t* p = in.data();
    const auto s16 = [&](std::size_t at) { return static_cast<std::int16_t>(Be16(p + at)); };
    MtInfoFrame f{};
    f.rpm = s16(0);
    f.farf = s16(2);
    f.pair = s16(4);
    f.lambda1 = s16(6);
    f.lambda2 = s16(8);
    f.setpoint = s16(10);
    f.th2o = s16(12);
    for (std::size_t i = 0; i < 4; ++i)
        f.baseTj[i] = Be16(p + 14 + 2 * i);
    f.injRatio = Be16(p + 22);
    f.baseAdv = s16(24);
    f.advOffset = s16(26);
    f.conditions = p[28];
    f.extDbw = p[29];
    f.state = p[30];
    f.flags = p[31];
    f.cylMask = p[32];
    f.reserved = p[33];
    for (std::size_t i = 0; i < kMtCellUpdates; ++i) {
        const std::uint16_t word = Be16(p + 34 + 4 * i);
        f.cells[i] = {static_cast<std::uint8_t>(word >> 12), static_cast<std::uint8_t>((word >> 6) & 0x3F),
                      static_cast<std::uint8_t>(word & 0x3F), Be16(p + 36 + 4 * i)};
    }
    return f;
}
