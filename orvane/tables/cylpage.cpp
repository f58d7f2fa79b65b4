#include "orvane/tables/cylpage.h"

#include "orvane/config/configbytes.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/loadpage.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/valuedialog.h"
#include "orvane/maps/cellcalc.h"
#include "orvane/tables/axisfix.h"
#include "orvane/tables/tablefields.h"

#include <algorithm>
#include <array>
#include <span>

namespace {

constexpr int kStepModeMaxSteps = 16; // more selector steps than this: the selector is read in volts
constexpr char kNoSelection[] = "No selection...";

constexpr RingItem kCylItems[] = {
    {"Cyl. 1", 0, [] { return ConfiguredCylinders() >= 1; }},
    {"Cyl. 2", 1, [] { return ConfiguredCylinders() >= 2; }},
    {"Cyl. 3", 2, [] { return ConfiguredCylinders() >= 3; }},
    {"Cyl. 4", 3, [] { return ConfiguredCylinders() >= 4; }},
};

// The cylinder shown stays one that is configured: the last present one when the count fell below it,
// the first matrix when there is none. Only the fill does this, never a read-back, which must store the
// cells on screen into the matrix they came from.
void KeepCylinderValid(CylPageState& s) {
    const int count = ConfiguredCylinders();
    if (s.curCyl >= count) s.curCyl = static_cast<std::uint8_t>(count > 0 ? count - 1 : 0);
}

// The selector curve: in volts a numeric breakpoint row over all 16 points (its formats are its field
// part's); in steps a row without values ("S") and only the configured steps enabled; dimmed without a
// selector.
bool LayoutSelectorCurve(const CylPageDesc& d) {
    const int p = *d.panel;
    const int steps = MaxRtcSteps();
    const bool volts = SelectorInVolts();
    d.state.selectorShownInVolts = volts;
    const int table = d.curveTables[kSelectorCurve].control;
    const Rect xRow = MakeRect(1, 1, 1, 16);
    if (SetCtrlAttribute(p, table, ATTR_DIMMED, steps == 0 ? 1 : 0) < 0 ||
        SetTableRowAttribute(p, table, 1, ATTR_LABEL_TEXT, volts ? "[Volt]" : "S") < 0 ||
        SetTableCellRangeAttribute(p, table, xRow, ATTR_CELL_TYPE,
                                   volts ? VAL_CELL_NUMERIC : VAL_CELL_STRING) < 0)
        return false;
    for (int col = 1; col <= 16; ++col)
        if (SetTableColumnAttribute(p, table, col, ATTR_CELL_DIMMED, volts || col <= steps ? 0 : 1) < 0)
            return false;
    return volts || BlankCells(p, table, xRow);
}

CylMiniMaps& Maps(const CylPageDesc& d) {
    return ecuMapData.*d.maps;
}

// Matrix cell of the shown cylinder under table cell (row, col).
std::int16_t& MatrixCell(const CylPageDesc& d, int row, int col) {
    return Maps(d).cells[d.state.curCyl][row - kMatrixCells.top][col - kMatrixCells.left];
}

void ReportError(const char* title) {
    MessagePopup(title, szGenericError);
}

// The dialog's block as the table shows it, one cell after another, column by column.
template <class Visit> void EachSelectedCell(const CylPageDesc& d, Visit visit) {
    const Rect& s = d.state.sel;
    for (int i = 0; i < s.width; ++i)
        for (int j = 0; j < s.height; ++j)
            visit(MatrixCell(d, s.top + j, s.left + i));
}

MapValOp OptionOp(int option) {
    return option == 1 ? MapValOp::Add : option == 2 ? MapValOp::Percent : MapValOp::Set;
}

bool ReadOperand(const CylPageDesc& d, MapValOperand& o) {
    int option = 0;
    double typed = 0;
    if (GetCtrlVal(*d.valPanel, d.valRadio, &option) < 0 || option < 0 || option > 2 ||
        GetCtrlVal(*d.valPanel, d.valNumber, &typed) < 0)
        return false;
    o = MakeMapValOperand(OptionOp(option), typed, d.state.valScale);
    return true;
}

// The block shows what the operation would store; the image is left alone.
bool Preview(const CylPageDesc& d) {
    MapValOperand o;
    if (!ReadOperand(d, o)) return false;
    std::array<double, kMatrixRows * kMatrixCols> values{};
    std::size_t n = 0;
    const CylPageState& s = d.state;
    EachSelectedCell(
        d, [&](std::int16_t raw) { values[n++] = PreviewCell(o, raw, s.valScale, s.valLo, s.valHi); });
    return SetTableCellRangeVals(*d.panel, d.table, s.sel, std::span(values.data(), n), VAL_COLUMN_MAJOR) >=
           0;
}

bool Apply(const CylPageDesc& d) {
    MapValOperand o;
    if (!ReadOperand(d, o)) return false;
    const MouseCursorScope wait(VAL_HOUR_GLASS_CURSOR);
    CylPageState& s = d.state;
    EachSelectedCell(d, [&](std::int16_t& raw) { raw = ApplyCell(o, raw, s.valScale, s.valLo, s.valHi); });
    s.valDone = true; // the cells are stored: the dialog closes even if the table cannot show them
    return ScatterCylPage(d);
}

// The table's selection without the breakpoint row and column; the active cell alone when nothing or one
// cell is selected. Empty when only breakpoints were selected.
bool TakeSelection(const CylPageDesc& d) {
    const int p = *d.panel;
    Rect s;
    Point active;
    if (SetActiveCtrl(p, d.table) < 0 || GetTableSelection(p, d.table, &s) < 0 ||
        GetActiveTableCell(p, d.table, &active) < 0)
        return false;
    if (s.height <= 1 && s.width <= 1) s = {active.y, active.x, 1, 1};
    if (s.top < kMatrixCells.top) {
        s.height -= kMatrixCells.top - s.top;
        s.top = kMatrixCells.top;
    }
    if (s.left < kMatrixCells.left) {
        s.width -= kMatrixCells.left - s.left;
        s.left = kMatrixCells.left;
    }
    // Nothing beyond the matrix, whatever the table reports.
    s.height = std::min(s.height, kMatrixCells.top + kMatrixCells.height - s.top);
    s.width = std::min(s.width, kMatrixCells.left + kMatrixCells.width - s.left);
    if (s.height <= 0 || s.width <= 0) s = {};
    d.state.sel = s;
    return SetTableSelection(p, d.table, s) >= 0;
}

} // namespace

