// The whole program started once per test process (without its event loop), with no settings file,
// popups answered from a script, and the simulated ECU at hand as the link.
#pragma once

#include "ecusim/ecu.h"
#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/ui/screen.h"
#include "platform/sys/utility.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"
#include "simlink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

inline std::string SettingsPath() {
    char dir[1024];
    GetProjectDir(dir);
    return std::string(dir) + "/dervalon.ini";
}

struct OrvaneTest : testing::Test {
    static void SetUpTestSuite() {
        if (hMainPanel > 0) return;
        std::remove(SettingsPath().c_str());
        RegisterScreenCallbacks();
        RegisterResource("screen.uir", kScreenUir);
        ASSERT_TRUE(StartOrvane()) << GetLastLoadError();
        SuspendTimerCallbacks(); // the tests tick the main timer themselves
        DisplayPanel(hMainPanel);
    }

    void TearDown() override {
        if (isComOpen) CloseComPort();
        EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    }

    // Opens the link to the in-process simulated ECU; the returned link stays owned by the program.
    SimLink& ConnectSimulator() { return AttachSimLink(ecu); }

    // One tick of the main timer (the real timer is suspended: the tests tick it themselves).
    static void Tick() { MainTimer(hMainPanel, MAIN::TIMglobal, EVENT_TIMER_TICK, nullptr, 0, 0); }

    static std::string CtrlText(int panel, int control) {
        char text[512] = "";
        GetCtrlVal(panel, control, text);
        return text;
    }

    static int CtrlAttr(int panel, int control, int attribute) {
        int value = -1;
        GetCtrlAttribute(panel, control, attribute, &value);
        return value;
    }

    ecusim::EcuSim ecu;
    ScriptedPopups popups;
};
