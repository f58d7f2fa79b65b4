// The tuning table under the user's hand: track modes by double click, cell values stepped with + and -
// and edited by selection in the value dialog. Values go to the ECU row by row; the local maps change
// only when the ECU reports the cells back.
#include "orvane/core/logic/utils.h"
#include "orvane/core/logic/values.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/valuedialog.h"
#include "orvane/maps/cellcalc.h"
#include "orvane/maps/mapcells.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <array>
#include <span>

SettingsPoint posMtvPanel = {kUnplaced, kUnplaced};
int zoomMtvPanel = 0;

void ResetMtvPlace() {
    posMtvPanel = {kUnplaced, kUnplaced};
    zoomMtvPanel = 0;
}

namespace {

namespace M = MAPS2;
namespace V = TUNEMAPVAL;

constexpr char kTitle[] = "Map Tuning";
constexpr int kMixed = -1;

// The double-click memory: the last target (0 stands for a whole column, row or table), the last mode
// given and how many non-zero modes the same target has had in a row.
struct TrackCycle {
    Point target{-1, -1};
    int lastMode = 1;
    int count = 0;
};
TrackCycle cycle;

// The value dialog's working state.
struct TuneValDialog {
    Rect sel{};
    int kind = 0;
    bool done = false;
};
TuneValDialog dlg;

bool TrackingEditable() {
    return isTuningAuto && IsInjectionKind(ShownMapKind());
}

// The common mode of the cells in rows [r0, r1) and columns [c0, c1), or kMixed.
int CommonMode(int r0, int r1, int c0, int c1) {
    const int first = TrackModeOf(mtSettings, r0, c0);
    for (int r = r0; r < r1; ++r)
        for (int c = c0; c < c1; ++c)
            if (TrackModeOf(mtSettings, r, c) != first) return kMixed;
    return first;
}

int NextTrackMode(Point target, int current) {
    if (target.x > kTuneCols || target.y > kTuneRows) {
        cycle = {target, 1, 0};
        return 0;
    }
    const bool same = target == cycle.target;
    cycle.target = target;
    if (same && current > 0) {
        cycle.lastMode = cycle.lastMode % 3 + 1;
        if (cycle.count < 3) {
            ++cycle.count;
            return cycle.lastMode;
        }
        cycle.count = 0;
        return 0;
    }
    // A cell switched on starts where the cycle left off; a switched-on or mixed target goes off.
    if (current == 0) {
        cycle.count = 1;
        return cycle.lastMode;
    }
    cycle.count = 0;
    return 0;
}

// Cycles the mode of rows [r0, r1) x columns [c0, c1); target names them for the cycle memory.
void CycleTrackMode(Point target, int r0, int r1, int c0, int c1) {
    const int mode = NextTrackMode(target, CommonMode(r0, r1, c0, c1));
    for (int r = r0; r < r1; ++r)
        for (int c = c0; c < c1; ++c)
            SetMtTrackMode(r, c, mode);
    ShowTuneTable();
    RaiseMtRequest(kReqResync);
}

void ReportError() {
    MessagePopup(kTitle, szGenericError);
}

bool CellOfEvent(int panel, int control, int y, int x, Point& cell) {
    return GetTableCellFromPoint(panel, control, Point{x, y}, &cell) >= 0 && cell.x > 0 && cell.y > 0;
}

bool StepTuneCell(bool up) {
    if (!IsMapTuning()) return true;
    Point active{};
    if (GetActiveTableCell(hMp2Panel, M::TABmatrix, &active) < 0) return false;
    const int kind = ShownMapKind();
    TunedMap map;
    if (active.x < 1 || active.x > kTuneCols || active.y < kMatrixTopRow ||
        active.y >= kMatrixTopRow + kTuneRows || !TunedMapOf(kind, ShownByPressure(), map))
        return true;
    const int row = active.y - kMatrixTopRow;
    const int col = active.x - 1;
    const double step = IsInjectionKind(kind) ? GetInjTuneStep() : GetAdvTuneStep();
    const double shown = std::clamp(map.cells[row][col] / map.scale + (up ? step : -step), map.min, map.max);
    std::int16_t cells[kTuneCols];
    std::copy_n(map.cells[row], kTuneCols, cells);
    cells[col] = RawFromDisplay(shown, map.scale);
    return SendTuneRow(kind, row, cells);
}

// The rectangle the dialog works on: the selection, or the active cell alone; never the breakpoint row.
Rect TakeSelection() {
    SetActiveCtrl(hMp2Panel, M::TABmatrix);
    Rect sel{};
    GetTableSelection(hMp2Panel, M::TABmatrix, &sel);
    if (sel.height < 2 && sel.width < 2) {
        Point active{};
        GetActiveTableCell(hMp2Panel, M::TABmatrix, &active);
        sel = {active.y, active.x, 1, 1};
    }
    if (sel.top == 1) {
        sel.top = 2;
        --sel.height;
    }
    if (sel.height <= 0 || sel.width <= 0 || sel.top < kMatrixTopRow || sel.left < 1) sel = {};
    SetTableSelection(hMp2Panel, M::TABmatrix, sel);
    return sel;
}

MapValOp DialogOp() {
    int op = 0;
    Radio_GetMarkedOption(hMtvPanel, V::RBtuneMapVal, &op);
    return op == 0 ? MapValOp::Set : op == 1 ? MapValOp::Add : MapValOp::Percent;
}

bool InitTuneValueDialog(bool opening) {
    const bool injection = IsInjectionKind(dlg.kind);
    if (opening) {
        const bool all = injection && mtCylCount >= 2;
        if (Radio_SetMarkedOption(hMtvPanel, V::RBtuneMapVal, injection ? 2 : 1) < 0 ||
            SetCtrlAttribute(hMtvPanel, V::TOGBall, ATTR_VISIBLE, all ? 1 : 0) < 0 ||
            SetCtrlAttribute(hMtvPanel, V::TOGBall, ATTR_LABEL_TEXT, injection ? "All Cylinders" : "") < 0 ||
            SetCtrlVal(hMtvPanel, V::TOGBall, all ? 1 : 0) < 0)
            return false;
    }
    TunedMap map;
    if (!TunedMapOf(dlg.kind, ExchangeByPressure(), map)) return false;
    const MapValOp op = DialogOp();
    double lo = -100.0, hi = 100.0, start = 0.0;
    int decimals = 1;
    const char* unit = "[%]";
    if (op != MapValOp::Percent) {
        unit = injection ? "[ms]" : "[deg]";
        decimals = injection ? 3 : 1;
        if (op == MapValOp::Set) {
            lo = injection ? 0.0 : -90.0;
            hi = injection ? 10.0 : 90.0;
            start = map.cells[dlg.sel.top - kMatrixTopRow][dlg.sel.left - 1] / map.scale;
        } else {
            lo = injection ? -5.0 : -30.0;
            hi = injection ? 5.0 : 30.0;
        }
    }
    const double inc = op == MapValOp::Percent ? 0.1 : 1.0 / map.scale;
    return SetCtrlAttribute(hMtvPanel, V::NSval, ATTR_MIN_VALUE, lo) >= 0 &&
           SetCtrlAttribute(hMtvPanel, V::NSval, ATTR_MAX_VALUE, hi) >= 0 &&
           SetCtrlAttribute(hMtvPanel, V::NSval, ATTR_PRECISION, decimals) >= 0 &&
           SetCtrlAttribute(hMtvPanel, V::NSval, ATTR_INCR_VALUE, inc) >= 0 &&
           SetCtrlAttribute(hMtvPanel, V::NSval, ATTR_LABEL_TEXT, unit) >= 0 &&
           SetPanelAttribute(hMtvPanel, ATTR_TITLE, kTitle) >= 0 &&
           SetCtrlVal(hMtvPanel, V::NSval, start) >= 0;
}

bool ReadDialogOperand(MapValOperand& operand, const TunedMap& map) {
    double v = 0;
    if (GetCtrlVal(hMtvPanel, V::NSval, &v) < 0) return false;
    operand = MakeMapValOperand(DialogOp(), v, map.scale);
    return true;
}

bool PreviewTuneValues() {
    TunedMap map;
    MapValOperand o;
    if (!TunedMapOf(dlg.kind, ExchangeByPressure(), map) || !ReadDialogOperand(o, map)) return false;
    for (int r = 0; r < dlg.sel.height; ++r)
        for (int c = 0; c < dlg.sel.width; ++c) {
            const Point cell{dlg.sel.left + c, dlg.sel.top + r};
            const std::int16_t raw = map.cells[cell.y - kMatrixTopRow][cell.x - 1];
            if (SetTableCellVal(hMp2Panel, M::TABmatrix, cell,
                                PreviewCell(o, raw, map.scale, map.min, map.max)) < 0 ||
                SetTableCellAttribute(hMp2Panel, M::TABmatrix, cell, ATTR_TEXT_BOLD, 1) < 0)
                return false;
        }
    return true;
}

// The selected rows of one matrix, changed and sent row by row; true when nothing failed.
bool ApplyToMatrix(int kind, const MapValOperand& o) {
    TunedMap map;
    if (!TunedMapOf(kind, ExchangeByPressure(), map)) return false;
    for (int r = 0; r < dlg.sel.height; ++r) {
        const int row = dlg.sel.top - kMatrixTopRow + r;
        std::int16_t cells[kTuneCols];
        std::copy_n(map.cells[row], kTuneCols, cells);
        bool changed = false;
        for (int c = 0; c < dlg.sel.width; ++c) {
            const int col = dlg.sel.left - 1 + c;
            const std::int16_t raw = ApplyCell(o, cells[col], map.scale, map.min, map.max);
            changed = changed || raw != cells[col];
            cells[col] = raw;
        }
        if (changed && !SendTuneRow(kind, row, cells)) return false;
    }
    return true;
}

bool ApplyTuneValues() {
    MouseCursorScope cursor(VAL_HOUR_GLASS_CURSOR);
    TunedMap map;
    MapValOperand o;
    // The cylinders the ECU tunes decide, not what a redraw of the settings last showed.
    if (!GetCylinderSelection() || !TunedMapOf(dlg.kind, ExchangeByPressure(), map) ||
        !ReadDialogOperand(o, map))
        return false;
    if (dlg.kind == kKindAdvance) return ApplyToMatrix(dlg.kind, o);
    int all = 0;
    GetCtrlVal(hMtvPanel, V::TOGBall, &all);
    if (!all) return !CylinderSelected(dlg.kind) || ApplyToMatrix(dlg.kind, o);
    for (int cyl = 1; cyl <= 4; ++cyl)
        if (CylinderSelected(cyl) && !ApplyToMatrix(cyl, o)) return false;
    return true;
}

bool OpenTuneValueDialog() {
    dlg.sel = TakeSelection();
    dlg.kind = ShownMapKind();
    if (!IsMapTuning()) return true;
    if (!GetCylinderSelection()) return false;
    if (IsInjectionKind(dlg.kind) && !CylinderSelected(dlg.kind)) return true;
    if (!IsInjectionKind(dlg.kind) && dlg.kind != kKindAdvance) return false;
    if (dlg.sel.height == 0) {
        MessagePopup(kTitle, "No selection...");
        return true;
    }
    return InitTuneValueDialog(true) && RunValueDialog(hMtvPanel, posMtvPanel, zoomMtvPanel, dlg.done);
}

} // namespace

