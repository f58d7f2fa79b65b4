#include "orvane/maps/mapval.h"

#include "orvane/core/ecudata.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/maps/cellcalc.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/interp.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/mapcells.h"
#include "orvane/ui/screen.h"

#include <algorithm>
#include <array>
#include <span>

int hMpvPanel = 0;
MapValContext mapValContext{};
SettingsPoint posMpvPanel = {kUnplaced, kUnplaced};
int zoomMpvPanel = 0;

void ResetMpvPlace() {
    posMpvPanel = {kUnplaced, kUnplaced};
    zoomMpvPanel = 0;
}

bool LoadMpvPanel(int parent) {
    return LoadPage(parent, MAPVAL::id, hMpvPanel);
}

namespace {

constexpr int kNoMode = -13;
// The radio buttons in the order in which the mode is looked up.
constexpr int kModes[] = {MAPVAL::RBset,       MAPVAL::RBadd,       MAPVAL::RBpercAdd, MAPVAL::RBinterp,
                          MAPVAL::RBinterpRow, MAPVAL::RBinterpCol, MAPVAL::RBcopy,    MAPVAL::RBreset};
constexpr char kTitle[] = "Edit Map";

void ReportError() {
    MessagePopup(kTitle, szGenericError);
}

bool IsInterpolation(int op) {
    return op == MAPVAL::RBinterp || op == MAPVAL::RBinterpRow || op == MAPVAL::RBinterpCol;
}

// The arithmetic of the three value operations; false for the others.
bool ValueOpOf(int op, MapValOp* kind) {
    switch (op) {
    case MAPVAL::RBset:
        *kind = MapValOp::Set;
        return true;
    case MAPVAL::RBadd:
        *kind = MapValOp::Add;
        return true;
    case MAPVAL::RBpercAdd:
        *kind = MapValOp::Percent;
        return true;
    default:
        return false;
    }
}

// The value control read and brought to whole steps for the current operation.
bool ReadOperand(MapValOperand* operand) {
    MapValOp kind;
    double typed = 0;
    if (!ValueOpOf(GetMapValMode(), &kind) || GetCtrlVal(hMpvPanel, MAPVAL::NSval, &typed) < 0) return false;
    *operand = MakeMapValOperand(kind, typed, mapValContext.scale);
    return true;
}

// Matrix cell [row][col] of the block's cell k, counting column by column.
struct BlockCell {
    int row;
    int col;
};
BlockCell CellAt(const Rect& s, int k) {
    return {s.top - kMatrixTopRow + k % s.height, s.left - 1 + k / s.height};
}
int CellCount(const Rect& s) {
    return s.height * s.width;
}

bool Preview() {
    MapValOperand o;
    if (!ReadOperand(&o)) return false;
    const MapValContext& c = mapValContext;
    std::array<double, kMapRows * kMapCols> values;
    const int n = CellCount(c.selection);
    for (int k = 0; k < n; ++k) {
        const BlockCell b = CellAt(c.selection, k);
        values[k] = PreviewCell(o, (*c.matrix)[b.row][b.col], c.scale, c.limitMin, c.limitMax);
    }
    return SetTableCellRangeVals(hMp1Panel, MAPS1::TABmatrix, c.selection, std::span(values.data(), n),
                                 VAL_COLUMN_MAJOR) >= 0;
}

// The matrices that a change of the block writes: the shown one, or all that AllMatrixIndexes names.
int WrittenMatrices(const MapDesc& d, bool all, MatrixList& out) {
    if (all) return AllMatrixIndexes(d, out);
    out[0] = CurMatrixIndex(d);
    return 1;
}

void CopyBlockToAll(const MapDesc& d) {
    const MapValContext& c = mapValContext;
    MapBlock block = d.block(ecuMapData);
    MatrixList targets;
    const int count = AllMatrixIndexes(d, targets);
    for (int k = 0; k < CellCount(c.selection); ++k) {
        const BlockCell b = CellAt(c.selection, k);
        for (int t = 0; t < count; ++t)
            block.cells[targets[t]][b.row][b.col] = (*c.matrix)[b.row][b.col];
    }
}

// Set, add or percent into the image; false when the value control cannot be read.
bool ApplyValueOp(const MapDesc& d) {
    MapValOperand o;
    if (!ReadOperand(&o)) return false;
    int all = 0;
    if (!SingleMatBit(d) && GetCtrlVal(hMpvPanel, MAPVAL::TOGBall, &all) < 0) return false;
    const MapValContext& c = mapValContext;
    MapBlock block = d.block(ecuMapData);
    MatrixList targets;
    const int count = WrittenMatrices(d, SingleMatBit(d) || all != 0, targets);
    for (int k = 0; k < CellCount(c.selection); ++k) {
        const BlockCell b = CellAt(c.selection, k);
        for (int t = 0; t < count; ++t) {
            std::int16_t& cell = block.cells[targets[t]][b.row][b.col];
            cell = ApplyCell(o, cell, c.scale, c.limitMin, c.limitMax);
        }
    }
    return true;
}

void Apply() {
    const MapDesc* d = CurMapDesc();
    const int op = GetMapValMode();
    const Rect& s = mapValContext.selection;
    if (d == nullptr) {
        ReportError();
    } else if (IsInterpolation(op) || op == MAPVAL::RBreset) {
        // A failed interpolation or reset leaves the dialog open.
        const bool ok = op == MAPVAL::RBreset ? ResetMapSelection(s.top, s.left, s.height, s.width)
                                              : InterpMapSelection(op, s.top, s.left, s.height, s.width);
        if (ok)
            mapValContext.done = true;
        else
            ReportError();
    } else if (op == MAPVAL::RBcopy) {
        CopyBlockToAll(*d);
        mapValContext.done = true;
    } else if (MapValOp kind; ValueOpOf(op, &kind)) {
        if (!ApplyValueOp(*d)) {
            ReportError();
            return;
        }
        if (!ScatterMp1Panel()) ReportError();
        mapValContext.done = true;
    } else {
        ReportError();
    }
}

// The dialog's place while the program runs, taken whenever the user touches it.
void RememberPlace() {
    GetPanelAttribute(hMpvPanel, ATTR_WINDOW_ZOOM, &zoomMpvPanel);
    if (zoomMpvPanel != VAL_NO_ZOOM) return; // a zoomed window's place is not the one to come back to
    int top = 0;
    int left = 0;
    if (GetPanelAttribute(hMpvPanel, ATTR_TOP, &top) >= 0 &&
        GetPanelAttribute(hMpvPanel, ATTR_LEFT, &left) >= 0)
        posMpvPanel = {left, top};
}

struct ValueControl {
    double min;
    double max;
    double value;
    int decimals;
    double scale; // the control steps by 1 / scale
    const char* unit;
};

ValueControl ValueControlFor(const MapDesc& d, int op) {
    if (op == MAPVAL::RBadd) return {d.addMin, d.addMax, 0, d.valDecimals, d.valScale, d.unit};
    if (op == MAPVAL::RBset || IsInterpolation(op)) {
        const Rect& s = mapValContext.selection;
        // The control starts at the corner cell, held within what may be set, so that Apply without a
        // change never writes a value outside the set range.
        const double corner = (*mapValContext.matrix)[s.top - kMatrixTopRow][s.left - 1] / d.valScale;
        return {d.setMin,      d.setMax,   std::clamp(corner, d.setMin, d.setMax),
                d.valDecimals, d.valScale, d.unit};
    }
    return {-100, 100, 0, 1, 10, "[%]"};
}

bool SetValueControl(const ValueControl& v) {
    const int p = hMpvPanel;
    const int c = MAPVAL::NSval;
    return SetCtrlAttribute(p, c, ATTR_PRECISION, v.decimals) >= 0 &&
           SetCtrlAttribute(p, c, ATTR_INCR_VALUE, 1.0 / v.scale) >= 0 &&
           SetCtrlAttribute(p, c, ATTR_MIN_VALUE, v.min) >= 0 &&
           SetCtrlAttribute(p, c, ATTR_MAX_VALUE, v.max) >= 0 && SetCtrlVal(p, c, v.value) >= 0 &&
           SetCtrlAttribute(p, c, ATTR_LABEL_TEXT, v.unit) >= 0;
}

struct DialogAttr {
    int control;
    int attribute;
    bool value;
};

} // namespace

