// Arithmetic on map cells: display values to raw cells and the set, add and percent operations of the
// Edit-Map dialog. Pure functions; the callers take limits and scales from the map catalogue.
#pragma once

#include <cstdint>

// Nearest whole number, halves away from zero (truncates x + 0.5, or x - 0.5 at or below zero).
double RoundHalfAway(double x);

// A display value as a raw cell: d x scale rounded half away from zero. The table ranges keep values
// inside 16 bits; anything beyond is held at the 16-bit limits rather than wrapped.
std::int16_t RawFromDisplay(double d, double scale);

enum class MapValOp { Set, Add, Percent };

// The operand of one dialog operation, brought to whole steps of the value control.
struct MapValOperand {
    MapValOp op;
    double v; // the value (Set), the amount (Add) or the percentage (Percent), in whole steps
    double f; // Percent: the factor 1 + v / 100
};

// typed is the value control's reading; scale is the map's (raw units per display unit). Set and Add
// step in raw units, Percent in tenths of a percent.
MapValOperand MakeMapValOperand(MapValOp op, double typed, double scale);

// The preview of one cell in display units, held within lo .. hi (display units).
double PreviewCell(const MapValOperand& o, std::int16_t raw, double scale, double lo, double hi);

// The new raw value of one cell, held within scale x lo .. scale x hi and rounded half away from zero.
std::int16_t ApplyCell(const MapValOperand& o, std::int16_t raw, double scale, double lo, double hi);
