// The whole program started once per test process (without its event loop), with no settings file,
// popups answered from a script, and the simulated ECU at hand as the link.
#pragma once

#include "ecusim/ecu.h"
#include "orvane/core/logic/com.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/connect.h"
#include "orvane/core/ui/ecuselect.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
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

// Starts the program once per process, without a settings file.
inline void StartOrvaneOnce() {
    if (hMainPanel > 0) return;
    std::remove(SettingsPath().c_str());
    RegisterScreenCallbacks();
    RegisterResource("screen.uir", kScreenUir);
    ASSERT_TRUE(StartOrvane()) << GetLastLoadError();
}

struct OrvaneTest : testing::Test {
    static void SetUpTestSuite() {
        if (hMainPanel > 0) return;
        StartOrvaneOnce();
        SuspendTimerCallbacks(); // the tests tick the main timer themselves
        DisplayPanel(hMainPanel);
    }

    // The program is started once per process: every test begins where start-up leaves it, with the main
    // window alone and nothing unsaved, whatever the tests before it did.
    void SetUp() override {
        uitest::Click(hMainPanel, MAIN::CBinfo);
        ASSERT_EQ(hCurPanel, hMainPanel) << "an earlier test left the program unable to go back";
        InitEcuRefData();
        ClearProtectKeys(); // nobody logged in
        for (std::uint8_t kind : {1, 2})
            GetConfigName(shownNames[kind - 1], sizeof shownNames[0], kind);
    }

    // The data-set names a test received or loaded are given back, so that the next test sees what
    // start-up showed.
    void TearDown() override {
        if (isComOpen) CloseComPort();
        for (std::uint8_t kind : {1, 2})
            ShowConfigName(shownNames[kind - 1], kind);
        EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    }

    char shownNames[2][256] = {};

    // Opens the link to the in-process simulated ECU; the returned link stays owned by the program. One
    // tick follows, as in the running program, so that the main window shows the open link (Send and
    // Receive enabled) whatever an earlier test left dimmed.
    SimLink& ConnectSimulator() {
        SimLink& ref = AttachSimLink(ecu);
        Tick();
        ref.requests.clear();
        return ref;
    }

    // A data set received from the ECU or sent to it as the user does it: the command's button, the data
    // set chosen in "Select ECU Data" (choice: its button), "Done!" at the end; a tick follows, which
    // enables the data-set buttons again.
    void ReceiveDataSet(int choice) { RunDataSetCommand(MAIN::CBreceive, choice); }
    void SendDataSet(int choice) { RunDataSetCommand(MAIN::CBsend, choice); }
    void RunDataSetCommand(int command, int choice) {
        uitest::Later([choice] { uitest::Click(hEcuPanel, choice); });
        popups.ExpectMessage();
        uitest::Click(hMainPanel, command);
        ASSERT_EQ(popups.Records().back().text, "Done!");
        Tick();
    }

    // One tick of the main timer (the real timer is suspended: the tests tick it themselves).
    static void Tick() { MainTimer(hMainPanel, MAIN::TIMglobal, EVENT_TIMER_TICK, nullptr, 0, 0); }

    static std::string CtrlText(int panel, int control) {
        char text[512] = "";
        GetCtrlVal(panel, control, text);
        return text;
    }

    static double CtrlNumber(int panel, int control) {
        double value = 0;
        GetCtrlVal(panel, control, &value);
        return value;
    }

    static int CtrlAttr(int panel, int control, int attribute) {
        int value = -1;
        GetCtrlAttribute(panel, control, attribute, &value);
        return value;
    }

    ecusim::EcuSim ecu;
    ScriptedPopups popups;
};

// What happens between a one-shot request (a bench adjustment, a reset action) and the next exchange
// that would carry it: its page is left, or its link closed and opened again. Either way it is dropped.
struct OneShotLoss {
    const char* what;
    void (*act)(OrvaneTest&);
};
inline constexpr OneShotLoss kOneShotLosses[] = {
    {"the page left", [](OrvaneTest&) { uitest::Click(hMainPanel, MAIN::CBinfo); }},
    {"the link closed and opened again",
     [](OrvaneTest& t) {
         CloseComPort();
         AttachSimLink(t.ecu);
     }},
};
