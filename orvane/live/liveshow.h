// Showing the live records on a page: one table per page lists which field of which record goes to
// which control with which scale; one engine writes them. The rules both live pages share (the throttle,
// actuator and level values, the map slot and gear, the data-set names) are here too.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

enum class Rec : std::uint8_t { L0, L1, L2, L3 };
enum class Type : std::uint8_t { U16, I16, U8 };

// A numeric control showing a record field divided by its scale.
struct ShownField {
    int control;
    Rec rec;
    std::uint16_t offset;
    Type type;
    std::uint16_t scale;
};

// An LED lit while a flag bit of a record is set.
struct ShownLed {
    int control;
    Rec rec;
    std::uint16_t byte;
    std::uint8_t bit;
};

// The controls of one page that the shared rules write.
struct CommonControls {
    int farf, potStep, rtcLevel, mappa, marcia;
    int ecuMap1, ecuMap2, ecuPar;
};

// Gives each numeric the range of its field's type over its scale: all it can ever show, which its box
// is laid out and checked for.
void RangeFields(int panel, std::span<const ShownField> fields);
void RangeByType(int panel, int control, Type type, double scale);
// The field's value as its control shows it.
double ShownValue(const ShownField& field);
void ShowFields(int panel, std::span<const ShownField> fields);
void ShowLeds(int panel, std::span<const ShownLed> leds);
// The range and decimals of the throttle, actuator and level values, which follow the configuration.
void RangeCommonValues(int panel, const CommonControls& c);
// Throttle, actuator, level, map slot and gear values, and the data-set names with the inactive slot's
// name dimmed.
void ShowCommonValues(int panel, const CommonControls& c);
// The throttle's label by the level-switch configuration.
void LabelThrottle(int panel, int control);
// The shared protected flag follows live record 1 while the link is open.
void UpdateProtectedFromLive();

void Dim(int panel, int control, bool dimmed);
void DimAll(int panel, std::span<const int> controls, bool dimmed);

// One control per cylinder 1..4.
using PerCylinder = std::array<int, 4>;
#define LIVE_CYL4(P, pre, post)                                                                              \
    PerCylinder {                                                                                            \
        P::pre##1##post, P::pre##2##post, P::pre##3##post, P::pre##4##post                                   \
    }
// Dims the control of cylinder cyl (0..3) in each row.
void DimCylinder(int panel, std::span<const PerCylinder> rows, std::size_t cyl, bool dimmed);
// The sizes of the four live records, shown for the ECU's programmers.
void ShowRecordSizes(int panel, const std::array<int, 4>& controls);
