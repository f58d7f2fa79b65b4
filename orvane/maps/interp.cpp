#include "orvane/maps/interp.h"

#include "orvane/maps/lineinterp.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/mapcells.h"
#include "orvane/maps/setcurmap.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>
#include <span>

namespace {

// A block of matrix cells of the map table.
bool InsideMatrix(int top, int left, int height, int width) {
    const Rect& m = kMatrixCells;
    return height >= 1 && width >= 1 && top >= m.top && left >= m.left && top + height <= m.top + m.height &&
           left + width <= m.left + m.width;
}

bool KindOf(int op, InterpKind* kind) {
    switch (op) {
    case MAPVAL::RBinterp:
        *kind = InterpKind::Both;
        return true;
    case MAPVAL::RBinterpRow:
        *kind = InterpKind::Rows;
        return true;
    case MAPVAL::RBinterpCol:
        *kind = InterpKind::Cols;
        return true;
    default:
        return false;
    }
}

} // namespace

bool InterpMapSelection(int op, int top, int left, int height, int width) {
    InterpKind kind;
    if (!InsideMatrix(top, left, height, width) || !KindOf(op, &kind)) return false;
    if (!FitInterpKind(&kind, height, width)) return true;
    // Columns are interpolated with each column's cells together; the block goes back in the same order.
    const int order = kind == InterpKind::Cols ? VAL_COLUMN_MAJOR : VAL_ROW_MAJOR;
    const Rect block{top, left, height, width};
    std::array<double, kMapRows * kMapCols> buffer;
    std::array<double, kMapCols> x;
    std::array<double, kMapRows> y;
    const std::span cells(buffer.data(), static_cast<std::size_t>(height * width));
    if (GetTableCellRangeVals(hMp1Panel, MAPS1::TABmatrix, block, cells, order) < 0 ||
        GetTableCellRangeVals(hMp1Panel, MAPS1::TABmatrix, Rect{kXCells.top, left, 1, width},
                              std::span(x.data(), width), VAL_ROW_MAJOR) < 0 ||
        GetTableCellRangeVals(hMp1Panel, MAPS1::TABbpy, Rect{top - kMatrixTopRow + 1, 1, height, 1},
                              std::span(y.data(), height), VAL_ROW_MAJOR) < 0)
        return false;
    InterpolateBlock(kind, cells, height, width, std::span(x.data(), width), std::span(y.data(), height));
    if (SetTableCellRangeVals(hMp1Panel, MAPS1::TABmatrix, block, cells, order) < 0) return false;
    return GatherMp1Panel(0) && ScatterMp1Panel();
}

bool ResetMapSelection(int top, int left, int height, int width) {
    if (!InsideMatrix(top, left, height, width)) return false;
    for (int i = 0; i < height; ++i)
        for (int j = 0; j < width; ++j)
            if (!SetCurMap(left + j - 1, top + i - kMatrixTopRow, 0, 0, 1, 0, 0, 0)) return false;
    return ScatterMp1Panel();
}
