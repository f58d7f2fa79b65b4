#include "ecusim/defaultconfig.h"

#include "ecusim/model.h"

#include <cstddef>

namespace ecusim {

namespace {

// Offsets in the configuration data (after the image prefix).
struct ByteValue {
    std::size_t offset;
    std::uint8_t value;
};
struct WordValue {
    std::size_t offset;
    std::uint16_t value;
};
struct LongValue {
    std::size_t offset;
    std::uint32_t value;
};

// "2cyl 2trig Dinj (odd)": cylinders, kind, triggers, injectors and the ECU's own settings; then the
// "smf36-1" wheel, the inductive trigger, one tacho pulse, the pneumatic cam off, both throttle bodies
// referring cylinders to body 1, the warning lamp on the auxiliary output, an idle stepper holding the
// idle ("Idling").
constexpr ByteValue kBytes[] = {
    {0x6E2, 2},    {0x6E0, 1},    {0x6CA, 0},    {0x6CB, 1},    {0x6CC, 0xFF}, {0x6CD, 0xFF},
    {0x6CE, 0},    {0x6CF, 1},    {0x6D0, 0xFF}, {0x6D1, 0xFF}, {0x6D2, 2},    {0x6D3, 3},
    {0x6D4, 0xFF}, {0x6D5, 0xFF}, {0x6E4, 1},    {0x6E6, 1},    {0x6ED, 36},   {0x6EE, 1},
    {0x6F0, 1},    {0x6F1, 7},    {0x6F2, 4},    {0x773, 1},    {0x7AE, 1},    {0x7BF, 1},
    {0x7C0, 1},    {0x7C1, 1},    {0x7C2, 1},    {0x7B6, 1},    {0x7AF, 2},
};

constexpr WordValue kWords[] = {
    {0x6C4, 1800},                // second cylinder's top dead centre, 180.0 degrees
    {0x6D8, 1000},                // injector ratio 1.000
    {0x6DA, 1500},  {0x6DC, 500}, // minimum injection on-time and delta, ms x 1000
    {0x6DE, 240},                 // injector flow
    {0x6B0, 1000},                // PWM output, Hz
    {0x6B6, 10},    {0x6B8, 10},  // stepper periods, 1.0 ms
    {0x6F6, 800},   {0x6F8, 300}, // mapping thresholds 80.0 / 30.0 %
    {0x770, 1000},  {0x786, 100},   {0x7AC, 7200},  {0x760, 1000},  {0x762, 1000}, // throttle body PWM, Hz
    {0x796, 0x300}, {0x798, 0x304}, {0x79A, 0x310}, {0x79C, 0x314}, {0x79E, 0x318}, {0x7A0, 0x320},
    {0x7A2, 0x324}, {0x7A4, 0x328}, {0x7A6, 0x32C}, {0x7A8, 0x330}, {0x7AA, 10}, // front-speed gain 1.0
};

// The idle controller's gains, 16.16 fixed point: Kp 1.50, Ki 0.2500, no Kd.
constexpr LongValue kLongs[] = {{0x6A4, 0x18000}, {0x6A8, 0x4000}};

constexpr std::size_t kFltDepthSpeedRpm = 0x788; // seven filter depths
constexpr std::size_t kBattX = 0x684, kBatt1 = 0x644, kBatt2 = 0x664;
constexpr std::size_t kDwell = 0x1D0, kDwellX = 0x310, kDwellY = 0x330;
constexpr std::size_t kPickUpValues = 0x344, kPickUpX = 0x384;
constexpr std::size_t kCanFrames = 0xB62;

} // namespace

void FillDefaultConfiguration(std::span<std::uint8_t> image) {
    if (image.size() < kPrefixSize + kCanFrames + 58 * 2) return;
    std::uint8_t* data = image.data() + kPrefixSize;
    for (const ByteValue& b : kBytes)
        data[b.offset] = b.value;
    for (const WordValue& w : kWords)
        PutBE16(data + w.offset, w.value);
    for (const LongValue& l : kLongs)
        PutBE32(data + l.offset, l.value);
    for (std::size_t i = 0; i < 7; ++i)
        PutBE16(data + kFltDepthSpeedRpm + 2 * i, 100);
    // Battery offsets: 6.0 V to 15.0 V, longer at low voltage.
    for (std::size_t k = 0; k < 16; ++k) {
        PutBE16(data + kBattX + 2 * k, static_cast<std::uint16_t>(60 + 6 * k));
        PutBE16(data + kBatt1 + 2 * k, static_cast<std::uint16_t>(1600 - 80 * k));
        PutBE16(data + kBatt2 + 2 * k, static_cast<std::uint16_t>(1800 - 90 * k));
    }
    // Dwell: shorter at high voltage, a little longer at high speed.
    for (std::size_t c = 0; c < 16; ++c)
        PutBE16(data + kDwellX + 2 * c, static_cast<std::uint16_t>(60 + 6 * c));
    for (std::size_t r = 0; r < 10; ++r) {
        PutBE16(data + kDwellY + 2 * r, static_cast<std::uint16_t>(1000 + 1200 * r));
        for (std::size_t c = 0; c < 16; ++c)
            PutBE16(data + kDwell + 2 * (r * 16 + c), static_cast<std::uint16_t>(4500 - 150 * c + 50 * r));
    }
    // Pick-up: 0 to 15500 rpm, the angle advancing with speed.
    for (std::size_t k = 0; k < 32; ++k) {
        PutBE16(data + kPickUpX + 2 * k, static_cast<std::uint16_t>(500 * k));
        PutBE16(data + kPickUpValues + 2 * k, static_cast<std::uint16_t>(100 + 5 * k));
    }
    for (std::size_t i = 0; i < 58; ++i)
        PutBE16(data + kCanFrames + 2 * i, static_cast<std::uint16_t>(0x200 + 4 * i));
    SealImage(image);
}

} // namespace ecusim
