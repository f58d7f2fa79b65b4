// The program's main window loaded once per test program from its built-in resource, for the tests that
// need the window's controls (data-set names, port ring, progress bar) without the whole start-up.
#pragma once

#include "orvane/core/ui/mainwin.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <gtest/gtest.h>

inline void LoadMainWindowOnce() {
    if (hMainPanel > 0) return;
    RegisterScreenCallbacks();
    RegisterResource("screen.uir", kScreenUir);
    ASSERT_TRUE(LoadMainPanel()) << GetLastLoadError();
    SetCurPanel(hMainPanel);
}
