// The tuning page's display: loading, the layout per map kind and mode, the table with its changed and
// tracked cells, the status area with its lights, the dimming of each tick and the running-cell marker.
#include "orvane/config/configbytes.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/utils.h"
#include "orvane/maps/mapcells.h"
#include "orvane/maps/mapdesc.h"
#include "orvane/tuning/gains.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <array>
#include <span>

int hMp2Panel = 0;
int hMtvPanel = 0;
std::uint8_t mtLambda2 = 0;

namespace {

namespace M = MAPS2;

constexpr int kChangedColor = 0xFF0000;
constexpr int kMarkColor = 0xC0C0C0;        // the running cell, untracked
constexpr int kMarkTrackedColor = 0xFFCFCF; // the running cell, tracked
constexpr int kMatchColor = 0x00FF00;
constexpr int kTrackColors[] = {0, 0xC0FFC0, 0x00E0FF, 0x80A0FF}; // modes 1..3; 0 is the normal background

constexpr int kColumnWidth = 50; // pixels of a column of the tuning table: "32.000" at its font
constexpr int kScrollMargin = 5; // pixels kept beside a cell scrolled into view

int normalCellColor = VAL_WHITE; // the table's cell background in the resource
int lambdaColor = VAL_WHITE;     // the lambda readings' background in the resource

// The look of a lambda sensor button, read from the resource: CBlambda1's marks the sensor in use.
struct ButtonLook {
    int color = VAL_BLACK;
    int bold = 0;
};
ButtonLook chosenLook, otherLook;

// The running-cell marker of the last tick.
struct Mark {
    bool on = false;
    std::uint16_t colLo = 0, colHi = 0, rowLo = 0, rowHi = 0;
};
Mark lastMark;

constexpr int kManualOnly[] = {M::CBtuneManual, M::CBjFreeze,    M::CBaFreeze,    M::TBmanPause,
                               M::NUMjValOrg,   M::NSjTuneCor,   M::NUMjValTuned, M::NUMaValOrg,
                               M::NSaTuneCor,   M::NUMaValTuned, M::TMmanFreeze1, M::TMmanFreeze2,
                               M::TMtH2o1,      M::TMtH2o2,      M::TMman_1};
constexpr int kAutoOnly[] = {M::CBtuneAuto,     M::LEDisEnabled, M::LEDisTh2oErr,   M::NUMrpmMargin,
                             M::NUMminTh2o,     M::NUMmaxTh2o,   M::NUMsollLambda1, M::NUMsollLambda2,
                             M::NUMsollLambda3, M::NUMsetpoint,  M::NUMtolLambda,   M::NSlambdaMode,
                             M::NUMminTJ,       M::NUMmaxTJ,     M::NUMmsCellHold,  M::TMautoTrack1,
                             M::TMautoTrack2,   M::TMautoTrack3, M::TMautoTrack4,   M::TMautoTrack5,
                             M::TMautoTrack6,   M::TMautoTj1,    M::TMautoTj2,      M::TMautoTj3};

struct Range {
    int control;
    double min, max;
    int decimals;
};

bool SetRange(const Range& r) {
    return SetCtrlAttribute(hMp2Panel, r.control, ATTR_MIN_VALUE, r.min) >= 0 &&
           SetCtrlAttribute(hMp2Panel, r.control, ATTR_MAX_VALUE, r.max) >= 0 &&
           SetCtrlAttribute(hMp2Panel, r.control, ATTR_PRECISION, r.decimals) >= 0;
}

bool SetCellRange(int control, Rect cells, double min, double max, int decimals) {
    return SetTableCellRangeAttribute(hMp2Panel, control, cells, ATTR_MIN_VALUE, min) >= 0 &&
           SetTableCellRangeAttribute(hMp2Panel, control, cells, ATTR_MAX_VALUE, max) >= 0 &&
           SetTableCellRangeAttribute(hMp2Panel, control, cells, ATTR_PRECISION, decimals) >= 0;
}

// The load axis is manifold pressure: for the advance map by the configuration's turbo switch alone
// (there is one advance map, whichever injection map is tuned), for injection by the page's test.
bool LoadByPressure(int kind) {
    if (kind == kKindAdvance) return TurboEnable() != 0;
    return ShownByPressure();
}

bool TrackColours(int kind) {
    return isTuningAuto && IsInjectionKind(kind);
}

int CellBackground(int kind, int row, int col) {
    const int mode = TrackColours(kind) ? TrackModeOf(mtSettings, row, col) : 0;
    return mode == 0 ? normalCellColor : kTrackColors[mode];
}

const char* StatusText() {
    switch (TuningStateNow()) {
    case kTsLocked:
        return "ECU locked";
    case kTsOff:
        return "Tuning OFF";
    case kTsManual:
        return "Manual tuning";
    default:
        break;
    }
    if (!(mtInfo.state & kStateEnabled)) return "Waiting for match-enable...";
    for (const MtCellUpdate& c : mtInfo.cells)
        if (c.kind >= 2 && c.kind <= 5) return "Freezing cell...";
    return (mtInfo.state & kStateLambdaMatch) ? "Lambda match!" : "Waiting for lambda...";
}

bool SetLed(int control, bool on) {
    return SetCtrlVal(hMp2Panel, control, on ? 1 : 0) >= 0;
}

bool ShowLambda(int control, std::int16_t reading, bool sensor2) {
    const bool inUse = ((mtInfo.flags & kMtFlagLambda2) != 0) == sensor2;
    const bool green = IsMapTuning() && (mtInfo.state & kStateLambdaMatch) && inUse;
    return SetCtrlVal(hMp2Panel, control, reading / 10.0) >= 0 &&
           SetCtrlAttribute(hMp2Panel, control, ATTR_TEXT_BGCOLOR, green ? kMatchColor : lambdaColor) >= 0;
}

// The cylinder whose base injection time the page shows.
int ShownCylinder(int kind) {
    if (IsInjectionKind(kind)) return kind;
    for (int c = 1; c <= 4; ++c)
        if (CylinderSelected(c)) return c;
    return 1;
}

// The corrections as the ECU reports them, but for one the user changed that the ECU has not reported back
// yet: that one stays as the user left it.
bool ShowCorrections(int kind) {
    const double base = mtInfo.baseTj[ShownCylinder(kind) - 1] / 1000.0;
    const double ratio = mtInfo.injRatio / 1000.0;
    const double adv = mtInfo.baseAdv / 10.0;
    const double offset = mtInfo.advOffset / 10.0;
    return SetCtrlVal(hMp2Panel, M::NUMjValOrg, base) >= 0 &&
           (CorrectionHeld(M::NSjTuneCor) || SetCtrlVal(hMp2Panel, M::NSjTuneCor, ratio) >= 0) &&
           SetCtrlVal(hMp2Panel, M::NUMjValTuned, base * ratio) >= 0 &&
           SetCtrlVal(hMp2Panel, M::NUMaValOrg, adv) >= 0 &&
           (CorrectionHeld(M::NSaTuneCor) || SetCtrlVal(hMp2Panel, M::NSaTuneCor, offset) >= 0) &&
           SetCtrlVal(hMp2Panel, M::NUMaValTuned, adv + offset) >= 0;
}

// The interval of one axis around v, narrowed to one breakpoint in single-cell mode; false when the
// point lies outside the tolerance.
bool AxisInterval(std::int16_t v, std::span<const std::int16_t> bp, int tol, bool single, std::uint16_t& lo,
                  std::uint16_t& hi) {
    CercaIntervallo(lo, hi, v, bp, true);
    if (!single) return true;
    const int last = static_cast<int>(bp.size()) - 1;
    if (lo == hi) {
        if (v == bp[lo]) return true;
        if (lo == 0 && v < bp[0] - tol) return false;
        if (lo == last && v > bp[last] + tol) return false;
        return true;
    }
    if (v <= bp[lo] + tol) {
        hi = lo;
    } else if (v < bp[hi] - tol) {
        return false;
    } else {
        lo = hi;
    }
    return true;
}

bool PaintMark(const Mark& m, int kind, bool marking) {
    for (int row : {m.rowLo, m.rowHi})
        for (int col : {m.colLo, m.colHi}) {
            int colour = CellBackground(kind, row, col);
            if (marking) {
                const bool tracked = TrackColours(kind) && TrackModeOf(mtSettings, row, col) != 0;
                colour = tracked ? kMarkTrackedColor : kMarkColor;
            }
            if (SetTableCellAttribute(hMp2Panel, M::TABmatrix, Point{col + 1, row + kMatrixTopRow},
                                      ATTR_TEXT_BGCOLOR, colour) < 0)
                return false;
        }
    return true;
}

// Red and bold where the cell differs from the reference copy, else black and plain.
bool MarkTuneCell(const TunedMap& map, int row, int col) {
    const bool changed = map.cells[row][col] != map.ref[row][col];
    const Point cell{col + 1, row + kMatrixTopRow};
    return SetTableCellAttribute(hMp2Panel, M::TABmatrix, cell, ATTR_TEXT_COLOR,
                                 changed ? kChangedColor : VAL_BLACK) >= 0 &&
           SetTableCellAttribute(hMp2Panel, M::TABmatrix, cell, ATTR_TEXT_BOLD, changed ? 1 : 0) >= 0;
}

// Brings table column (1-based, held within 1..32) into view by the least horizontal scroll.
void ScrollToColumn(int column) {
    column = std::clamp(column, 1, kTuneCols);
    int offset = 0;
    int width = 0;
    if (GetCtrlAttribute(hMp2Panel, M::TABmatrix, ATTR_HSCROLL_OFFSET, &offset) < 0 ||
        GetCtrlAttribute(hMp2Panel, M::TABmatrix, ATTR_WIDTH, &width) < 0)
        return;
    const int visible = width - 2; // inside the frame
    const int left = (column - 1) * kColumnWidth;
    const int right = column * kColumnWidth;
    if (right > offset + visible)
        offset += right - (offset + visible) + kScrollMargin;
    else if (left < offset)
        offset -= offset - left + kScrollMargin;
    else
        return;
    SetCtrlAttribute(hMp2Panel, M::TABmatrix, ATTR_HSCROLL_OFFSET, std::max(offset, 0));
}

} // namespace