int GetMapValMode() {
    for (int op : kModes) {
        int on = 0;
        if (GetCtrlVal(hMpvPanel, op, &on) < 0) return kNoMode;
        if (on != 0) return op;
    }
    return kNoMode;
}

bool SetMapValMode(int op) {
    bool known = false;
    for (int mode : kModes) {
        known = known || mode == op;
        if (SetCtrlVal(hMpvPanel, mode, mode == op ? 1 : 0) < 0) return false;
    }
    return known;
}

bool SetupMapValDialog(bool opening) {
    const MapDesc* d = CurMapDesc();
    CurMapInfo info;
    if (d == nullptr || !GetCurMapInfo(&info)) return false;
    const bool single = ShowsOneMatrix(*d);
    int op = d->percentFirst ? MAPVAL::RBpercAdd : MAPVAL::RBadd;
    if (opening) {
        if (SetCtrlVal(hMpvPanel, MAPVAL::TOGBall, 0) < 0) return false;
    } else {
        op = GetMapValMode();
        if (op == MAPVAL::RBcopy && single) op = MAPVAL::RBpercAdd;
    }
    if (!SetMapValMode(op)) return false;
    mapValContext.matrix = info.matrix;
    mapValContext.limitMin = d->valMin;
    mapValContext.limitMax = d->valMax;
    mapValContext.scale = d->valScale;
    if (!SetValueControl(ValueControlFor(*d, op))) return false;
    const Rect& s = mapValContext.selection;
    const bool noValue = IsInterpolation(op) || op == MAPVAL::RBreset || op == MAPVAL::RBcopy;
    const DialogAttr attrs[] = {
        {MAPVAL::TOGBall, ATTR_VISIBLE, !single},
        {MAPVAL::RBcopy, ATTR_VISIBLE, !single},
        {MAPVAL::TOGBall, ATTR_DIMMED, noValue},
        {MAPVAL::NSval, ATTR_DIMMED, noValue},
        {MAPVAL::RBinterp, ATTR_DIMMED, s.height < 3 || s.width < 3},
        {MAPVAL::RBinterpRow, ATTR_DIMMED, s.width < 3},
        {MAPVAL::RBinterpCol, ATTR_DIMMED, s.height < 3},
    };
    for (const DialogAttr& a : attrs)
        if (SetCtrlAttribute(hMpvPanel, a.control, a.attribute, a.value ? 1 : 0) < 0) return false;
    return SetCtrlAttribute(hMpvPanel, MAPVAL::TOGBall, ATTR_LABEL_TEXT, AllMatricesLabel(*d)) >= 0 &&
           SetPanelAttribute(hMpvPanel, ATTR_TITLE, kTitle) >= 0;
}

