// The catalogue of the seventeen calibration maps: one record per map with everything that differs from
// map to map (where its block lies in the mapping image, how many matrices it has and what picks one,
// captions, display scales, ranges, defaults, and which configuration bytes switch its Y axis or leave it
// inactive). Every other part of the map editor looks maps up here; none keeps a per-map switch.
#pragma once

#include "orvane/core/logic/ecuimage.h"

#include <cstdint>

inline constexpr int kMapCount = 17;
inline constexpr int kMapRows = 20; // Y breakpoints, matrix rows
inline constexpr int kMapCols = 32; // X breakpoints, matrix columns
inline constexpr int kMapGears = 6;
inline constexpr int kMapLevels = 6; // acceleration levels (Z breakpoints) of each gear
inline constexpr int kMaxCylinders = 4;

using MapMatrix = std::int16_t[kMapRows][kMapCols];

// Where one map lies in an image: its stored matrices (consecutive) and breakpoints.
struct MapBlock {
    MapMatrix* cells;              // matrix 0; maps 9 and 10 gear-major (gear * 6 + level)
    int matrices;                  // stored matrices: 1, 4, 6 or 36
    std::int16_t* x;               // kMapCols breakpoints
    std::int16_t* y;               // kMapRows breakpoints
    std::int16_t (*z)[kMapLevels]; // maps 9 and 10: the acceleration breakpoints of each gear; else null
};

enum class MatLayout : std::uint8_t {
    One,          // one matrix
    PerCylinder,  // 4 stored; the engine's cylinder count (at most 4) in use
    PerGear,      // 6 stored
    PerGearLevel, // 6 gears x 6 acceleration levels, with Z breakpoints per gear
};

// A condition on the configuration settings (configbytes.h), read at the moment it is asked.
enum class ParCond : std::uint8_t {
    Never,
    TurboOn,         // TurboEnable() not 0
    PwmByPressureOn, // PwmOutByPair() not 0
    InjKindNot1,     // InjectionKind() not 1
    StepperNot1,     // StepperType() not 1 ("Auxiliary Throttle")
    ExtDbwOff,       // ExtDbw() is 0
};

enum class XAxisKind : std::uint8_t { EngineSpeed, Revolutions, Velocity };
enum class YAxisKind : std::uint8_t { Throttle, AirPressure, WaterTemp };

struct AxisDesc {
    const char* caption;     // as the current-map queries and the graphs give it
    const char* pageCaption; // as the map page labels its tables
    int decimals;
    double min;
    double max;
    double scale; // raw = display x scale
    std::int16_t defaultBp;
};

// Entries of aCurMatSel, the current-matrix selectors of the maps with more than one matrix.
enum MatSelector : int {
    kSelMap1Cyl,
    kSelMap2Cyl,
    kSelMap14Gear,
    kSelMap5Gear,
    kSelMap6Gear,
    kSelMap9Level,
    kSelMap10Level,
    kSelMap9Gear,
    kSelMap10Gear,
    kSelMap15Gear,
    kSelMap16Gear,
    kSelMap17Gear,
    kMatSelectors,
    kNoSel = -1,
};

struct MapDesc {
    std::uint8_t id;
    const char* tabCaption;
    const char* valCaption;     // plain form (a printf format without arguments)
    const char* valCaptionEach; // per-matrix form: (index + 1), or for maps 9 and 10 (Z breakpoint, gear + 1)
    const char* unit;           // unit shown on the map page and in the Edit-Map dialog
    int valDecimals;
    double valMin; // display units; the raw clamp is these times valScale
    double valMax;
    double valScale;
    bool addOnly; // arithmetic: add only, or add or multiply
    std::int16_t defaultCell;
    XAxisKind xAxis;
    YAxisKind yAxis;
    ParCond airPressureWhen; // the condition that puts the Y axis on air pressure
    ParCond inactiveWhen;
    MatLayout layout;
    int selector;         // entry of aCurMatSel picking the cylinder or gear; -1 none
    int levelSelector;    // entry of aCurMatSel picking the acceleration level; -1 none
    int flagByte;         // singleMatFlags byte of the single-matrix bit
    std::uint8_t flagBit; // its mask; 0 for maps with one matrix
    bool percentFirst;    // the Edit-Map dialog opens on percent (else add)
    double setMin;        // ranges of the Edit-Map value control, display units
    double setMax;
    double addMin;
    double addMax;
    MapBlock (*block)(EcuMapData& image);
};

// The record of map id, or null outside 1 .. 17.
const MapDesc* FindMapDesc(int id);

bool ParCondHolds(ParCond cond);
// The engine's cylinder count as the per-cylinder maps use it: never more than the stored matrices.
int MapCylinders();

const AxisDesc& XAxisOf(const MapDesc& d);
// The Y axis in force: air pressure while the map's switch byte says so.
const AxisDesc& YAxisOf(const MapDesc& d);
const AxisDesc& ZAxisOf(const MapDesc& d); // maps without a Z axis: caption "?", page caption ""
bool HasZAxis(const MapDesc& d);
bool IsMapInactive(const MapDesc& d);
// The single-matrix bit of the map in ecuMapData; false for maps without one.
bool SingleMatBit(const MapDesc& d);
void SetSingleMatBit(const MapDesc& d, bool on);
// What the page and the Edit-Map dialog show: one matrix when the bit is set, for maps with one matrix,
// and for the per-cylinder maps on an engine with fewer than 2 cylinders.
bool ShowsOneMatrix(const MapDesc& d);
// The matrices a user can pick (0 when there is nothing to pick).
int PickableMatrices(const MapDesc& d);
// The label of the Edit-Map all-matrices choice ("All Cylinders", "All Gears" or empty).
const char* AllMatricesLabel(const MapDesc& d);

// Resets map id to its defaults; clears both single-matrix flag bytes and the notes first, whatever id.
void InitMp1Data(std::uint8_t id);