bool TunedMapOf(int kind, bool byPressure, TunedMap& map) {
    if (IsInjectionKind(kind)) {
        Map4x20x32& m = byPressure ? ecuMapData.map2 : ecuMapData.map1;
        const Map4x20x32& r = byPressure ? ecuMapRefData.map2 : ecuMapRefData.map1;
        map = {m.cells[kind - 1], r.cells[kind - 1], m.x, m.y, 1000, 0.0, 32.0};
        return true;
    }
    if (kind == kKindAdvance) {
        map = {ecuMapData.map3.cells,
               ecuMapRefData.map3.cells,
               ecuMapData.map3.x,
               ecuMapData.map3.y,
               10,
               -720.0,
               720.0};
        return true;
    }
    return false;
}

bool InitMp2Panel(int parent) {
    if (!LoadPage(parent, TUNEMAPVAL::id, hMtvPanel) || !LoadPage(parent, MAPS2::id, hMp2Panel)) return false;
    if (GetTableCellAttribute(hMp2Panel, M::TABmatrix, Point{1, kMatrixTopRow}, ATTR_TEXT_BGCOLOR,
                              &normalCellColor) < 0 ||
        GetCtrlAttribute(hMp2Panel, M::NUMistLambda1, ATTR_TEXT_BGCOLOR, &lambdaColor) < 0 ||
        GetCtrlAttribute(hMp2Panel, M::CBlambda1, ATTR_TEXT_COLOR, &chosenLook.color) < 0 ||
        GetCtrlAttribute(hMp2Panel, M::CBlambda1, ATTR_TEXT_BOLD, &chosenLook.bold) < 0 ||
        GetCtrlAttribute(hMp2Panel, M::CBlambda2, ATTR_TEXT_COLOR, &otherLook.color) < 0 ||
        GetCtrlAttribute(hMp2Panel, M::CBlambda2, ATTR_TEXT_BOLD, &otherLook.bold) < 0 ||
        !ShapeMapTables(hMp2Panel, {M::TABmatrix, M::TABbpy}))
        return false;
    for (int column = 1; column <= kTuneCols; ++column)
        if (SetTableColumnAttribute(hMp2Panel, M::TABmatrix, column, ATTR_COLUMN_WIDTH, kColumnWidth) < 0)
            return false;
    // Without the gains file the built-in ranges serve: the page works as usual.
    ReadMtInternFile();
    InitMtData();
    return LayoutTuneTable();
}

