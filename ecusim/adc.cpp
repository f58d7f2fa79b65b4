// A/D readings (command 0x07): the raw 10-bit value of one analog input, taken from the engine model.
// Each sensor maps its physical range linearly onto its own A/D span, as a bench ECU would report it:
// the throttle, pedal and throttle-body sensors follow the model's throttle opening, the gear sensor its
// gear. A throttle script (see EcuModel::throttleSteps) overrides the opening so that a calibration can be
// walked through idle and full open without a real engine.
#include "ecusim/commands.h"
#include "ecusim/sensors.h"

#include <algorithm>
#include <cmath>

namespace ecusim {

namespace {

enum class Source { Throttle, Gear };

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
    {10, Source::Throttle, 120, 900},                                       // auxiliary throttle
    {11, Source::Gear, 80, 940},      // gear sensor: neutral .. top gear
    {13, Source::Throttle, 150, 850}, // gas pedal A
    {14, Source::Throttle, 75, 425},  // gas pedal B
    {15, Source::Throttle, 102, 918}, // drive-by-wire 1 A
    {16, Source::Throttle, 918, 102}, // drive-by-wire 1 B
    {17, Source::Throttle, 110, 910}, // drive-by-wire 2 A
    {18, Source::Throttle, 910, 110}, // drive-by-wire 2 B
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

} // namespace

std::optional<std::uint16_t> SensorReading(const EcuModel& model, std::uint8_t channel) {
    const auto* sensor = std::ranges::find(kSensors, channel, &Sensor::channel);
    if (sensor == std::end(kSensors)) return std::nullopt;
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
