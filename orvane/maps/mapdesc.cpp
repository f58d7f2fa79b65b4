#include "orvane/maps/mapdesc.h"

#include "orvane/config/configbytes.h"
#include "orvane/core/logic/images.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <type_traits>

namespace {

// The map blocks lie where the data file and the ECU image put them.
template <class Shape> constexpr bool AxesAt(std::size_t block, std::size_t bpx, std::size_t bpy) {
    return block + offsetof(Shape, x) == bpx && block + offsetof(Shape, y) == bpy;
}
static_assert(offsetof(EcuMapData, map1) == 0x16B30 && AxesAt<Map4x20x32>(0x16B30, 0x17F30, 0x17F70));
static_assert(offsetof(EcuMapData, map2) == 0x17F98 && AxesAt<Map4x20x32>(0x17F98, 0x19398, 0x193D8));
static_assert(offsetof(EcuMapData, map3) == 0x19400 && AxesAt<Map20x32>(0x19400, 0x19900, 0x19940));
static_assert(offsetof(EcuMapData, map4) == 0x26010 && AxesAt<Map20x32>(0x26010, 0x26510, 0x26550));
static_assert(offsetof(EcuMapData, map5) == 0x19968 && AxesAt<Map6x20x32>(0x19968, 0x1B768, 0x1B7A8));
static_assert(offsetof(EcuMapData, map6) == 0x1B7D0 && AxesAt<Map6x20x32>(0x1B7D0, 0x1D5D0, 0x1D610));
static_assert(offsetof(EcuMapData, map7) == 0x25540 && AxesAt<Map20x32>(0x25540, 0x25A40, 0x25A80));
static_assert(offsetof(EcuMapData, map8) == 0x25AA8 && AxesAt<Map20x32>(0x25AA8, 0x25FA8, 0x25FE8));
static_assert(offsetof(EcuMapData, map9) == 0x001D0 && AxesAt<Map6x6x20x32>(0x001D0, 0x0B5D0, 0x0B610) &&
              0x001D0 + offsetof(Map6x6x20x32, z) == 0x0B638);
static_assert(offsetof(EcuMapData, map10) == 0x0B680 && AxesAt<Map6x6x20x32>(0x0B680, 0x16A80, 0x16AC0) &&
              0x0B680 + offsetof(Map6x6x20x32, z) == 0x16AE8);
static_assert(offsetof(EcuMapData, map11) == 0x26578 && AxesAt<Map20x32>(0x26578, 0x26A78, 0x26AB8));
static_assert(offsetof(EcuMapData, map12) == 0x26AE0 && AxesAt<Map20x32>(0x26AE0, 0x26FE0, 0x27020));
static_assert(offsetof(EcuMapData, map13) == 0x24FD8 && AxesAt<Map20x32>(0x24FD8, 0x254D8, 0x25518));
static_assert(offsetof(EcuMapData, map14) == 0x1D638 && AxesAt<Map6x20x32>(0x1D638, 0x1F438, 0x1F478));
static_assert(offsetof(EcuMapData, map15) == 0x1F4A0 && AxesAt<Map6x20x32>(0x1F4A0, 0x212A0, 0x212E0));
static_assert(offsetof(EcuMapData, map16) == 0x21308 && AxesAt<Map6x20x32>(0x21308, 0x23108, 0x23148));
static_assert(offsetof(EcuMapData, map17) == 0x23170 && AxesAt<Map6x20x32>(0x23170, 0x24F70, 0x24FB0));
static_assert(offsetof(EcuMapData, singleMatFlags) == 0x2A302);
static_assert(sizeof(MapMatrix) == 1280);

// The block of one image member, whatever its shape.
template <auto Member> MapBlock BlockOf(EcuMapData& image) {
    auto& b = image.*Member;
    using Shape = std::remove_reference_t<decltype(b)>;
    if constexpr (std::is_same_v<Shape, Map20x32>) {
        return {&b.cells, 1, b.x, b.y, nullptr};
    } else if constexpr (std::is_same_v<Shape, Map6x6x20x32>) {
        return {&b.cells[0][0], kMapGears * kMapLevels, b.x, b.y, b.z};
    } else {
        return {&b.cells[0], static_cast<int>(std::size(b.cells)), b.x, b.y, nullptr};
    }
}

constexpr std::array<AxisDesc, 3> kXAxes{{
    {" EngineSpeed [rpm]", " EngineSpeed [rpm]", 0, 0, 20000, 1, 0},
    {" Revolutions", " Revolutions", 0, 0, 32767, 1, 0},
    {"Velocity [Km/h]", " Velocity [km/h]", 0, 0, 500, 1, 0},
}};
constexpr std::array<AxisDesc, 3> kYAxes{{
    {"Throttle [°]", "Throttle [deg] ", 1, 0, 100, 10, 0},
    {"Air Pressure [mBar]", "Air. Pressure [mBar] ", 0, 0, 10000, 1, 1000},
    {"Water Temperature [°C]", "Water. Temperature [°C] ", 1, -30, 250, 10, 0},
}};
constexpr AxisDesc kZAxis{"Engine Acceleration [rpm/sec]", "Acceleration", 0, -32768, 32767, 1, 0};
constexpr AxisDesc kNoZAxis{"?", "", 0, 0, 0, 1, 0};

using enum MatLayout;
using enum ParCond;
using enum XAxisKind;
using enum YAxisKind;

// clang-format off
const std::array<MapDesc, kMapCount> kMaps{{
    // id tab caption              plain value caption       per-matrix caption             unit
    //    decimals min max scale addOnly default  X axis  Y axis  Y on pressure when  inactive when
    //    layout  selector  level selector  flag byte, bit  percent first  set range  add range  block
    {1, "Inj. by Throttle", "TerogBase [ms]", "TerogBase(%u) [ms]", "[ms]",
        3, 0, 32, 1000, false, 0, EngineSpeed, Throttle, Never, TurboOn,
        PerCylinder, kSelMap1Cyl, kNoSel, 0, 0x80, true, 0, 10, -5, 5, BlockOf<&EcuMapData::map1>},
    {2, "Inj. by MAP", "TerogBase [ms]", "TerogBase(%u) [ms]", "[ms]",
        3, 0, 32, 1000, false, 0, EngineSpeed, AirPressure, Never, Never,
        PerCylinder, kSelMap2Cyl, kNoSel, 0, 0x40, true, 0, 10, -5, 5, BlockOf<&EcuMapData::map2>},
    {3, "Adv.", "TetaBase [°]", nullptr, "[deg]",
        1, -720, 720, 10, true, 0, EngineSpeed, Throttle, TurboOn, Never,
        One, kNoSel, kNoSel, 0, 0, false, -90, 90, -30, 30, BlockOf<&EcuMapData::map3>},
    {4, "Cranking", "KJCrank", nullptr, "K",
        3, 0, 32, 1000, false, 1000, Revolutions, WaterTemp, Never, Never,
        One, kNoSel, kNoSel, 0, 0, true, 0, 32, -2, 2, BlockOf<&EcuMapData::map4>},
    {5, "Inj. [Gear]", "KJGear", "KJGear(%u)", "K",
        3, 0, 2, 1000, false, 1000, EngineSpeed, Throttle, Never, Never,
        PerGear, kSelMap5Gear, kNoSel, 0, 0x10, true, 0, 2, -2, 2, BlockOf<&EcuMapData::map5>},
    {6, "Adv. [Gear]", "KAGear", "KAGear(%u) [°]", "[deg]",
        1, -720, 720, 10, true, 0, EngineSpeed, Throttle, Never, Never,
        PerGear, kSelMap6Gear, kNoSel, 0, 0x20, false, -90, 90, -30, 30, BlockOf<&EcuMapData::map6>},
    {7, "Inj. [Velocity]", "KJVel", nullptr, "K",
        3, 0, 2, 1000, false, 1000, Velocity, Throttle, Never, Never,
        One, kNoSel, kNoSel, 0, 0, true, 0, 2, -2, 2, BlockOf<&EcuMapData::map7>},
    {8, "Adv. [Velocity]", "KAVel [°]", nullptr, "[deg]",
        1, -720, 720, 10, true, 0, Velocity, Throttle, Never, Never,
        One, kNoSel, kNoSel, 0, 0, false, -90, 90, -30, 30, BlockOf<&EcuMapData::map8>},
    {9, "Inj. [Acceleration]", "KJAcc", "KJAcc(A%d,G%u) [°]", "K",
        3, 0, 2, 1000, false, 1000, EngineSpeed, Throttle, Never, Never,
        PerGearLevel, kSelMap9Gear, kSelMap9Level, 0, 0x02, true, 0, 2, -2, 2, BlockOf<&EcuMapData::map9>},
    {10, "Adv. [Acceleration]", "KAAcc", "KAAcc(A%d,G%u) [°]", "[deg]",
        1, -720, 720, 10, true, 0, EngineSpeed, Throttle, Never, Never,
        PerGearLevel, kSelMap10Gear, kSelMap10Level, 0, 0x04, false, -90, 90, -30, 30,
        BlockOf<&EcuMapData::map10>},
    {11, "Inj. Low", "KJRipLow", nullptr, "K",
        3, 0, 2, 1000, false, 1000, EngineSpeed, Throttle, TurboOn, InjKindNot1,
        One, kNoSel, kNoSel, 0, 0, true, 0, 2, -2, 2, BlockOf<&EcuMapData::map11>},
    {12, "Inj. High", "KJRipHigh", nullptr, "K",
        3, 0, 2, 1000, false, 1000, EngineSpeed, Throttle, TurboOn, InjKindNot1,
        One, kNoSel, kNoSel, 0, 0, true, 0, 2, -2, 2, BlockOf<&EcuMapData::map12>},
    {13, "Injection Partition", "KJRipBase [%%]", nullptr, "%Low",
        1, 0, 100, 10, true, 500, EngineSpeed, Throttle, TurboOn, InjKindNot1,
        One, kNoSel, kNoSel, 0, 0, true, 0, 100, -100, 100, BlockOf<&EcuMapData::map13>},
    {14, "Auxiliary Throttle", "AuxThrottle [%%]", "AuxThrottle(gear%u) [%%]", "[%]",
        1, 0, 100, 10, true, 0, EngineSpeed, Throttle, Never, StepperNot1,
        PerGear, kSelMap14Gear, kNoSel, 0, 0x08, false, 0, 100, -100, 100, BlockOf<&EcuMapData::map14>},
    {15, "PWM Out", "PWM [%%]", "PWM(gear%u) [%%]", "[%]",
        1, 0, 100, 10, true, 0, EngineSpeed, Throttle, PwmByPressureOn, Never,
        PerGear, kSelMap15Gear, kNoSel, 0, 0x01, false, 0, 100, -100, 100, BlockOf<&EcuMapData::map15>},
    {16, "DriveByWire 1", "Drive-by-Wire 1 [%%]", "Drive-by-Wire 1(gear%u) [%%]", "[%]",
        1, 0, 100, 10, true, 0, EngineSpeed, Throttle, Never, ExtDbwOff,
        PerGear, kSelMap16Gear, kNoSel, 1, 0x02, false, 0, 100, -100, 100, BlockOf<&EcuMapData::map16>},
    {17, "DriveByWire 2", "Drive-by-Wire 2 [%%]", "Drive-by-Wire 2(gear%u) [%%]", "[%]",
        1, 0, 100, 10, true, 0, EngineSpeed, Throttle, Never, ExtDbwOff,
        PerGear, kSelMap17Gear, kNoSel, 1, 0x01, false, 0, 100, -100, 100, BlockOf<&EcuMapData::map17>},
}};
// clang-format on

} // namespace