bool ScatterMp2Panel() {
    return LayoutTuneTable() && ShowTuneTable() && ShowTuneStatus(true);
}

int ShownMapKind() {
    int value = 0;
    if (GetCtrlVal(hMp2Panel, M::RINGmapType, &value) < 0) return 0;
    return value == 5 ? kKindAdvance : value;
}

bool LayoutTuneTable() {
    const int kind = ShownMapKind();
    const bool injection = IsInjectionKind(kind);
    if (!injection && kind != kKindAdvance) return false;
    const bool dimmed = injection ? MapCylinders() < kind : MapCylinders() == 0;
    const bool pressure = LoadByPressure(kind);
    const bool manual = isTuningManual != 0;
    if (!SetCellRange(M::TABmatrix, kMatrixCells, injection ? 0.0 : -720.0, injection ? 32.0 : 720.0,
                      injection ? 3 : 1) ||
        !SetCellRange(M::TABmatrix, kXCells, 0, 20000, 0) ||
        !SetCellRange(M::TABbpy, kYCells, 0, pressure ? 10000 : 100.0, pressure ? 0 : 1) ||
        SetCtrlVal(hMp2Panel, M::TMmapType, injection ? "[ms]" : "[deg]") < 0 ||
        SetCtrlAttribute(hMp2Panel, M::TABmatrix, ATTR_DIMMED, dimmed ? 1 : 0) < 0 ||
        SetCtrlVal(hMp2Panel, M::TMenabRows, pressure ? "M.A.P. [mBar] " : "Throttle [deg] ") < 0 ||
        SetCtrlVal(hMp2Panel, M::TMenabCols, " EngineSpeed [rpm]") < 0 ||
        SetCtrlAttribute(hMp2Panel, M::NUMfarf, ATTR_DIMMED, pressure ? 1 : 0) < 0 ||
        SetCtrlAttribute(hMp2Panel, M::NUMpair, ATTR_DIMMED, pressure ? 0 : 1) < 0 ||
        SetCtrlVal(hMp2Panel, M::TMtitleTuning1, manual ? "Maps tuning manual" : "Maps tuning auto") < 0 ||
        SetCtrlVal(hMp2Panel, M::TBisTurbo, (mtInfo.state & kStateByPressure) ? 1 : 0) < 0)
        return false;
    for (int c : kManualOnly)
        if (SetCtrlAttribute(hMp2Panel, c, ATTR_VISIBLE, manual ? 1 : 0) < 0) return false;
    for (int c : kAutoOnly)
        if (SetCtrlAttribute(hMp2Panel, c, ATTR_VISIBLE, manual ? 0 : 1) < 0) return false;
    const Range ranges[] = {
        {M::NSjTuneCor, 0, 2.0, 3},
        {M::NUMjValOrg, 0, 32.0, 3},
        {M::NUMjValTuned, 0, 32.0, 3},
        {M::NSaTuneCor, -30.0, 30.0, 1},
        {M::NUMaValOrg, -720.0, 720.0, 1},
        {M::NUMaValTuned, -720.0, 720.0, 1},
        {M::NUMrpmMargin, 0, 20000, 0},
        {M::NUMtolRpm, 0, 20000, 0},
        {M::NUMtolFarf, 0, 100.0, 1},
        {M::NUMtolPair, 0, 10000, 0},
        {M::NUMminTh2o, -30.0, 250.0, 1},
        {M::NUMmaxTh2o, -30.0, 250.0, 1},
        {M::NUMsollLambda1, 0, 1300.0, 1},
        {M::NUMsollLambda2, 0, 1300.0, 1},
        {M::NUMsollLambda3, 0, 1300.0, 1},
        {M::NUMtolLambda, 0, 1300.0, 1},
        {M::NSlambdaMode, 0, static_cast<double>(mtInternLimits.lambdaModes), 0},
        {M::NUMminTJ, 0, 32.0, 3},
        {M::NUMmaxTJ, 0, 32.0, 3},
        {M::NUMmsCellHold, 0, 32767, 0},
    };
    for (const Range& r : ranges)
        if (!SetRange(r)) return false;
    const int setpoints[] = {M::NUMsollLambda1, M::NUMsollLambda2, M::NUMsollLambda3};
    for (int i = 0; i < 3; ++i)
        if (SetCtrlAttribute(hMp2Panel, setpoints[i], ATTR_TEXT_BGCOLOR, kTrackColors[i + 1]) < 0)
            return false;
    lastMark = {};
    return LayoutTuneSteps();
}

