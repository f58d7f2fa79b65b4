// Injection page 2: the injection phase maps of the first and the second injector set, by engine speed
// and throttle. The second map is dimmed unless the engine has a second injector set.
#include "orvane/config/configbytes.h"
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/loadpage.h"
#include "orvane/tables/axisfix.h"
#include "orvane/tables/tablefields.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"

int hIj2Panel = 0;

namespace {

using namespace INJ2;

constexpr std::size_t kLow = offsetof(EcuMapData, mapPhaseL);
constexpr std::size_t kHigh = offsetof(EcuMapData, mapPhaseH);
constexpr CellFormat kPhase = {1, 0, 720, 180}; // [deg] of the 720-degree cycle

constexpr FieldBinding kFields[] = {
    MatrixX(TABmapPhaseL, kLow + offsetof(MiniMap, x), kEngineSpeed).InMap(),
    MatrixY(TABmapPhaseL, kLow + offsetof(MiniMap, y), kThrottle).InMap(),
    MatrixCells(TABmapPhaseL, kLow, kPhase).InMap(),
    MatrixX(TABmapPhaseH, kHigh + offsetof(MiniMap, x), kEngineSpeed).InMap(),
    MatrixY(TABmapPhaseH, kHigh + offsetof(MiniMap, y), kThrottle).InMap(),
    MatrixCells(TABmapPhaseH, kHigh, kPhase).InMap(),
};
static_assert(CheckBindings(kFields));

// Injection kinds "Double" (1) and "Compound" (2) have a second injector set.
bool SingleInjectorSet() {
    const std::uint8_t kind = InjectionKind();
    return kind != 1 && kind != 2;
}
constexpr CtrlRule kRules[] = {{TABmapPhaseH, ATTR_DIMMED, SingleInjectorSet}};

constexpr FieldPart kParts[] = {Part(kFields)};
const FieldPage kPage = {&hIj2Panel, kParts, FormatIj2Panel, FixIj2Maps};

} // namespace

bool InitIj2Panel(int parent) {
    if (!LoadPage(parent, INJ2::id, hIj2Panel)) return false;
    InitIj2Data();
    for (const int table : {TABmapPhaseL, TABmapPhaseH})
        if (!LookMatrixTable(hIj2Panel, table)) return false;
    return true;
}
void InitIj2Data() {
    InitFields(kFields);
}
bool FormatIj2Panel() {
    return ApplyRules(hIj2Panel, kRules);
}
bool ScatterIj2Panel() {
    return ScatterFieldPage(kPage);
}
bool GatherIj2Panel() {
    return GatherFieldPage(kPage);
}
bool FixIj2Maps() {
    const bool low = FixMiniMap(ecuMapData.mapPhaseL);
    return FixMiniMap(ecuMapData.mapPhaseH) || low;
}
bool Ij2Timer() {
    return Ping();
}