int ConfiguredCylinders() {
    return std::min<int>(CylinderCount(), kCylMatrices);
}

bool SelectorInVolts() {
    return MaxRtcSteps() > kStepModeMaxSteps;
}

void InitCylData(const CylPageDesc& d) {
    InitFields(d.fields);
    InitFields(d.rtcXField);
    InitFields(d.allMatrices);
}

bool FillCylRing(const CylPageDesc& d) {
    return FillRing(*d.panel, d.ring, kCylItems);
}

bool FormatCylPage(const CylPageDesc& d) {
    KeepCylinderValid(d.state);
    return d.fillRing() == 0 && LayoutSelectorCurve(d) && SetCtrlVal(*d.panel, d.ring, d.state.curCyl) >= 0;
}

bool InitCylPage(const CylPageDesc& d) {
    InitCylData(d);
    const int p = *d.panel;
    for (const CurveTable& t : d.curveTables)
        if (!LabelTableRows(p, t.control, {t.xUnit, t.valueUnit}) ||
            !MarkBreakpointCells(p, t.control, MakeRect(1, 1, 1, 16)))
            return false;
    return LookMatrixTable(p, d.table);
}

bool ScatterCylPage(const CylPageDesc& d) {
    return ScatterFieldPage({d.panel, d.parts, d.format, d.fix});
}

// In step mode the selector's breakpoints are not on screen: what is stored stays.
bool GatherCylPage(const CylPageDesc& d) {
    return GatherFieldPage({d.panel, d.parts, d.format, d.fix});
}

bool FixCylPage(const CylPageDesc& d) {
    bool changed = false;
    for (int i = 0; i < kCorrectionCurves; ++i) {
        // The hidden step-mode breakpoints are no axis: repairing them would overwrite the step values.
        if (i == kSelectorCurve && !SelectorInVolts()) continue;
        changed = FixCurve((ecuMapData.*d.curves)[i], EqualPoints::Allowed) || changed;
    }
    return FixCylMiniMaps(Maps(d)) || changed;
}