bool ShowTuneTable() {
    const int kind = ShownMapKind();
    TunedMap map;
    if (!TunedMapOf(kind, ShownByPressure(), map)) return false;
    std::array<double, kTuneRows * kTuneCols> values;
    for (int r = 0; r < kTuneRows; ++r)
        for (int c = 0; c < kTuneCols; ++c) {
            values[static_cast<std::size_t>(r * kTuneCols + c)] = map.cells[r][c] / map.scale;
            if (!MarkTuneCell(map, r, c) ||
                SetTableCellAttribute(hMp2Panel, M::TABmatrix, Point{c + 1, r + kMatrixTopRow},
                                      ATTR_TEXT_BGCOLOR, CellBackground(kind, r, c)) < 0)
                return false;
        }
    if (SetTableCellRangeVals(hMp2Panel, M::TABmatrix, kMatrixCells, values, VAL_ROW_MAJOR) < 0) return false;
    std::array<double, kTuneCols> x;
    for (int c = 0; c < kTuneCols; ++c)
        x[static_cast<std::size_t>(c)] = map.x[c];
    std::array<double, kTuneRows> y;
    const double yScale = LoadByPressure(kind) ? 1.0 : 10.0;
    for (int r = 0; r < kTuneRows; ++r)
        y[static_cast<std::size_t>(r)] = map.y[r] / yScale;
    lastMark = {};
    return SetTableCellRangeVals(hMp2Panel, M::TABmatrix, kXCells, x, VAL_ROW_MAJOR) >= 0 &&
           SetTableCellRangeVals(hMp2Panel, M::TABbpy, kYCells, y, VAL_ROW_MAJOR) >= 0;
}

