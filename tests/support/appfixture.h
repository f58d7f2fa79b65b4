// The main window loaded from the program's resource (the data-set names live on it), the images and
// settings cleared, and popups answered from a script.
#pragma once

#include "mainwindow.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/settings.h"
#include "orvane/ui/screen.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/userint.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

struct AppFixture : testing::Test {
    static void SetUpTestSuite() { LoadMainWindowOnce(); }

    void SetUp() override {
        std::memset(&ecuParData, 0, sizeof ecuParData);
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        InitEcuRefData();
        ShowConfigName("", 1);
        ShowConfigName("", 2);
    }

    static std::string ShownName(std::uint8_t kind) {
        std::array<char, 64> name{};
        GetConfigName(name.data(), name.size(), kind);
        return name.data();
    }

    ScriptedPopups popups;
};
