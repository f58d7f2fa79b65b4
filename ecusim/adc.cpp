// A/D readings (command 0x07): the raw 10-bit value of one analog input, taken from the engine model.
// Each sensor maps its physical range linearly onto its own A/D span, as a bench ECU would report it:
// the throttle, pedal and throttle-body sensors follow the model's throttle opening, the gear sensor its
// gear. A throttle script (see EcuModel::throttleSteps) overrides the opening so that a calibration can be
// walked through idle and full open without a real engine. A disconnected sensor reads 0.
#include "ecusim/commands.h"
#include "ecusim/sensors.h"

#include <algorithm>
#include <cmath>

namespace ecusim {

namespace {

enum class Source { Throttle, Gear };

constexpr std::uint8_t kAuxThrottleChannel = 10, kGearChannel = 11;

// One analog input: the A/D at the low and at the high end of its source's range.
struct Sensor {
    std::uint8_t channel;
    Source source;
    double adLow;
    double adHigh;
};

// Pedal and throttle-body sensors come in pairs; sensor B of a throttle body falls as A rises, as fitted
// on the usual bodies, and the pedal's B runs at half of A's span.
constexpr Sensor kSensors[] = {
    {kThrottleChannel, Source::Throttle, kThrottleAdShut, kThrottleAdOpen}, // throttle
    {kAuxThrottleChannel, Source::Throttle, 120, 900},                      // auxiliary throttle
    {kGearChannel, Source::Gear, 80, 940}, // gear sensor: neutral .. top gear
    {13, Source::Throttle, 150, 850},      // gas pedal A
    {14, Source::Throttle, 75, 425},       // gas pedal B
    {15, Source::Throttle, 102, 918},      // drive-by-wire 1 A
    {16, Source::Throttle, 918, 102},      // drive-by-wire 1 B
    {17, Source::Throttle, 110, 910},      // drive-by-wire 2 A
    {18, Source::Throttle, 910, 110},      // drive-by-wire 2 B
};

constexpr int kTopGear = 6;

// The throttle opening the sensors see now, in percent.
double ThrottlePct(const EcuModel& model) {
    if (model.throttleSteps.empty()) return model.engine.throttlePct;
    const std::size_t step = model.throttleReads / kThrottleStepReads % model.throttleSteps.size();
    return model.throttleSteps[step];
}

// Where the source stands within its range, 0..1.
double Position(const EcuModel& model, Source source) {
    switch (source) {
    case Source::Throttle:
        return std::clamp(ThrottlePct(model) / 100.0, 0.0, 1.0);
    case Source::Gear:
        return std::clamp(static_cast<double>(model.engine.gear) / kTopGear, 0.0, 1.0);
    }
    return 0.0;
}

// The diagnosed channel watching an input: the throttle's; the idle-air actuator's (the stepper channel) for
// the auxiliary throttle; for the gear sensor the auxiliary input that measures the gear position.
DiagChannel WatchedBy(const EcuModel& model, std::uint8_t channel) {
    switch (channel) {
    case kThrottleChannel:
        return kChanThrottle;
    case kAuxThrottleChannel:
        return kChanStep;
    case kGearChannel:
        return AuxChannelOf(model, AuxSensor::GearPosition);
    default:
        return kNoChannel;
    }
}

// What aux1 and aux2 measure by the analog type (0..4; a type beyond is taken as 0, as the page repairs it).
constexpr AuxSensor kAuxInputs[][2] = {
    {AuxSensor::GearPosition, AuxSensor::ShiftSwitch},
    {AuxSensor::GearPosition, AuxSensor::TcLevel},
    {AuxSensor::ShiftSwitch, AuxSensor::TcLevel},
    {AuxSensor::Lambda1, AuxSensor::Lambda2},
    {AuxSensor::Fork, AuxSensor::Shock},
};

} // namespace

DiagChannel AuxChannelOf(const EcuModel& model, AuxSensor sensor) {
    const std::uint8_t type = model.ParByte(kParAnalogType);
    const AuxSensor* inputs = kAuxInputs[type < std::size(kAuxInputs) ? type : 0];
    return inputs[0] == sensor ? kChanAux1 : inputs[1] == sensor ? kChanAux2 : kNoChannel;
}

bool Disconnected(const EcuModel& model, DiagChannel channel) {
    return channel != kNoChannel && (model.engine.openChannels >> channel & 1u) != 0;
}

bool InError(const EcuModel& model, DiagChannel channel) {
    const DiagLog& d = model.diag;
    return channel != kNoChannel && ((d.chanErrMask & ~d.chanOffMask) >> channel & 1u) != 0;
}

std::optional<std::uint16_t> SensorReading(const EcuModel& model, std::uint8_t channel) {
    const auto* sensor = std::ranges::find(kSensors, channel, &Sensor::channel);
    if (sensor == std::end(kSensors)) return std::nullopt;
    if (Disconnected(model, WatchedBy(model, channel))) return std::uint16_t{0};
    const double ad = sensor->adLow + (sensor->adHigh - sensor->adLow) * Position(model, sensor->source);
    return static_cast<std::uint16_t>(std::lround(std::clamp(ad, 0.0, kReadingFull)));
}

// Request: the channel. Reply: the reading, u16 big-endian. An input the ECU does not have gets no reply.
Reply ReadAd(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 1) return std::nullopt;
    const std::optional<std::uint16_t> reading = SensorReading(model, request[0]);
    if (!reading) return std::nullopt;
    if (request[0] == kThrottleChannel) ++model.throttleReads;
    std::vector<std::uint8_t> reply(2);
    PutBE16(reply.data(), *reading);
    return reply;
}

} // namespace ecusim
