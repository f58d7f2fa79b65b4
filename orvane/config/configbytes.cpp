#include "orvane/config/configbytes.h"

#include "orvane/core/logic/imageview.h"

namespace {

std::uint8_t Setting(std::size_t offset) {
    return ImageValue<std::uint8_t>(Image::Par, offset).value_or(0);
}

} // namespace

std::uint8_t InjectionKind() {
    return Setting(kParInjectionKind);
}
std::uint8_t CylinderCount() {
    return Setting(kParCylinders);
}
std::uint8_t WheelByte(int i) {
    return i >= 0 && i < kParWheelBytes ? Setting(kParWheel + static_cast<std::size_t>(i)) : 0;
}
std::uint8_t CamType() {
    return Setting(kParCamType);
}
std::uint8_t TurboEnable() {
    return Setting(kParTurboEnable);
}
std::uint8_t PwmOutByPair() {
    return Setting(kParPwmOutByPair);
}
std::uint8_t VelAntByHall() {
    return Setting(kParVelAntByHall);
}
std::uint8_t MaxRtcSteps() {
    return Setting(kParMaxRtcSteps);
}
std::uint8_t StepperType() {
    return Setting(kParStepperType);
}
std::uint8_t GearMode() {
    return Setting(kParGearMode);
}
std::uint8_t AnalogType() {
    return Setting(kParAnalogType);
}
std::uint8_t AuxOutRelay() {
    return Setting(kParAuxOutRelay);
}
std::uint8_t AuxOutByRpm() {
    return Setting(kParAuxOutByRpm);
}
std::uint8_t EnableBlipping() {
    return Setting(kParEnableBlipping);
}
std::uint8_t ExtDbw() {
    return Setting(kParExtDbw);
}
std::uint8_t DbwRefCyl(int cylinder) {
    return cylinder >= 1 && cylinder <= 4 ? Setting(kParDbwRefCyl + static_cast<std::size_t>(cylinder - 1))
                                          : 0;
}
std::uint8_t CutOffEgripRef() {
    return Setting(kParCutOffEgripRef);
}
std::uint8_t CocEgripRef() {
    return Setting(kParCocEgripRef);
}
