// A control that steers an adjustment inside the ECU and shows back what the ECU reports (a bench slide,
// the tuning page's corrections). While the user's last change has not yet been reported back, a refill
// of the page from the last report would put an older value under the user's next step; the control
// keeps the user's value until a report read after the change went out.
#pragma once

#include <cstdint>

struct SlideHold {
    bool held = false;
    std::uint32_t carrier = 0; // the exchange that takes the change to the ECU, by the page's own count
                               // (the live requests, the tuning ticks)
};

// The user changed the control; the change goes out with exchange number carrier.
inline void HoldSlide(SlideHold& hold, std::uint32_t carrier) {
    hold = {true, carrier};
}

// Whether the control still keeps the user's value, given the exchange the page's report came from: a
// report from after the carrier ends the hold, and the ECU's value stands from then on (also when the
// change was lost or the ECU took another value).
inline bool SlideHeld(SlideHold& hold, std::uint32_t reportedBy) {
    if (hold.held && reportedBy > hold.carrier) hold.held = false;
    return hold.held;
}
