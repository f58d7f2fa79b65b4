// The whole program, with every configuration page's defaults written again before each test, so that
// no test sees what another left in the image or on the pages.
#pragma once

#include "orvane/config/config.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/fields.h"
#include "orvanefixture.h"

struct ConfigTest : OrvaneTest {
    void SetUp() override {
        OrvaneTest::SetUp();
        InitCg1Data();
        InitCg2Data();
        InitCg3Data();
        InitCg4Data();
        InitCaqData();
        ASSERT_TRUE(ScatterAllPanels());
        // The pages are on screen, so that the tests act on them as a user would.
        for (int panel : {hCg1Panel, hCg2Panel, hCg3Panel, hCg4Panel, hCaqPanel})
            DisplayPanel(panel);
    }

    void TearDown() override {
        for (int panel : {hCg1Panel, hCg2Panel, hCg3Panel, hCg4Panel, hCaqPanel})
            HidePanel(panel);
        OrvaneTest::TearDown();
    }

    static double Number(int panel, int control) {
        double v = -1;
        GetCtrlVal(panel, control, &v);
        return v;
    }

    static std::uint8_t ParByte(std::size_t offset) {
        return static_cast<std::uint8_t>(ReadField(Image::Par, offset, Raw::U8));
    }
    static std::int64_t ParWord(std::size_t offset) { return ReadField(Image::Par, offset, Raw::U16); }
    static void SetParByte(std::size_t offset, std::uint8_t v) { WriteField(Image::Par, offset, Raw::U8, v); }
    static void SetParWord(std::size_t offset, std::int64_t v) {
        WriteField(Image::Par, offset, Raw::U16, v);
    }

    static bool Dimmed(int panel, int control) { return CtrlAttr(panel, control, ATTR_DIMMED) != 0; }

    static std::vector<std::string> RingLabels(int panel, int control) {
        int n = 0;
        GetNumListItems(panel, control, &n);
        std::vector<std::string> labels;
        for (int i = 0; i < n; ++i) {
            char label[128] = "";
            GetLabelFromIndex(panel, control, i, label);
            labels.emplace_back(label);
        }
        return labels;
    }
};
