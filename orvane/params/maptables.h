// The map tables of the parameter pages: a MiniMap or ExtMiniMap on one table control, with the x
// breakpoints (engine speed) in row 1 from column 2, the y breakpoints in column 1 from row 2, and the
// cells below and right of them; and the breakpoint repair of such a map.
#pragma once

#include "orvane/core/logic/ecuimage.h"
#include "orvane/core/logic/repairs.h"
#include "orvane/core/ui/fields.h"
#include "orvane/tables/tablefields.h"
#include "platform/ui/userint.h"

#include <cstddef>
#include <initializer_list>
#include <iterator>

template <class Map> inline constexpr int kMapRows = static_cast<int>(std::size(Map{}.y));
template <class Map> inline constexpr int kMapCols = static_cast<int>(std::size(Map{}.x));

// at: the map's offset in its image.
template <class Map> constexpr FieldBinding MapXRow(int control, std::size_t at) {
    return CellRow(control, 1, 2, kMapCols<Map>, at + offsetof(Map, x), Raw::I16, 1, 0, 20000);
}
template <class Map>
constexpr FieldBinding MapYColumn(int control, std::size_t at, double divisor, double min, double max) {
    return Cells(control, {2, 1, kMapRows<Map>, 1}, at + offsetof(Map, y), 2, 0, Raw::I16, divisor, min, max);
}
template <class Map>
constexpr FieldBinding MapCells(int control, std::size_t at, double divisor, double min, double max) {
    return Cells(control, {2, 2, kMapRows<Map>, kMapCols<Map>}, at + offsetof(Map, cells), 2 * kMapCols<Map>,
                 2, Raw::I16, divisor, min, max);
}

// An x breakpoint below its left neighbour takes its value and its column copies the one to its left;
// then the same for y with rows. True when anything changed.
template <class Map> bool RepairMapAxes(Map& map) {
    constexpr std::size_t rows = kMapRows<Map>;
    constexpr std::size_t cols = kMapCols<Map>;
    const std::span<std::int16_t> cells(&map.cells[0][0], rows * cols);
    bool changed = RepairAxis(map.x, {AxisData{cells, 1, rows, cols}});
    changed |= RepairAxis(map.y, {AxisData{cells, cols, cols, 1}});
    return changed;
}

// A table whose first row and column hold breakpoints needs no row and column numbers.
inline bool HideTableLabels(int panel, int control) {
    return SetCtrlAttribute(panel, control, ATTR_ROW_LABELS_VISIBLE, 0) >= 0 &&
           SetCtrlAttribute(panel, control, ATTR_COLUMN_LABELS_VISIBLE, 0) >= 0;
}

// A table of value rows over one breakpoint row: its rows named, its columns not numbered.
inline bool LabelValueRows(int panel, int control, std::initializer_list<const char*> labels) {
    return SetCtrlAttribute(panel, control, ATTR_COLUMN_LABELS_VISIBLE, 0) >= 0 &&
           LabelTableRows(panel, control, labels);
}

// The corner cell of a map table (row 1, column 1) holds a caption, not a value.
inline bool SetMapCorner(int panel, int control, const char* text) {
    const Point corner = MakePoint(1, 1);
    return HideTableLabels(panel, control) &&
           SetTableCellAttribute(panel, control, corner, ATTR_CELL_TYPE, VAL_CELL_STRING) >= 0 &&
           SetTableCellAttribute(panel, control, corner, ATTR_CELL_MODE, VAL_INDICATOR) >= 0 &&
           SetTableCellVal(panel, control, corner, text) >= 0;
}