bool SendTuneRow(int kind, int row, const std::int16_t (&cells)[kTuneCols]) {
    if (row < 0 || row >= kTuneRows || (!IsInjectionKind(kind) && kind != kKindAdvance)) return false;
    std::array<std::uint8_t, 2 * kTuneCols> bytes;
    for (int c = 0; c < kTuneCols; ++c) {
        const auto v = static_cast<std::uint16_t>(cells[c]);
        bytes[static_cast<std::size_t>(2 * c)] = static_cast<std::uint8_t>(v >> 8);
        bytes[static_cast<std::size_t>(2 * c + 1)] = static_cast<std::uint8_t>(v);
    }
    const auto r = static_cast<std::uint8_t>(row);
    if (IsInjectionKind(kind))
        return DoSendValues(VALUES_TUNING_ROW, TUNING_ROW_4X, r, static_cast<std::uint8_t>(kind - 1), bytes);
    return DoSendValues(VALUES_TUNING_ROW, TUNING_ROW_1X, r, 0, bytes);
}

int MapTuneEnabCellCol(int panel, int control, int event, void*, int y, int x) {
    if (CheckfBusy()) return 0;
    switch (event) {
    case EVENT_LEFT_CLICK:
        SetTableClicked(true);
        return 0;
    case EVENT_LEFT_DOUBLE_CLICK: {
        Point cell{};
        if (!TrackingEditable() || !CellOfEvent(panel, control, y, x, cell) || cell.x > kTuneCols) return 0;
        if (cell.y == 1)
            CycleTrackMode(Point{cell.x, 0}, 0, kTuneRows, cell.x - 1, cell.x);
        else
            CycleTrackMode(Point{cell.x, cell.y - 1}, cell.y - kMatrixTopRow, cell.y - 1, cell.x - 1, cell.x);
        return 0;
    }
    case EVENT_RIGHT_CLICK:
        if (!OpenTuneValueDialog()) ReportError();
        return 0;
    case EVENT_KEYPRESS:
        break;
    default:
        return 0;
    }
    // The key the help names, as on every page with a value dialog: the right click's way in.
    if (y == kValueDialogKey) {
        if (!OpenTuneValueDialog()) ReportError();
        return 1;
    }
    const int key = y & ~VAL_MODIFIER_MASK;
    const int kind = ShownMapKind();
    if (key == '+' || key == '-') {
        GetCylinderSelection();
        if ((IsInjectionKind(kind) && CylinderSelected(kind)) || kind == kKindAdvance) {
            if (!StepTuneCell(key == '+')) ReportError();
        }
        return 1;
    }
    for (int pass : {VAL_ESC_VKEY, VAL_UP_ARROW_VKEY, VAL_DOWN_ARROW_VKEY, VAL_LEFT_ARROW_VKEY,
                     VAL_RIGHT_ARROW_VKEY, VAL_PAGE_UP_VKEY, VAL_PAGE_DOWN_VKEY})
        if (key == pass) return 0;
    return 1;
}

