// Traction Ctrl. parameter page: the traction-control enable, its injection-factor and advance-correction
// maps over throttle and engine speed, and the 64 traction-control level records.
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/fields.h"
#include "orvane/core/loadpage.h"
#include "orvane/params/maptables.h"
#include "orvane/params/params.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int hPr10Panel = 0;

namespace {

constexpr std::size_t kKj = offsetof(EcuMapData, tcMapKj);
constexpr std::size_t kKa = offsetof(EcuMapData, tcMapKa);
constexpr std::size_t kLevels = offsetof(EcuMapData, tcLevels);
constexpr int kLevelRows = 64;
constexpr std::size_t kLevelSize = sizeof(TcLevelRecord);

// A column block of the level table: one field of every record, column after column.
constexpr FieldBinding LevelColumns(int col, int cols, std::size_t field, Raw raw, double divisor, double max,
                                    std::int64_t def) {
    return Cells(PARM10::TABlevelTc, {1, col, kLevelRows, cols}, kLevels + field, kLevelSize, RawSize(raw),
                 raw, divisor, 0, max)
        .Default(def)
        .InMap();
}

constexpr FieldBinding kMaps[] = {
    Toggle(PARM10::TBtcEnable, offsetof(EcuMapData, tcEnable), 0).InMap(),
    MapXRow<ExtMiniMap>(PARM10::TABmapKjTc, kKj).InMap(),
    MapYColumn<ExtMiniMap>(PARM10::TABmapKjTc, kKj, 10, 0, 100).InMap(),
    MapCells<ExtMiniMap>(PARM10::TABmapKjTc, kKj, 1000, 0, 1).Default(1000).InMap(),
    MapXRow<ExtMiniMap>(PARM10::TABmapKaTc, kKa).InMap(),
    MapYColumn<ExtMiniMap>(PARM10::TABmapKaTc, kKa, 10, 0, 100).InMap(),
    MapCells<ExtMiniMap>(PARM10::TABmapKaTc, kKa, 10, -60, 0).InMap(),
};
static_assert(CheckBindings(kMaps));

// The level table shows each record's columns out of memory order: injection % and its cut pattern, then
// advance % and its pattern. (Too many cells for the compile-time check; the record layout pins them.)
constexpr FieldBinding kLevelTable[] = {
    LevelColumns(1, 1, offsetof(TcLevelRecord, w), Raw::U16, 10, 100, 1000),
    LevelColumns(2, 8, offsetof(TcLevelRecord, b), Raw::U8, 1, 20, 0),
    LevelColumns(10, 1, offsetof(TcLevelRecord, w) + 2, Raw::U16, 10, 100, 1000),
    LevelColumns(11, 8, offsetof(TcLevelRecord, b) + 8, Raw::U8, 1, 20, 0),
};
static_assert(offsetof(TcLevelRecord, w) == 0 && offsetof(TcLevelRecord, b) == 4 && kLevelSize == 20);

constexpr FieldPart kParts[] = {Part(kMaps), Part(kLevelTable)};

constexpr const char* kLevelHeaders[] = {"Inj.\n[%]",  "Inj\nOFF1",  "Inj\nON1",   "Inj\nOFF2", "Inj\nON2",
                                         "Inj\nOFF3",  "Inj\nON3",   "Inj\nOFF4",  "Inj\nON4",  "Adv.\n[%]",
                                         "Trig\nOFF1", "Trig\nON1",  "Trig\nOFF2", "Trig\nON2", "Trig\nOFF3",
                                         "Trig\nON3",  "Trig\nOFF4", "Trig\nON4"};

bool Disabled() {
    return ecuMapData.tcEnable == 0;
}

constexpr CtrlRule kRules[] = {
    {PARM10::TABlevelTc, ATTR_DIMMED, Disabled},
    {PARM10::TABmapKjTc, ATTR_DIMMED, Disabled},
    {PARM10::TABmapKaTc, ATTR_DIMMED, Disabled},
};

bool ConfigurePr10() {
    return ApplyRules(hPr10Panel, kRules);
}

const FieldPage kPage = {&hPr10Panel, kParts, ConfigurePr10, CheckPr10};

bool LabelLevelColumns() {
    int col = 1;
    for (const char* header : kLevelHeaders) {
        if (SetTableColumnAttribute(hPr10Panel, PARM10::TABlevelTc, col, ATTR_USE_LABEL_TEXT, 1) < 0 ||
            SetTableColumnAttribute(hPr10Panel, PARM10::TABlevelTc, col, ATTR_LABEL_TEXT, header) < 0)
            return false;
        ++col;
    }
    return true;
}

constexpr PageRefresh kRefresh{"Parameters TractionControl", GatherPr10Panel, ScatterPr10Panel, nullptr,
                               true};

} // namespace

bool CheckPr10() {
    const bool kj = RepairMapAxes(ecuMapData.tcMapKj);
    const bool ka = RepairMapAxes(ecuMapData.tcMapKa);
    return kj || ka;
}

void InitPr10Data() {
    InitFields(kMaps);
    InitFields(kLevelTable);
}

bool InitPr10Panel(int parent) {
    if (!LoadPage(parent, PARM10::id, hPr10Panel) || !SetMapCorner(hPr10Panel, PARM10::TABmapKjTc, "") ||
        !SetMapCorner(hPr10Panel, PARM10::TABmapKaTc, "") || !LabelLevelColumns())
        return false;
    InitPr10Data();
    return true;
}

bool ScatterPr10Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr10Panel() {
    return GatherFieldPage(kPage);
}

bool Pr10Timer() {
    return Ping();
}

// Refreshes the page even while a transfer pumps events: no exchange with the ECU is involved.
int DoPr10Event(int, int, int event, void*, int, int) {
    return RefreshOnCommit(event, kRefresh);
}