const MapDesc* FindMapDesc(int id) {
    return id >= 1 && id <= kMapCount ? &kMaps[id - 1] : nullptr;
}

bool ParCondHolds(ParCond cond) {
    switch (cond) {
    case Never:
        return false;
    case TurboOn:
        return TurboEnable() != 0;
    case PwmByPressureOn:
        return PwmOutByPair() != 0;
    case InjKindNot1:
        return InjectionKind() != 1;
    case StepperNot1:
        return StepperType() != 1;
    case ExtDbwOff:
        return ExtDbw() == 0;
    }
    return false;
}

int MapCylinders() {
    return std::min<int>(CylinderCount(), kMaxCylinders);
}

const AxisDesc& XAxisOf(const MapDesc& d) {
    return kXAxes[static_cast<std::size_t>(d.xAxis)];
}

const AxisDesc& YAxisOf(const MapDesc& d) {
    const YAxisKind kind = ParCondHolds(d.airPressureWhen) ? AirPressure : d.yAxis;
    return kYAxes[static_cast<std::size_t>(kind)];
}

bool HasZAxis(const MapDesc& d) {
    return d.layout == PerGearLevel;
}

const AxisDesc& ZAxisOf(const MapDesc& d) {
    return HasZAxis(d) ? kZAxis : kNoZAxis;
}