int CylPageEvent(const CylPageDesc& d, int panel, int control, int event, int eventData1) {
    if (CheckfBusy() || panel != *d.panel) return 0;
    if (control == d.ring) {
        if (event != EVENT_COMMIT) return 0;
        // The choice is taken before the read-back, whose repairs show the page again with the ring on
        // the cylinder the cells on screen belong to.
        int cyl = 0;
        const bool chosen = GetCtrlVal(panel, d.ring, &cyl) >= 0 && cyl >= 0 && cyl < kCylMatrices;
        if (!chosen || !GatherCylPage(d)) {
            // The cells on screen were not all stored: the cylinder they belong to stays shown.
            SetCtrlVal(panel, d.ring, d.state.curCyl);
            ReportError(d.title);
            return 0;
        }
        d.state.curCyl = static_cast<std::uint8_t>(cyl);
        if (!ScatterCylPage(d)) ReportError(d.title);
        return 0;
    }
    if (control != d.table) return 0;
    switch (event) {
    case EVENT_VAL_CHANGED:
        if (!GatherCylPage(d) || !ScatterCylPage(d)) ReportError(d.title);
        return 0;
    case EVENT_RIGHT_CLICK:
        if (!GatherCylPage(d) || !d.openValDialog()) ReportError(d.valTitle);
        return 1;
    case EVENT_RIGHT_DOUBLE_CLICK:
        return 1;
    case EVENT_KEYPRESS:
        if (eventData1 != kValueDialogKey) return 0;
        if (GatherCylPage(d) && d.openValDialog()) return 1;
        ReportError(d.valTitle);
        return 0;
    default:
        return 0;
    }
}

bool OpenCylValDialog(const CylPageDesc& d) {
    if (!TakeSelection(d)) return false;
    if (d.state.sel.height == 0) {
        MessagePopup(d.valTitle, kNoSelection);
        return true;
    }
    return d.setupValDialog(1) && RunValueDialog(*d.valPanel, *d.state.pos, *d.state.zoom, d.state.valDone);
}

bool SetupCylValDialog(const CylPageDesc& d, bool resetOption) {
    const int p = *d.valPanel;
    int option = 0;
    if (!resetOption && (GetCtrlVal(p, d.valRadio, &option) < 0 || option < 0 || option > 2)) return false;
    CylPageState& s = d.state;
    s.valLo = d.valLo;
    s.valHi = d.valHi;
    s.valScale = d.valScale;
    const ValOption& o = d.options[option];
    // "Set" starts at the block's corner cell, held within what may be set.
    const double start =
        option == 0 ? std::clamp(MatrixCell(d, s.sel.top, s.sel.left) / s.valScale, o.min, o.max) : 0.0;
    return SetCtrlVal(p, d.valRadio, option) >= 0 &&
           SetCtrlAttribute(p, d.valNumber, ATTR_PRECISION, o.decimals) >= 0 &&
           SetCtrlAttribute(p, d.valNumber, ATTR_INCR_VALUE, o.inc) >= 0 &&
           SetCtrlAttribute(p, d.valNumber, ATTR_MIN_VALUE, o.min) >= 0 &&
           SetCtrlAttribute(p, d.valNumber, ATTR_MAX_VALUE, o.max) >= 0 &&
           SetCtrlVal(p, d.valNumber, start) >= 0 &&
           SetCtrlAttribute(p, d.valNumber, ATTR_LABEL_TEXT, o.unit) >= 0 &&
           SetPanelAttribute(p, ATTR_TITLE, d.valTitle) >= 0;
}

int CylValDialogEvent(const CylPageDesc& d, int panel, int control, int event) {
    if (CheckfBusy() || panel != *d.valPanel || !RememberValueDialogPlace(panel, *d.state.pos, *d.state.zoom))
        return 0;
    bool ok = true;
    if (control == d.valNumber) {
        if (event != EVENT_COMMIT && event != EVENT_VAL_CHANGED) return 0;
        ok = Preview(d);
    } else if (event != EVENT_COMMIT) {
        return 0;
    } else if (control == d.valRadio) {
        ok = d.setupValDialog(0) && ScatterCylPage(d);
    } else if (control == d.valApply) {
        ok = Apply(d);
    } else if (control == d.valCancel) {
        ok = ScatterCylPage(d);
        d.state.valDone = true;
    }
    if (!ok) ReportError(d.valTitle);
    return 0;
}