bool ShowTuneCells(std::span<const Point> cells) {
    TunedMap map;
    if (!TunedMapOf(ShownMapKind(), ShownByPressure(), map)) return false;
    for (const Point& p : cells)
        if (!MarkTuneCell(map, p.y, p.x) ||
            SetTableCellVal(hMp2Panel, M::TABmatrix, Point{p.x + 1, p.y + kMatrixTopRow},
                            map.cells[p.y][p.x] / map.scale) < 0)
            return false;
    return true;
}

bool SelectLambdaSensor(bool second) {
    mtLambda2 = second ? 1 : 0;
    const auto look = [](int control, const ButtonLook& l) {
        return SetCtrlAttribute(hMp2Panel, control, ATTR_TEXT_COLOR, l.color) >= 0 &&
               SetCtrlAttribute(hMp2Panel, control, ATTR_TEXT_BOLD, l.bold) >= 0;
    };
    return look(second ? M::CBlambda2 : M::CBlambda1, chosenLook) &&
           look(second ? M::CBlambda1 : M::CBlambda2, otherLook);
}

void ShowTuneStatusText(const char* text) {
    SetCtrlVal(hMp2Panel, M::TMstatus, text);
}

bool ShowTuneStatus(bool reshowSettings) {
    if (!GetCylinderSelection() || SetCtrlVal(hMp2Panel, M::TBautoScroll, fAutoScroll ? 1 : 0) < 0)
        return false;
    ShowTuneStatusText(StatusText());
    const std::uint8_t st = mtInfo.state;
    const std::uint8_t cond = mtInfo.conditions;
    if (!SetLed(M::LEDisEnabled, st & kStateEnabled) || !SetLed(M::LEDisRpmErr, cond & kCondRpm) ||
        !SetLed(M::LEDisTh2oErr, cond & kCondTh2o) || !SetLed(M::LEDisCutOff, cond & kCondCutOff) ||
        !SetLed(M::LEDisCranking, cond & kCondCranking) ||
        !SetLed(M::LEDisTransient, cond & kCondTransient) ||
        !SetLed(M::LEDisLambda1Warning, st & kStateLambda1Warn) ||
        !SetLed(M::LEDisLambda2Warning, st & kStateLambda2Warn) ||
        !SetLed(M::LEDisOverInj, cond & kCondOverInj))
        return false;
    if (reshowSettings && !ScatterMtSettings()) return false;
    const bool setpoint = mtInfo.setpoint >= 0;
    return SetCtrlVal(hMp2Panel, M::NUMrpm, mtInfo.rpm) >= 0 &&
           SetCtrlVal(hMp2Panel, M::NUMfarf, mtInfo.farf / 10.0) >= 0 &&
           SetCtrlVal(hMp2Panel, M::NUMpair, mtInfo.pair) >= 0 &&
           ShowLambda(M::NUMistLambda1, mtInfo.lambda1, false) &&
           ShowLambda(M::NUMistLambda2, mtInfo.lambda2, true) &&
           SetCtrlVal(hMp2Panel, M::NUMsetpoint, setpoint ? mtInfo.setpoint / 10.0 : 0.0) >= 0 &&
           SetCtrlAttribute(hMp2Panel, M::NUMsetpoint, ATTR_DIMMED, setpoint ? 0 : 1) >= 0 &&
           SetCtrlVal(hMp2Panel, M::NUMtH2O, mtInfo.th2o / 10.0) >= 0 && ShowCorrections(ShownMapKind());
}