int MapTuneEnabRow(int panel, int control, int event, void*, int y, int x) {
    if (CheckfBusy() || event != EVENT_LEFT_DOUBLE_CLICK) return 0;
    Point cell{};
    if (TrackingEditable() && CellOfEvent(panel, control, y, x, cell) && cell.y <= kTuneRows)
        CycleTrackMode(Point{0, cell.y}, cell.y - 1, cell.y, 0, kTuneCols);
    return 0;
}

int MapTuneEnabCellAll(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_LEFT_DOUBLE_CLICK || !TrackingEditable()) return 0;
    CycleTrackMode(Point{0, 0}, 0, kTuneRows, 0, kTuneCols);
    return 0;
}

int DlgTuneMapVal(int, int control, int event, void*, int, int) {
    if (CheckfBusy()) return 0;
    RememberValueDialogPlace(hMtvPanel, posMtvPanel, zoomMtvPanel);
    bool ok = true;
    if (control == V::NSval && (event == EVENT_COMMIT || event == EVENT_VAL_CHANGED)) {
        ok = PreviewTuneValues();
    } else if (event != EVENT_COMMIT) {
        return 0;
    } else if (control == V::RBtuneMapVal) {
        ok = InitTuneValueDialog(false) && ScatterMp2Panel();
    } else if (control == V::CBapply) {
        ok = ApplyTuneValues();
        ok = ScatterMp2Panel() && ok;
        dlg.done = true;
    } else if (control == V::CBcancel) {
        ok = ScatterMp2Panel();
        dlg.done = true;
    }
    if (!ok) ReportError();
    return 0;
}
