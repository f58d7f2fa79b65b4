// The configuration settings that other pages, the calibration maps and the map tuning follow, read
// through the configuration pages that own them: each is one unsigned byte of the configuration image,
// bound at the offset named here by its owner's field table and read by everyone else through its
// accessor. A byte that does not lie in the image reads 0.
#pragma once

#include <cstddef>
#include <cstdint>

// The engine type (configuration page 1 from its catalogue).
inline constexpr std::size_t kParInjectionKind = 0x6E0; // 0 Single, 1 Double, 2 Compound, 3 Full-group
inline constexpr std::size_t kParCylinders = 0x6E2;
// The toothed wheel (configuration page 1 from its catalogue): teeth, missing-teeth or special-wheel
// code, cycle flag (0: one revolution), cam flag (0: with a cam sensor), and two more.
inline constexpr std::size_t kParWheel = 0x6ED;
inline constexpr int kParWheelBytes = 6;
// Configuration page 1.
inline constexpr std::size_t kParCamType = 0x6F3;      // 0 none, 1 pneumatic, 2 kinematic
inline constexpr std::size_t kParTurboEnable = 0x77D;  // nonzero: the maps run on manifold pressure
inline constexpr std::size_t kParPwmOutByPair = 0x77E; // nonzero: the PWM output by manifold pressure
// Configuration page 2.
inline constexpr std::size_t kParVelAntByHall = 0x77F; // the front speed from a Hall sensor, not CAN
inline constexpr std::size_t kParMaxRtcSteps = 0x781;  // the selector: 255 voltage, 4/6/9/11 steps, 0 none
inline constexpr std::size_t kParStepperType = 0x7AF;  // 1 "Auxiliary Throttle" .. 4 "Engine Brake Control"
inline constexpr std::size_t kParGearMode = 0x7B0;     // 0 .. 7
inline constexpr std::size_t kParAnalogType = 0x7B1;   // the use of the auxiliary analog inputs, 0 .. 4
inline constexpr std::size_t kParAuxOutRelay = 0x7B5;  // 0: the auxiliary output drives the warning lamp
inline constexpr std::size_t kParAuxOutByRpm = 0x7B6;  // the relay by engine speed, else by water temperature
inline constexpr std::size_t kParEnableBlipping = 0x7C5;
// The drive-by-wire page.
inline constexpr std::size_t kParExtDbw = 0x7B3;    // the master flag
inline constexpr std::size_t kParDbwRefCyl = 0x7BF; // cylinders 1-4: 1 throttle body 1, 0 body 2
inline constexpr std::size_t kParCutOffEgripRef = 0x7C3;
inline constexpr std::size_t kParCocEgripRef = 0x7C4;

std::uint8_t InjectionKind();
std::uint8_t CylinderCount();
std::uint8_t WheelByte(int i); // i = 0 .. 5
std::uint8_t CamType();
std::uint8_t TurboEnable();
std::uint8_t PwmOutByPair();
std::uint8_t VelAntByHall();
std::uint8_t MaxRtcSteps();
std::uint8_t StepperType();
std::uint8_t GearMode();
std::uint8_t AnalogType();
std::uint8_t AuxOutRelay();
std::uint8_t AuxOutByRpm();
std::uint8_t EnableBlipping();
std::uint8_t ExtDbw();
std::uint8_t DbwRefCyl(int cylinder); // cylinder = 1 .. 4
std::uint8_t CutOffEgripRef();
std::uint8_t CocEgripRef();
