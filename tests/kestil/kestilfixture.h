// Kestil's window loaded from its resource, every state of the programmer back to the start of a run,
// popups answered from a script, and the simulated boot loader at hand.
#pragma once

#include "bootlink.h"
#include "firmwarefiles.h"
#include "kestil/connect.h"
#include "kestil/screen.h"
#include "kestil/settings.h"
#include "kestil/window.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/userint.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

struct KestilFixture : testing::Test {
    void SetUp() override {
        RegisterResource("screen.uir", kScreenUir);
        RegisterScreenCallbacks();
        hMainPanel = LoadPanel(0, "screen.uir", KESTIL::id);
        ASSERT_GT(hMainPanel, 0) << GetLastLoadError();
        // The timer is driven by hand: ticks come only from the test.
        SetCtrlAttribute(hMainPanel, KESTIL::TIMtick, ATTR_ENABLED, 0);
        ResetState();
        InitPortList();
        DisplayPanel(hMainPanel);
    }
    void TearDown() override {
        ResetState();
        DiscardPanel(hMainPanel);
        hMainPanel = 0;
    }

    static void ResetState() {
        ResetBootLink();
        cfg = {};
        fQuit = fProgramming = false;
        fUpdUfwVersion = fBloadKnown = fUpdBloadInfo = false;
        linkCount = 0;
        lastResult = RESULT_NONE;
        tClearStatus = 0;
    }

    static void Tick() { MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_TIMER_TICK, nullptr, 0, 0); }

    static std::string Text(int control) {
        std::array<char, 2048> text{};
        GetCtrlVal(hMainPanel, control, std::span(text));
        return text.data();
    }
    static std::string Title() {
        std::array<char, 512> title{};
        GetPanelAttribute(hMainPanel, ATTR_TITLE, std::span(title));
        return title.data();
    }
    static std::string Label(int control) {
        std::array<char, 16> label{};
        GetCtrlAttribute(hMainPanel, control, ATTR_LABEL_TEXT, std::span(label));
        return label.data();
    }
    static bool Dimmed(int control) {
        int dimmed = 0;
        GetCtrlAttribute(hMainPanel, control, ATTR_DIMMED, &dimmed);
        return dimmed != 0;
    }
    static double Progress() {
        double value = 0;
        GetCtrlVal(hMainPanel, KESTIL::NUMprogress, &value);
        return value;
    }

    ScriptedPopups popups;
};
