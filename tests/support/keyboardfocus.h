// Where the keyboard is, as the tests read it: the panel and the control that have the focus once the
// display has settled.
#pragma once

#include "platform/ui/uitest.h"

#include <gtest/gtest.h>
#include <utility>

using Place = std::pair<int, int>; // panel, control (0: the panel itself)

inline Place Focused() {
    Place at{0, 0};
    EXPECT_EQ(uitest::GetFocusedControl(&at.first, &at.second), 0) << "nothing has the keyboard";
    return at;
}
