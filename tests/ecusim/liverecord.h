// Reading the simulated ECU's live records the way the live pages lay them out.
#pragma once

#include "bytes.h"
#include "ecusim/frame.h"
#include "ecusim/model.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

inline double LiveWord(const ecusim::Frame& f, std::size_t off) {
    return GetBE16(f.data, off);
}
inline double LiveSigned(const ecusim::Frame& f, std::size_t off) {
    return static_cast<std::int16_t>(GetBE16(f.data, off));
}

// A cylinder's injection (ms) as the injection record composes it from what it shows: the base time
// times every factor, shared out between the low and the high injectors by the partition, each set with
// its factor, and each set that injects with its dead time.
struct ComposedInjection {
    double lowMs, highMs;
};
inline ComposedInjection ComposeInjection(const ecusim::Frame& f, std::size_t cylinder) {
    const std::size_t c = 2 * cylinder;
    const auto k = [&](std::size_t off) { return LiveWord(f, off) / 1000.0; };
    double t = k(48 + c);
    for (const std::size_t factor : {56, 58, 60, 70, 172})
        t *= k(factor);
    for (const std::size_t perCylinder : {62, 122, 132, 140, 148, 156, 164, 206})
        t *= k(perCylinder + c);
    t *= k(130);
    const double share = LiveWord(f, 72 + c) / 1000.0;
    const double low = t * share * k(106 + c), high = t * (1.0 - share) * k(114 + c);
    return {low > 0.0 ? low + k(202) : 0.0, high > 0.0 ? high + k(204) : 0.0};
}
