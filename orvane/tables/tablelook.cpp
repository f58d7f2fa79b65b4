#include "orvane/tables/tablefields.h"

#include "platform/ui/userint.h"

namespace {
constexpr int kBreakpointColor = 0xE4ECF7; // a pale blue behind every axis cell
} // namespace

namespace {

// Rows or columns 1, 2, ... labelled in order; set is SetTableRowAttribute or SetTableColumnAttribute.
template <class Set> bool LabelLines(Set set, std::initializer_list<const char*> labels) {
    int line = 1;
    for (const char* label : labels) {
        if (set(line, ATTR_LABEL_TEXT, label) < 0 || set(line, ATTR_USE_LABEL_TEXT, 1) < 0) return false;
        ++line;
    }
    return true;
}

} // namespace

bool LabelTableRows(int panel, int control, std::initializer_list<const char*> labels) {
    return LabelLines(
        [&](int row, int attr, auto value) { return SetTableRowAttribute(panel, control, row, attr, value); },
        labels);
}

bool LabelTableColumns(int panel, int control, std::initializer_list<const char*> labels) {
    return LabelLines([&](int col, int attr,
                          auto value) { return SetTableColumnAttribute(panel, control, col, attr, value); },
                      labels);
}

bool MarkBreakpointCells(int panel, int control, Rect cells) {
    return SetTableCellRangeAttribute(panel, control, cells, ATTR_TEXT_BGCOLOR, kBreakpointColor) >= 0 &&
           SetTableCellRangeAttribute(panel, control, cells, ATTR_TEXT_BOLD, 1) >= 0;
}

bool LookMatrixTable(int panel, int control) {
    const Point corner = MakePoint(1, 1);
    return SetCtrlAttribute(panel, control, ATTR_ROW_LABELS_VISIBLE, 0) >= 0 &&
           SetCtrlAttribute(panel, control, ATTR_COLUMN_LABELS_VISIBLE, 0) >= 0 &&
           MarkBreakpointCells(panel, control, kMatrixX) && MarkBreakpointCells(panel, control, kMatrixY) &&
           SetTableCellAttribute(panel, control, corner, ATTR_CELL_TYPE, VAL_CELL_STRING) >= 0 &&
           SetTableCellAttribute(panel, control, corner, ATTR_CELL_MODE, VAL_INDICATOR) >= 0 &&
           SetTableCellVal(panel, control, corner, "") >= 0;
}

bool BlankCells(int panel, int control, Rect cells) {
    for (int row = cells.top; row < cells.top + cells.height; ++row)
        for (int col = cells.left; col < cells.left + cells.width; ++col)
            if (SetTableCellVal(panel, control, MakePoint(col, row), "") < 0) return false;
    return true;
}
