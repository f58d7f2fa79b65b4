// Field bindings of the tables on the injection, advance and linearization pages: a 16-point curve shown
// as two rows of a table (breakpoints and values, column c is point c - 1), and a 8 x 16 matrix shown in a
// 9 x 17 table (column breakpoints in row 1, row breakpoints in column 1, the cells from row 2, column 2).
#pragma once

#include "orvane/core/logic/ecuimage.h"
#include "orvane/core/ui/fields.h"
#include "platform/ui/userint.h"

#include <cstddef>
#include <cstdint>

// How one row or block of a table shows its raw values.
struct CellFormat {
    double divisor;
    double min, max;
    std::int64_t def = 0;
};

// Formats the pages share.
inline constexpr CellFormat kAdFormat = {1, 0, 1023, 0};         // a raw 10-bit A/D reading
inline constexpr CellFormat kEngineSpeed = {1, 0, 20000, 0};     // [rpm]
inline constexpr CellFormat kThrottle = {10, 0, 100, 0};         // [deg]
inline constexpr CellFormat kSelectorVolts = {1000, 0, 5, 0};    // traction-control selector [Volt]
inline constexpr CellFormat kSelectorShare = {10, 0, 100, 1000}; // [%] by the selector

constexpr FieldBinding WithDefault(FieldBinding b, std::int64_t def) {
    b.def = def;
    return b;
}

constexpr FieldBinding CurveRow(int control, int row, std::size_t words, CellFormat f) {
    return WithDefault(CellRow(control, row, 1, 16, words, Raw::I16, f.divisor, f.min, f.max), f.def);
}
// The breakpoints and the values of the Curve16 at offset curve.
constexpr FieldBinding CurveX(int control, int row, std::size_t curve, CellFormat f) {
    return CurveRow(control, row, curve + offsetof(Curve16, x), f);
}
constexpr FieldBinding CurveValues(int control, int row, std::size_t curve, CellFormat f) {
    return CurveRow(control, row, curve + offsetof(Curve16, values), f);
}

inline constexpr int kMatrixRows = 8;
inline constexpr int kMatrixCols = 16;
inline constexpr std::size_t kMatrixRowBytes = kMatrixCols * sizeof(std::int16_t);
inline constexpr std::size_t kMatrixBytes = kMatrixRows * kMatrixRowBytes;
// Where a matrix shows in its 9 x 17 table.
inline constexpr Rect kMatrixCells = {2, 2, kMatrixRows, kMatrixCols};
inline constexpr Rect kMatrixX = {1, 2, 1, kMatrixCols};
inline constexpr Rect kMatrixY = {2, 1, kMatrixRows, 1};

constexpr FieldBinding MatrixX(int control, std::size_t x, CellFormat f) {
    return WithDefault(CellRow(control, 1, 2, kMatrixCols, x, Raw::I16, f.divisor, f.min, f.max), f.def);
}
constexpr FieldBinding MatrixY(int control, std::size_t y, CellFormat f) {
    return WithDefault(
        Cells(control, {2, 1, kMatrixRows, 1}, y, sizeof(std::int16_t), 0, Raw::I16, f.divisor, f.min, f.max),
        f.def);
}
// count matrices one after the other from cells (more than one only for writing the defaults of all).
constexpr FieldBinding MatrixCells(int control, std::size_t cells, CellFormat f, int count = 1) {
    return WithDefault(Cells(control, {2, 2, kMatrixRows * count, kMatrixCols}, cells, kMatrixRowBytes,
                             sizeof(std::int16_t), Raw::I16, f.divisor, f.min, f.max),
                       f.def);
}

// Settings of the configuration pages that these pages follow: the cylinders configured (as used here, at
// most four), and whether the traction-control selector is read as a voltage (more than 16 steps).
int ConfiguredCylinders();
bool SelectorInVolts();

// Table looks shared by these pages: labelled rows, and breakpoint cells set apart from the values.
bool LabelTableRows(int panel, int control, std::initializer_list<const char*> labels);
bool LabelTableColumns(int panel, int control, std::initializer_list<const char*> labels);
bool MarkBreakpointCells(int panel, int control, Rect cells);
// A 9 x 17 matrix table: no row or column numbers, the axes marked, the corner cell empty.
bool LookMatrixTable(int panel, int control);
// Text cells shown empty.
bool BlankCells(int panel, int control, Rect cells);