void SetMtDimming(MtDimming d) {
    const bool closed = d == MtDimming::Closed;
    const bool tuning = d == MtDimming::Tuning;
    const bool paused = (mtInfo.state & kStatePaused) != 0;
    const int cylinders = MapCylinders();
    const auto dim = [](int control, bool on) {
        SetCtrlAttribute(hMp2Panel, control, ATTR_DIMMED, on ? 1 : 0);
    };
    for (int c : {M::CBtuneManual, M::CBtuneAuto})
        dim(c, closed || tuning || mtCylMask == 0);
    dim(M::CBtuneOff, !tuning);
    dim(M::CBmtLoad, tuning);
    const int toggles[] = {M::TBcyl1, M::TBcyl2, M::TBcyl3, M::TBcyl4};
    for (int i = 0; i < 4; ++i)
        dim(toggles[i], tuning || i >= cylinders);
    for (int c : {M::TBmtjByPair, M::TBselectEdbw, M::TBselectSingleMul})
        dim(c, tuning);
    if (!tuning) dim(M::TBselectEdbw, (mtInfo.extDbw & 0x80) == 0);
    for (int c : {M::NSjTuneCor, M::NSaTuneCor, M::CBjFreeze, M::CBaFreeze})
        dim(c, !tuning || paused);
    dim(M::NSlambdaMode, false);
    for (int c :
         {M::TBmanPause, M::NUMistLambda1, M::NUMistLambda2, M::LEDisLambda1Warning, M::LEDisLambda2Warning})
        dim(c, !tuning);
}

void MarkRunningCell(std::int16_t rpm, std::int16_t farf, std::int16_t pair) {
    const int kind = ShownMapKind();
    TunedMap map;
    if (!TunedMapOf(kind, ShownByPressure(), map)) return;
    const bool pressure = LoadByPressure(kind);
    const bool single = mtSettings.singleMul != 0;
    Mark now;
    now.on =
        AxisInterval(rpm, std::span(map.x, kTuneCols), mtSettings.tolRpm, single, now.colLo, now.colHi) &&
        AxisInterval(pressure ? pair : farf, std::span(map.y, kTuneRows),
                     pressure ? mtSettings.tolPair : mtSettings.tolFarf, single, now.rowLo, now.rowHi);
    const bool moved = now.colLo != lastMark.colLo || now.colHi != lastMark.colHi ||
                       now.rowLo != lastMark.rowLo || now.rowHi != lastMark.rowHi;
    if (lastMark.on && (!now.on || moved)) PaintMark(lastMark, kind, false);
    if (now.on) PaintMark(now, kind, true);
    if (fAutoScroll && !fAutoScrollHeld && now.on) {
        if (now.colHi > lastMark.colHi)
            ScrollToColumn(now.colHi + 4);
        else if (now.colLo < lastMark.colLo)
            ScrollToColumn(now.colLo < 4 ? 1 : now.colLo - 2);
    }
    lastMark = now;
}
