#include "orvane/maps/map1.h"

#include "orvane/core/logic/images.h"
#include "orvane/core/ui/connect.h"
#include "orvane/core/ui/loadpage.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/valuedialog.h"
#include "orvane/maps/cellcalc.h"
#include "orvane/maps/cellkeys.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/mapcells.h"
#include "orvane/maps/maptable.h"
#include "orvane/maps/mapval.h"
#include "orvane/maps/plot.h"
#include "orvane/maps/setcurmap.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

int hMp1Panel = 0;

namespace {

constexpr int kChangedColor = 0xFF0000;

// Red and bold when the cell differs from the reference, else black and plain.
bool MarkCell(int control, Point cell, bool differs) {
    return SetTableCellAttribute(hMp1Panel, control, cell, ATTR_TEXT_COLOR,
                                 differs ? kChangedColor : VAL_BLACK) >= 0 &&
           SetTableCellAttribute(hMp1Panel, control, cell, ATTR_TEXT_BOLD, differs ? 1 : 0) >= 0;
}

// Makes the first matrix cell the only selected and active cell.
bool SelectFirstCell() {
    return SetTableSelection(hMp1Panel, MAPS1::TABmatrix, Rect{}) >= 0 &&
           SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, Point{1, kMatrixTopRow}) >= 0;
}

// One run of raw values shown in a table range (row by row), with its reference copy and scale.
struct RawRange {
    int control;
    Rect range;
    std::int16_t* raw;
    const std::int16_t* ref;
    double scale;
};

// The tables of the current map: matrix, X breakpoints, Y breakpoints, and Z breakpoints when it has them.
int CurMapRanges(const CurMapInfo& info, std::array<RawRange, 4>& out) {
    out[0] = {MAPS1::TABmatrix, kMatrixCells, &(*info.matrix)[0][0], &(*info.refMatrix)[0][0], info.valScale};
    out[1] = {MAPS1::TABmatrix, kXCells, info.x, info.refX, info.xScale};
    out[2] = {MAPS1::TABbpy, kYCells, info.y, info.refY, info.yScale};
    if (info.z == nullptr) return 3;
    out[3] = {MAPS1::TABbpz, kZCells, info.z, info.refZ, info.zScale};
    return 4;
}

// Writes a range: each cell red and bold where it differs from the reference, then all values at once.
bool ShowRange(const RawRange& r) {
    std::array<double, kMapRows * kMapCols> values;
    const int n = r.range.height * r.range.width;
    for (int k = 0; k < n; ++k) {
        values[k] = r.raw[k] / r.scale;
        if (!MarkCell(r.control, CellOf(r.range, k), r.raw[k] != r.ref[k])) return false;
    }
    return SetTableCellRangeVals(hMp1Panel, r.control, r.range, std::span(values.data(), n), VAL_ROW_MAJOR) >=
           0;
}

// Reads a range back: each display value times the scale, to the nearest whole raw unit.
bool ReadRange(const RawRange& r) {
    std::array<double, kMapRows * kMapCols> values;
    const int n = r.range.height * r.range.width;
    if (GetTableCellRangeVals(hMp1Panel, r.control, r.range, std::span(values.data(), n), VAL_ROW_MAJOR) < 0)
        return false;
    for (int k = 0; k < n; ++k)
        r.raw[k] = RawFromDisplay(values[k], r.scale);
    return true;
}

void ReportFailure(const char* title) {
    MessagePopup(title, szGenericError);
}

bool ChangeCurMap() {
    // A page that cannot be read back keeps its map: the tab goes back to it.
    if (!GatherMp1Panel(1)) {
        SetActiveTabPage(hMp1Panel, MAPS1::TPselectMap, idCurMap - 1);
        return false;
    }
    int page = 0;
    if (GetActiveTabPage(hMp1Panel, MAPS1::TPselectMap, &page) < 0 || FindMapDesc(page + 1) == nullptr)
        return false;
    if (!SelectFirstCell()) {
        SetActiveTabPage(hMp1Panel, MAPS1::TPselectMap, idCurMap - 1);
        return false;
    }
    SetCurMapId(static_cast<std::uint8_t>(page + 1));
    return ScatterMp1Panel();
}

bool SetSingleMatEditing() {
    int on = 0;
    if (GetCtrlVal(hMp1Panel, MAPS1::TBsingleMatEditing, &on) < 0) return false;
    bool ok = true;
    if (!on || ConfirmPopup("Matrixes Alignment", "WARNING!\n\nAll matrixes but the first will be lost!",
                            ConfirmDefault::No))
        ok = GatherMp1Panel(1);
    // The redraw also puts the toggle back to the stored state after a refusal.
    return ScatterMp1Panel() && ok;
}

// The choice is read before the page is gathered: a gather that repairs breakpoints redraws the page,
// which would put the control back to the matrix shown.
bool SetCurMatrixIndex() {
    const MapDesc* d = CurMapDesc();
    int number = 0;
    if (GetCtrlVal(hMp1Panel, MAPS1::NUMcylGear, &number) < 0 || !GatherMp1Panel(1) || d == nullptr) {
        const bool picks = d != nullptr && d->selector != kNoSel;
        SetCtrlVal(hMp1Panel, MAPS1::NUMcylGear, picks ? aCurMatSel[d->selector] + 1 : 0);
        return false;
    }
    if (d->selector != kNoSel) SetCurMatSel(d->selector, number - 1);
    return SelectFirstCell() && ScatterMp1Panel();
}