bool IsMapInactive(const MapDesc& d) {
    return ParCondHolds(d.inactiveWhen);
}

bool SingleMatBit(const MapDesc& d) {
    return (ecuMapData.singleMatFlags[d.flagByte] & d.flagBit) != 0;
}

void SetSingleMatBit(const MapDesc& d, bool on) {
    std::uint8_t& flags = ecuMapData.singleMatFlags[d.flagByte];
    flags = static_cast<std::uint8_t>(on ? flags | d.flagBit : flags & ~d.flagBit);
}

int PickableMatrices(const MapDesc& d) {
    switch (d.layout) {
    case One:
        return 0;
    case PerCylinder:
        return MapCylinders() < 2 ? 0 : MapCylinders();
    case PerGear:
    case PerGearLevel:
        return kMapGears;
    }
    return 0;
}

bool ShowsOneMatrix(const MapDesc& d) {
    return PickableMatrices(d) == 0 || SingleMatBit(d);
}

const char* AllMatricesLabel(const MapDesc& d) {
    switch (d.layout) {
    case One:
        return "";
    case PerCylinder:
        return "All Cylinders";
    case PerGear:
    case PerGearLevel:
        return "All Gears";
    }
    return "";
}

void InitMp1Data(std::uint8_t id) {
    ecuMapData.singleMatFlags[0] = 0;
    ecuMapData.singleMatFlags[1] = 0;
    ecuMapData.notes[0] = 0;
    const MapDesc* d = FindMapDesc(id);
    if (d == nullptr) return;
    const MapBlock b = d->block(ecuMapData);
    for (int m = 0; m < b.matrices; ++m)
        for (auto& row : b.cells[m])
            std::fill(std::begin(row), std::end(row), d->defaultCell);
    std::fill_n(b.x, kMapCols, XAxisOf(*d).defaultBp);
    std::fill_n(b.y, kMapRows, YAxisOf(*d).defaultBp);
    if (b.z != nullptr)
        for (int g = 0; g < kMapGears; ++g)
            std::fill_n(b.z[g], kMapLevels, ZAxisOf(*d).defaultBp);
}
