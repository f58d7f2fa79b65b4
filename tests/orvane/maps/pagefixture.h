// The map page loaded under the main window (headless Qt), every map at its defaults, the reference equal
// to the data, 4 cylinders, map 1 shown.
#pragma once

#include "mapfixture.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/maps/map1.h"
#include "orvane/ui/screen.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"

struct MapPage : MapImages {
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Every popup of a test is answered here; one that the test did not queue fails it.
    ScriptedPopups popups;

    // Shows map id as the user would: its tab.
    static void ShowMap(int id);
    static MapMatrix& Shown(); // the current matrix
    static double Cell(int control, Point cell);
    static int CellAttr(int control, Point cell, int attribute);
    // Matrix cell [row][col] as a map-table cell.
    static Point At(int row, int col) { return {col + 1, row + 2}; }
};
