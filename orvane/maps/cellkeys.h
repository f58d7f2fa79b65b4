// The keys that step a map cell, alike on the map page and in both graph windows.
#pragma once

#include "platform/ui/userint.h"

#include <algorithm>
#include <iterator>

// '+' and '-' step by 1 raw unit, with Ctrl by 10 and with Alt by 100. Shift is no part of the match:
// '+' needs it on many keyboards. 0 for any other key.
inline double CellStepOfKey(int keyCode) {
    struct KeyStep {
        int key;
        double steps;
    };
    constexpr KeyStep kKeySteps[] = {
        {'+', 1},
        {'-', -1},
        {'+' | VAL_MENUKEY_MODIFIER, 10},
        {'-' | VAL_MENUKEY_MODIFIER, -10},
        {'+' | VAL_ALT_MODIFIER, 100},
        {'-' | VAL_ALT_MODIFIER, -100},
    };
    const int key = keyCode & ~VAL_SHIFT_MODIFIER;
    const auto step = std::find_if(std::begin(kKeySteps), std::end(kKeySteps),
                                   [key](const KeyStep& s) { return s.key == key; });
    return step == std::end(kKeySteps) ? 0 : step->steps;
}
