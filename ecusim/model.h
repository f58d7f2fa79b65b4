// The state of the simulated ECU: identity, password lock, tuning flags, the data areas it stores and the
// value blocks it reports. Every data set is kept the way the ECU holds it: as an EcuImage in big-endian
// order (40-byte prefix: length, checksum, 2 reserved bytes, 32-byte name; then the data image).
#pragma once

#include "ecusim/diaglog.h"
#include "ecusim/engine.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ecusim {

inline constexpr std::size_t kPrefixSize = 40;
inline constexpr std::size_t kNameOffset = 8;
inline constexpr std::size_t kNameSize = 32;
inline constexpr std::size_t kParImageSize = 3072;
inline constexpr std::size_t kMapImageSize = 173056;
inline constexpr std::size_t kExtMiniMapSize = 372;
inline constexpr std::size_t kPasswordSize = 15;
inline constexpr std::size_t kKeysSize = 30;
inline constexpr unsigned kThrottleStepReads = 4;

// Map blocks inside the mapping data image (offsets from the start of the data image, after the prefix).
inline constexpr std::size_t kMap1Offset = 0x16B30; // four 20x32 matrices with shared axes
inline constexpr std::size_t kMap2Offset = 0x17F98;
inline constexpr std::size_t kMap3Offset = 0x19400;     // one 20x32 matrix with its axes
inline constexpr std::size_t kMap13Offset = 0x24FD8;    // the low injectors' share, one 20x32 matrix
inline constexpr std::size_t kPhaseLowOffset = 0x28468; // 8x16 tables of the injection phases
inline constexpr std::size_t kPhaseHighOffset = 0x28598;
inline constexpr std::size_t kMap4Size = 5224;
inline constexpr std::size_t kMapSize = 1384;

// Configuration bytes the engine runs by (offsets in the configuration data image, after the prefix).
inline constexpr std::size_t kParCylinders = 0x6E2;
inline constexpr std::size_t kParInjectionKind = 0x6E0; // 1 and 2: two injectors a cylinder
inline constexpr std::size_t kParTriggers = 0x6CA;      // per cylinder 1..4: its coil output, 0xFF none
inline constexpr std::size_t kParInjectors1 = 0x6CE;    // ... its first injector output
inline constexpr std::size_t kParInjectors2 = 0x6D2;    // ... its second injector output
inline constexpr std::size_t kParWheel = 0x6ED; // teeth, missing teeth, two revolutions, cam flag, ...
inline constexpr std::size_t kParWheelSize = 6;
inline constexpr std::size_t kParAuxOutRelay = 0x7B5;     // nonzero: the auxiliary output is a relay
inline constexpr std::size_t kParTurboEnable = 0x77D;     // nonzero: injection by manifold pressure
inline constexpr std::size_t kParExtDbw = 0x7B3;          // nonzero: an external drive-by-wire is fitted
inline constexpr std::size_t kParCamType = 0x6F3;         // variable cam: 0 none, 1 pneumatic, 2 kinematic
inline constexpr std::size_t kParStepperType = 0x7AF;     // the idle-air actuator, a StepperType
inline constexpr std::size_t kParVelocityByFront = 0x77C; // nonzero: vehicle speed from the front wheel
inline constexpr std::size_t kParAnalogType = 0x7B1;      // what the two auxiliary analog inputs measure
inline constexpr std::size_t kParGearMode = 0x7B0;        // 2: the gear from the engine-wheel ratio
inline constexpr std::size_t kParLevelSwitch = 0x782;     // 0 none, up to 16 its steps, else analog
// The throttle's linearization: 16 openings (x10) and, 32 bytes on, the A/D readings they lie at.
inline constexpr std::size_t kParThrottleCurve = 0x3C4;
inline constexpr std::size_t kCurvePoints = 16;
// The other sensors' linearizations, laid out alike: water and air temperature (x10), manifold pressure
// (mbar), the traction-control selector (mV), the two lambda sensors (x10000), fork and shock travel (x10).
inline constexpr std::size_t kParWaterCurve = 0x404, kParAirCurve = 0x444, kParManifoldCurve = 0x484,
                             kParTcLevelCurve = 0x4C4, kParLambda1Curve = 0x504, kParLambda2Curve = 0x544,
                             kParForkCurve = 0x584, kParShockCurve = 0x5C4;
// A curve's breakpoints lie this many bytes after its values.
inline constexpr std::size_t kCurveAxisAfter = 32;
// The idle-air actuator: none, an auxiliary throttle, an idle stepper ("Idling", or "Idling
// HarleyDavidson" with its normal step by water temperature), the engine brake's by-pass air.
enum StepperType : std::uint8_t { kNoStepper, kAuxThrottle, kIdling, kIdlingHd, kEngineBrake };
// Mapping bytes: traction control switched on (nonzero).
inline constexpr std::size_t kMapTcEnable = 0x2A138;
// ... the idle curves over the water temperature (x10), ten points: the set-points (rpm) and the idle
// stepper's normal step (% x10); and the offset added to the set-points (rpm).
inline constexpr std::size_t kMapIdleAxis = 0x29BA0, kMapIdleRpm = 0x29BB4, kMapIdleStep = 0x29BC8;
inline constexpr std::size_t kMapIdlePoints = 10;
inline constexpr std::size_t kMapIdleOffset = 0x29BF0;

