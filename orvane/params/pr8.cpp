// Anti-Lag parameter page: the anti-lag enable, the repetition periods of the cut patterns, the activation
// time and throttle, and three tables over engine speed and throttle (injection cuts, spark cuts, advance
// offset). The page never talks to the ECU.
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/fields.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/repairs.h"
#include "orvane/params/maptables.h"
#include "orvane/params/params.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int hPr8Panel = 0;

namespace {

constexpr std::size_t kEnable = offsetof(EcuMapData, b29C28);
constexpr std::size_t kInjCuts = offsetof(EcuMapData, mapInjCuts);
constexpr std::size_t kAdvCuts = offsetof(EcuMapData, mapAdvCuts);
constexpr std::size_t kAdvAls = offsetof(EcuMapData, mapAdvAls);

constexpr FieldBinding kFields[] = {
    Toggle(PARM8::TBbangEnable, kEnable, 0).InMap(),
    Num(PARM8::NUMlenJcuts, offsetof(EcuMapData, b29C22), Raw::U8, 1, 0, 32, 0).InMap(),
    Num(PARM8::NUMlenAcuts, offsetof(EcuMapData, b29C22) + 1, Raw::U8, 1, 0, 32, 0).InMap(),
    Num(PARM8::NUMbangTime, offsetof(EcuMapData, w29C24), Raw::U16, 1, 0, 60, 0).InMap(),
    Num(PARM8::NUMbangGas, offsetof(EcuMapData, w29C24) + 2, Raw::U16, 10, 0, 100, 0).InMap(),
    MapXRow<MiniMap>(PARM8::TABmapInjCuts, kInjCuts).InMap(),
    MapYColumn<MiniMap>(PARM8::TABmapInjCuts, kInjCuts, 10, 0, 100).InMap(),
    MapCells<MiniMap>(PARM8::TABmapInjCuts, kInjCuts, 1, 0, 32).InMap(),
    MapXRow<MiniMap>(PARM8::TABmapAdvCuts, kAdvCuts).InMap(),
    MapYColumn<MiniMap>(PARM8::TABmapAdvCuts, kAdvCuts, 10, 0, 100).InMap(),
    MapCells<MiniMap>(PARM8::TABmapAdvCuts, kAdvCuts, 1, 0, 32).InMap(),
    MapXRow<MiniMap>(PARM8::TABmapAdvAls, kAdvAls).InMap(),
    MapYColumn<MiniMap>(PARM8::TABmapAdvAls, kAdvAls, 10, 0, 100).InMap(),
    MapCells<MiniMap>(PARM8::TABmapAdvAls, kAdvAls, 10, -100, 100).InMap(),
};
static_assert(CheckBindings(kFields));
constexpr FieldPart kParts[] = {Part(kFields)};

bool Disabled() {
    return ecuMapData.b29C28[0] == 0;
}

constexpr CtrlRule kRules[] = {
    {PARM8::NUMlenJcuts, ATTR_DIMMED, Disabled},   {PARM8::NUMlenAcuts, ATTR_DIMMED, Disabled},
    {PARM8::NUMbangTime, ATTR_DIMMED, Disabled},   {PARM8::NUMbangGas, ATTR_DIMMED, Disabled},
    {PARM8::TABmapInjCuts, ATTR_DIMMED, Disabled}, {PARM8::TABmapAdvCuts, ATTR_DIMMED, Disabled},
    {PARM8::TABmapAdvAls, ATTR_DIMMED, Disabled},
};

bool ConfigurePr8() {
    return ApplyRules(hPr8Panel, kRules);
}

} // namespace

bool CheckPr8() {
    bool changed = false;
    for (MiniMap* map : {&ecuMapData.mapInjCuts, &ecuMapData.mapAdvCuts, &ecuMapData.mapAdvAls})
        changed |= RepairMapAxes(*map);
    return changed;
}

namespace {

const FieldPage kPage = {&hPr8Panel, kParts, ConfigurePr8, CheckPr8};
constexpr PageRefresh kRefresh{"Anti-Lag Parameters", GatherPr8Panel, ScatterPr8Panel};

} // namespace

void InitPr8Data() {
    InitFields(kFields);
}

bool InitPr8Panel(int parent) {
    if (!LoadPage(parent, PARM8::id, hPr8Panel)) return false;
    for (int table : {PARM8::TABmapInjCuts, PARM8::TABmapAdvCuts, PARM8::TABmapAdvAls})
        if (!SetMapCorner(hPr8Panel, table, "")) return false;
    InitPr8Data();
    return true;
}

bool ScatterPr8Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr8Panel() {
    return GatherFieldPage(kPage);
}

bool Pr8Timer() {
    return Ping();
}

int DoPr8Event(int, int, int event, void*, int, int) {
    return RefreshOnCommit(event, kRefresh);
}