bool SetCurZLevel() {
    const MapDesc* d = CurMapDesc();
    int level = 0;
    if (Radio_GetMarkedOption(hMp1Panel, MAPS1::RBbpz, &level) < 0 || !GatherMp1Panel(1) || d == nullptr) {
        if (d != nullptr) Radio_SetMarkedOption(hMp1Panel, MAPS1::RBbpz, CurLevel(*d));
        return false;
    }
    if (d->levelSelector == kNoSel) return false;
    SetCurMatSel(d->levelSelector, std::clamp(level, 0, kMapLevels - 1));
    return SelectFirstCell() && ScatterMp1Panel();
}

// 1 when the key was handled and its action succeeded, 0 when it is not ours or it failed (reported).
int MatrixKey(int keyCode) {
    const int key = keyCode & ~VAL_SHIFT_MODIFIER;
    bool ok = false;
    if (key == kValueDialogKey) {
        ok = GatherMp1Panel(1) && OpenMapValDialog();
    } else {
        const double steps = CellStepOfKey(key);
        if (steps == 0) return 0;
        ok = CellValChange(steps);
    }
    if (!ok) ReportFailure("Edit Map");
    return ok ? 1 : 0;
}

bool FollowActiveCell() {
    Point cell;
    if (GetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, &cell) < 0) return false;
    return SetPltCursor(cell.x - 1, cell.y - 2) && ScatterGrpPanel();
}

bool CommitOf(int control) {
    switch (control) {
    case MAPS1::TBsingleMatEditing:
        return SetSingleMatEditing();
    case MAPS1::RBbpz:
        return SetCurZLevel();
    case MAPS1::CBgraph2D:
        return ShowGrpPanel(true);
    case MAPS1::CBgraph3D:
        return ShowPltPanel(true);
    default:
        return GatherMp1Panel(0) && ScatterMp1Panel();
    }
}

} // namespace

bool InitMp1Panel(int parent) {
    if (!LoadMpvPanel(parent) || !LoadPage(parent, MAPS1::id, hMp1Panel)) return false;
    if (!ShapeMapTables(hMp1Panel, {MAPS1::TABmatrix, MAPS1::TABbpy, MAPS1::TABbpz})) return false;
    for (int id = 1; id <= kMapCount; ++id)
        InitMp1Data(static_cast<std::uint8_t>(id));
    return InitGrpPanel() && InitPltPanel();
}

bool ScatterMp1Panel() {
    if (!FormatMp1Panel()) return false;
    ecuMapData.notes[kNotesSize - 1] = '\0';
    if (SetCtrlVal(hMp1Panel, MAPS1::TBOXnotes, ecuMapData.notes) < 0) return false;
    CurMapInfo info;
    if (!GetCurMapInfo(&info)) return false;
    if (SetCtrlVal(hMp1Panel, MAPS1::TBsingleMatEditing, static_cast<int>(info.single)) < 0) return false;
    std::array<RawRange, 4> ranges;
    const int n = CurMapRanges(info, ranges);
    for (int k = 0; k < n; ++k)
        if (!ShowRange(ranges[k])) return false;
    return ScatterGrpPanel() && ScatterPltPanel();
}

bool GatherMp1Panel(std::uint8_t mode) {
    int single = 0;
    char notes[kNotesSize] = {};
    if (GetCtrlVal(hMp1Panel, MAPS1::TBsingleMatEditing, &single) < 0 ||
        GetCtrlVal(hMp1Panel, MAPS1::TBOXnotes, notes) < 0)
        return false;
    std::memcpy(ecuMapData.notes, notes, kNotesSize);
    const MapDesc* d = CurMapDesc();
    CurMapInfo info;
    if (d == nullptr || !GetCurMapInfo(&info)) return false;
    // The table goes back into the matrix it shows; only then may the single-matrix bit change which
    // matrix is current (switching it on keeps the first matrix, as the warning says).
    std::array<RawRange, 4> ranges;
    const int n = CurMapRanges(info, ranges);
    for (int k = 0; k < n; ++k)
        if (!ReadRange(ranges[k])) return false;
    const bool hasBit = d->flagBit != 0;
    if (hasBit) SetSingleMatBit(*d, single != 0);
    const bool redraw = mode == 1 && FixCurMapBreakpoints();
    if (hasBit && single != 0) {
        AlignCurMapMatrixes(idCurMap);
        AlignCurMapZBreakpoints(idCurMap);
    }
    return !redraw || ScatterMp1Panel();
}

bool Mp1Timer() {
    return Ping();
}

int DoMapEvent(int panel, int control, int event, void*, int eventData1, int) {
    if (panel != hMp1Panel || CheckfBusy()) return 0;
    switch (event) {
    case EVENT_ACTIVE_TAB_CHANGE:
        if (control == MAPS1::TPselectMap && !ChangeCurMap()) ReportFailure("Maps");
        return 0;
    case EVENT_COMMIT:
        if (!CommitOf(control)) ReportFailure("Maps");
        return 0;
    case EVENT_VAL_CHANGED:
        if (control == MAPS1::NUMcylGear && !SetCurMatrixIndex()) ReportFailure("Maps");
        return 0;
    case EVENT_RIGHT_CLICK:
        if (control != MAPS1::TABmatrix) return 0;
        if (GatherMp1Panel(1) && OpenMapValDialog()) return 1;
        ReportFailure("Maps");
        return 0;
    case EVENT_KEYPRESS: {
        // Keys typed into a cell being edited belong to the cell.
        int state = VAL_SELECT_STATE;
        if (control != MAPS1::TABmatrix ||
            GetCtrlAttribute(hMp1Panel, MAPS1::TABmatrix, ATTR_TABLE_RUN_STATE, &state) < 0 ||
            state == VAL_EDIT_STATE)
            return 0;
        return MatrixKey(eventData1);
    }
    case EVENT_ACTIVE_CELL_CHANGE:
        if (control == MAPS1::TABmatrix && !FollowActiveCell()) ReportFailure("Edit Map");
        return 0;
    default:
        return 0;
    }
}