// Where the ECU keeps its data: the configuration, the two mapping slots, the two CO-correction maps.
enum class Store { Par, Slot1, Slot2, CocA, CocB, Count };

// The ECU's own map tuning: what the last mode frame set, the live manual correction, the walk of an
// automatic run over the map, and the changed cells waiting to be reported in Info replies.
struct TuneState {
    std::uint8_t flags = 0;   // bit 7 lambda 2, bit 6 external drive-by-wire, bit 0 by pressure
    std::uint8_t cylMask = 0; // bit 7 = cylinder 1
    std::uint8_t singleMul = 0;
    std::array<std::uint8_t, 200> settings{}; // the last Auto frame as received (big-endian)
    std::uint16_t ratio = 1000;               // manual injection correction x1000
    std::uint8_t ratioMask = 0;               // the cylinders the injection correction applies to
    std::int16_t advOffset = 0;               // manual advance correction x10
    bool paused = false;
    unsigned step = 0;                                 // steps of the automatic run so far
    std::size_t walk = 0;                              // index of the tracked cell the engine runs in
    bool freezing = false;                             // the last step changed a cell
    std::vector<std::array<std::uint16_t, 2>> reports; // packed cell word, value
};

// A write in progress (command 0x04 opened it, blocks of command 0x05 fill it).
struct PendingWrite {
    std::uint16_t area = 0;
    std::vector<std::uint8_t> data; // the whole area; accepted bytes at its start
    std::size_t accepted = 0;
};

struct EcuModel {
    // Who the ECU is: its version text, and the firmware name and protocol version its Ping reports. An
    // application written through the boot loader brings its own.
    std::string versionText = "ECUSIM T484 v1.13";
    std::string firmwareName = "T484";
    std::uint16_t protocolVersion = 0x010D;
    std::uint8_t variant = 0;
    std::array<std::uint8_t, kPasswordSize> password{}; // all zero: no password
    bool unlocked = false;                              // a Ping carried the keys of the password
    bool tuning = false;                                // the ECU tunes its maps
    bool tuningAuto = false;                            // ... tracking lambda by itself
    Store tuningSlot = Store::Slot1;                    // the mapping slot under tuning
    bool shortAcks = false;                             // acknowledge part of a block now and then
    unsigned blocksSeen = 0;

    std::array<std::vector<std::uint8_t>, static_cast<std::size_t>(Store::Count)> stores;
    std::optional<PendingWrite> write;

    EngineState engine; // what the engine is doing now
    TuneState tune;
    // A throttle script for the bench: when set, the throttle sensors read these openings (%) in turn, each
    // for kThrottleStepReads readings of the throttle channel (one averaged reading of the program).
    std::vector<double> throttleSteps;
    unsigned throttleReads = 0;
    DiagLog diag; // the diagnostic log and its parameters

    std::array<std::uint8_t, 20> engInfo{};
    std::array<std::uint8_t, 8> twaInfo{};
    std::array<std::uint8_t, 15> miscInfo{};
    std::array<std::uint8_t, 1> cocEditInfo{};

    // Corrections the running ECU learns and the tuner may reset: the CO correction of maps A and B
    // (thousandths of the fuel factor) and the normal step correction of the idle stepper (steps).
    std::array<std::int16_t, 2> cocCorrection{};
    std::int16_t stepCorrection = 0;

    std::vector<std::uint8_t>& StoreBytes(Store store) { return stores[static_cast<std::size_t>(store)]; }
    const std::vector<std::uint8_t>& StoreBytes(Store store) const {
        return stores[static_cast<std::size_t>(store)];
    }
    // A byte of the configuration data.
    std::uint8_t ParByte(std::size_t offset) const { return StoreBytes(Store::Par).at(kPrefixSize + offset); }
};

// A model with its default data sets; password may be empty (no lock) and is cut to 15 characters.
EcuModel MakeEcuModel(const std::string& password);
// Puts every stored data set back to the ECU's defaults and drops a write in progress.
void ResetStores(EcuModel& model);
// A data set as the ECU's defaults have it.
const std::vector<std::uint8_t>& DefaultStoreBytes(Store store);
bool IsProtected(const EcuModel& model);

// A valid EcuImage of size bytes: this program family's data header, the end marker, the name and the
// checksum; every other byte zero.
std::vector<std::uint8_t> MakeDefaultImage(std::size_t size, const char* name);
// One's-complement checksum of an EcuImage: the little-endian words from byte 10 to the end, inverted.
std::uint16_t ImageChecksum(std::span<const std::uint8_t> image);
// Sets the checksum field after the image's content changed.
void SealImage(std::span<std::uint8_t> image);
// Length field, end marker and checksum agree with the image.
bool IsImageSound(std::span<const std::uint8_t> image);
// The name field up to its first zero byte.
std::string ImageName(std::span<const std::uint8_t> image);

std::uint16_t GetBE16(const std::uint8_t* p);
std::uint32_t GetBE32(const std::uint8_t* p);
void PutBE16(std::uint8_t* p, std::uint16_t v);
void PutBE32(std::uint8_t* p, std::uint32_t v);

} // namespace ecusim
