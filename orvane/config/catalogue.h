// The engine-type and toothed-wheel catalogues: the only source of the engine block of the
// configuration data. The page copies the chosen records into the image and finds the record the image
// holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr std::size_t kEngTypeCount = 27;
inline constexpr std::size_t kTwaCount = 50;
inline constexpr std::size_t kTwaRingCount = 49; // the last wheel record has no ring entry

struct EngTypeDef {
    const char* name;
    std::uint8_t cylinders;
    std::uint8_t kind; // 0 Single, 1 Double, 2 Compound, 3 Full-group
    std::uint16_t tdc[4];
    std::uint8_t trigger[4];
    std::int8_t inj1[4];
    std::int8_t inj2[4];
    std::uint8_t settings[10]; // the ECU's own, not shown
};

struct TwaDef {
    const char* name; // null: no ring entry
    std::uint8_t bytes[6];
};

extern const EngTypeDef engTypeDefs[kEngTypeCount];
extern const TwaDef twaDefs[kTwaCount];

void SetEngType(std::uint8_t index);
void SetTwa(std::uint8_t index);
// The first record (1 up) that the image holds; 0 when none.
std::uint8_t GetEngType();
std::uint8_t GetQuadro();

// The popup texts of the right click on the rings, built from the image.
void EngineDescription(std::span<char> text);
void WheelDescription(std::span<char> text);
