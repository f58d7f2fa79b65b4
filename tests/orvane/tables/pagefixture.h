// The injection, advance and linearization pages loaded under the main window (headless Qt), every field
// at its default, four cylinders, the selector read in volts, drive-by-wire and the auxiliary throttle on;
// popups answered from a script, and the simulated ECU as the link when a test connects it.
#pragma once

#include "ecusim/ecu.h"
#include "orvane/core/logic/images.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/userint.h"
#include "simlink.h"

#include <gtest/gtest.h>

struct TablePages : testing::Test {
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Shows page (a child of the main window) alone, as the navigation does.
    static void Show(int panel);
    static double Cell(int panel, int control, Point cell);
    static void SetCell(int panel, int control, Point cell, double value);
    static int CellAttr(int panel, int control, Point cell, int attribute);
    static int CtrlAttr(int panel, int control, int attribute);

    // Settings of the configuration pages these pages follow.
    static std::uint8_t& Cylinders() { return ecuParData.b6E0[2]; }
    static std::uint8_t& InjectionKind() { return ecuParData.b6E0[0]; }
    static std::uint8_t& MaxRtcSteps() { return ecuParData.b772[0x781 - 0x772]; }
    static std::uint8_t& StepperType() { return ecuParData.b7AE[0x7AF - 0x7AE]; }
    static std::uint8_t& AnalogType() { return ecuParData.b7AE[0x7B1 - 0x7AE]; }
    static std::uint8_t& ExtDbw() { return ecuParData.b7AE[0x7B3 - 0x7AE]; }

    // The simulated ECU as the link.
    SimLink& Connect();

    ecusim::EcuSim ecu;
    ScriptedPopups popups;
};
