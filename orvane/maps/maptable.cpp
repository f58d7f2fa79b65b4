#include "orvane/maps/maptable.h"

#include "orvane/core/logic/ecuimage.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/mapcells.h"
#include "orvane/maps/plot.h"
#include "orvane/tuning/map2.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <initializer_list>

namespace {

struct CtrlAttr {
    int control;
    int attribute;
    int value;
};

bool SetCtrlAttrs(std::initializer_list<CtrlAttr> attrs) {
    return std::all_of(attrs.begin(), attrs.end(), [](const CtrlAttr& a) {
        return SetCtrlAttribute(hMp1Panel, a.control, a.attribute, a.value) >= 0;
    });
}

// Numeric cells of a table range with their digits after the point and their range.
bool FormatCells(int control, Rect range, int decimals, double min, double max) {
    return SetTableCellRangeAttribute(hMp1Panel, control, range, ATTR_CELL_TYPE, VAL_CELL_NUMERIC) >= 0 &&
           SetTableCellRangeAttribute(hMp1Panel, control, range, ATTR_PRECISION, decimals) >= 0 &&
           SetTableCellRangeAttribute(hMp1Panel, control, range, ATTR_MIN_VALUE, min) >= 0 &&
           SetTableCellRangeAttribute(hMp1Panel, control, range, ATTR_MAX_VALUE, max) >= 0;
}

// The number control: hidden without a choice, else visible while more than one matrix is shown.
bool FormatMatrixChoice(int count, bool single, int number) {
    const int max = count == 0 ? number : count;
    const int min = count == 0 ? number : 1;
    if (!SetCtrlAttrs({{MAPS1::NUMcylGear, ATTR_VISIBLE, count != 0 && !single}}) ||
        SetCtrlAttribute(hMp1Panel, MAPS1::NUMcylGear, ATTR_MIN_VALUE, static_cast<double>(min)) < 0 ||
        SetCtrlAttribute(hMp1Panel, MAPS1::NUMcylGear, ATTR_MAX_VALUE, static_cast<double>(max)) < 0)
        return false;
    int shown = 0;
    if (GetCtrlVal(hMp1Panel, MAPS1::NUMcylGear, &shown) < 0) return false;
    return shown == number || SetCtrlVal(hMp1Panel, MAPS1::NUMcylGear, number) >= 0;
}

bool FormatZLevel(const MapDesc& d) {
    const bool hasZ = HasZAxis(d);
    if (!SetCtrlAttrs({{MAPS1::TABbpz, ATTR_VISIBLE, hasZ}, {MAPS1::RBbpz, ATTR_VISIBLE, hasZ}}))
        return false;
    int marked = 0;
    if (Radio_GetMarkedOption(hMp1Panel, MAPS1::RBbpz, &marked) < 0) return false;
    return marked == CurLevel(d) || Radio_SetMarkedOption(hMp1Panel, MAPS1::RBbpz, CurLevel(d)) >= 0;
}

// An inactive map stays visible but dimmed, and the graph windows close.
bool FormatActiveState(bool inactive) {
    if (!SetCtrlAttrs({{MAPS1::TABmatrix, ATTR_DIMMED, inactive},
                       {MAPS1::TABbpy, ATTR_DIMMED, inactive},
                       {MAPS1::CBgraph2D, ATTR_DIMMED, inactive},
                       {MAPS1::CBgraph3D, ATTR_DIMMED, inactive}}))
        return false;
    return !inactive || (ShowGrpPanel(false) && ShowPltPanel(false));
}

} // namespace

bool FormatMp1Panel() {
    const MapDesc* d = CurMapDesc();
    if (d == nullptr) return false;
    const bool inactive = IsMapInactive(*d);
    const int count = PickableMatrices(*d);
    const bool single = ShowsOneMatrix(*d);
    // A cylinder selector left beyond a reduced cylinder count comes back to the last cylinder.
    if (d->layout == MatLayout::PerCylinder)
        SetCurMatSel(d->selector, count == 0 ? 0 : std::min<int>(aCurMatSel[d->selector], count - 1));
    const AxisDesc& x = XAxisOf(*d);
    const AxisDesc& y = YAxisOf(*d);
    const AxisDesc& z = ZAxisOf(*d);
    return SetCtrlAttrs({{MAPS1::TBOXnotes, ATTR_MAX_ENTRY_LENGTH, static_cast<int>(kNotesSize) - 1},
                         {MAPS1::CBautoMap, ATTR_DIMMED, isTuningManual != 0},
                         {MAPS1::CBmanualMap, ATTR_DIMMED, isTuningAuto != 0},
                         {MAPS1::TBsingleMatEditing, ATTR_VISIBLE, count != 0},
                         {MAPS1::NUMcylGear, ATTR_DIMMED, inactive}}) &&
           SetCtrlVal(hMp1Panel, MAPS1::TBsingleMatEditing, single ? 1 : 0) >= 0 &&
           FormatMatrixChoice(count, single, CurMatrixNumber(*d)) && FormatZLevel(*d) &&
           FormatActiveState(inactive) &&
           FormatCells(MAPS1::TABmatrix, kMatrixCells, d->valDecimals, d->valMin, d->valMax) &&
           FormatCells(MAPS1::TABmatrix, kXCells, 0, 0, x.max) &&
           FormatCells(MAPS1::TABbpy, kYCells, y.decimals, y.min, y.max) &&
           FormatCells(MAPS1::TABbpz, kZCells, z.decimals, z.min, z.max) &&
           SetCtrlAttribute(hMp1Panel, MAPS1::TABmatrix, ATTR_LABEL_TEXT, x.pageCaption) >= 0 &&
           SetCtrlAttribute(hMp1Panel, MAPS1::TABbpy, ATTR_LABEL_TEXT, y.pageCaption) >= 0 &&
           SetCtrlAttribute(hMp1Panel, MAPS1::TABbpz, ATTR_LABEL_TEXT, z.pageCaption) >= 0 &&
           SetCtrlVal(hMp1Panel, MAPS1::TMmapType, d->unit) >= 0;
}

bool CellValChange(double steps) {
    const MapDesc* d = CurMapDesc();
    CurMapInfo info;
    Point cell;
    if (!GetCurMapInfo(&info) || GetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, &cell) < 0) return false;
    const Rect& m = kMatrixCells;
    if (cell.x < m.left || cell.x >= m.left + m.width || cell.y < m.top || cell.y >= m.top + m.height)
        return true;
    double v = 0;
    if (GetTableCellVal(hMp1Panel, MAPS1::TABmatrix, cell, &v) < 0) return false;
    // A step stops at the map's limits, as a typed value does.
    const double stepped = std::clamp(v + steps / info.valScale, d->valMin, d->valMax);
    if (SetTableCellVal(hMp1Panel, MAPS1::TABmatrix, cell, stepped) < 0) return false;
    return GatherMp1Panel(1) && ScatterMp1Panel();
}

bool ShapeMapTables(int panel, std::initializer_list<int> tables) {
    constexpr int kRowHeight = 20;
    for (int table : tables) {
        int rows = 0;
        if (SetCtrlAttribute(panel, table, ATTR_ROW_LABELS_VISIBLE, 0) < 0 ||
            SetCtrlAttribute(panel, table, ATTR_COLUMN_LABELS_VISIBLE, 0) < 0 ||
            GetNumTableRows(panel, table, &rows) < 0)
            return false;
        for (int row = 1; row <= rows; ++row)
            if (SetTableRowAttribute(panel, table, row, ATTR_ROW_HEIGHT, kRowHeight) < 0) return false;
    }
    return true;
}