bool TakeMapValSelection() {
    Rect s;
    Point active;
    if (SetActiveCtrl(hMp1Panel, MAPS1::TABmatrix) < 0 ||
        GetTableSelection(hMp1Panel, MAPS1::TABmatrix, &s) < 0 ||
        GetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, &active) < 0)
        return false;
    if (s.height < 2 && s.width < 2) s = {active.y, active.x, 1, 1};
    // The X breakpoint row is no part of a block.
    if (s.top < kMatrixTopRow) {
        s.height -= kMatrixTopRow - s.top;
        s.top = kMatrixTopRow;
    }
    if (s.height < 1 || s.width < 1) s = {};
    mapValContext.selection = s;
    return SetTableSelection(hMp1Panel, MAPS1::TABmatrix, s) >= 0;
}

bool OpenMapValDialog() {
    if (!TakeMapValSelection()) return false;
    if (mapValContext.selection.height == 0) {
        MessagePopup(kTitle, "No selection...");
        return true;
    }
    if (!SetupMapValDialog(true)) return false;
    if (posMpvPanel.x != kUnplaced && (SetPanelAttribute(hMpvPanel, ATTR_TOP, posMpvPanel.y) < 0 ||
                                       SetPanelAttribute(hMpvPanel, ATTR_LEFT, posMpvPanel.x) < 0))
        return false;
    if (SetPanelAttribute(hMpvPanel, ATTR_WINDOW_ZOOM, zoomMpvPanel) < 0 || InstallPopup(hMpvPanel) < 0)
        return false;
    mapValContext.done = false;
    while (!mapValContext.done)
        WaitSystemEvents();
    return RemovePopup(0) >= 0;
}

int DlgMapVal(int panel, int control, int event, void*, int, int) {
    if (CheckfBusy() || panel != hMpvPanel) return 0;
    RememberPlace();
    if (control == MAPVAL::NSval) {
        if ((event == EVENT_COMMIT || event == EVENT_VAL_CHANGED) && !Preview()) ReportError();
        return 0;
    }
    if (event != EVENT_COMMIT) return 0;
    if (control == MAPVAL::CBapply) {
        Apply();
    } else if (control == MAPVAL::CBcancel) {
        if (!ScatterMp1Panel()) ReportError();
        mapValContext.done = true;
    } else if (control != MAPVAL::TOGBall) {
        if (!SetMapValMode(control) || !SetupMapValDialog(false) || !ScatterMp1Panel()) ReportError();
    }
    return 0;
}
