#include "pagefixture.h"

#include "mainwindow.h"
#include "orvane/core/logic/com.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"
#include "platform/ui/uitest.h"

#include <cstring>
#include <memory>

void TablePages::SetUpTestSuite() {
    LoadMainWindowOnce();
    if (hIj1Panel > 0) return;
    ASSERT_GE(DisplayPanel(hMainPanel), 0);
    ASSERT_TRUE(InitIj1Panel(hMainPanel) && InitIj2Panel(hMainPanel) && InitAdvPanel(hMainPanel) &&
                InitLn1Panel(hMainPanel) && InitLn2Panel(hMainPanel))
        << GetLastLoadError();
}

void TablePages::SetUp() {
    ASSERT_GT(hLn2Panel, 0);
    std::memset(&ecuParData, 0, sizeof ecuParData);
    std::memset(&ecuMapData, 0, sizeof ecuMapData);
    InitInjData();
    InitIj2Data();
    InitAdvData();
    InitLn1Data();
    InitLn2Data();
    Cylinders() = 4;
    MaxRtcSteps() = 255;
    StepperType() = 1;
    ExtDbw() = 1;
    AnalogType() = 1;
    InjectionKind() = 1;
    for (bool (*scatter)() :
         {ScatterIj1Panel, ScatterIj2Panel, ScatterAdvPanel, ScatterLn1Panel, ScatterLn2Panel})
        ASSERT_TRUE(scatter());
    // The cylinder shown is the pages' own state: every test starts on the first, chosen as a user would.
    for (const auto& [panel, ring] :
         {std::pair{hIj1Panel, INJ1::RINGcylUser}, std::pair{hAdvPanel, ADV::RINGcylUser}}) {
        Show(panel);
        ASSERT_EQ(uitest::SetValueAsUser(panel, ring, 0.0), 0);
        HidePanel(panel);
    }
}

void TablePages::TearDown() {
    RemovePopup(1);
    CloseComPort();
    for (int panel : {hIj1Panel, hIj2Panel, hAdvPanel, hLn1Panel, hLn2Panel})
        HidePanel(panel);
}

void TablePages::Show(int panel) {
    for (int page : {hIj1Panel, hIj2Panel, hAdvPanel, hLn1Panel, hLn2Panel})
        if (page != panel) HidePanel(page);
    ASSERT_GE(DisplayPanel(panel), 0);
}

double TablePages::Cell(int panel, int control, Point cell) {
    double v = 0;
    EXPECT_GE(GetTableCellVal(panel, control, cell, &v), 0);
    return v;
}

void TablePages::SetCell(int panel, int control, Point cell, double value) {
    ASSERT_GE(SetTableCellVal(panel, control, cell, value), 0);
}

int TablePages::CellAttr(int panel, int control, Point cell, int attribute) {
    int v = 0;
    EXPECT_GE(GetTableCellAttribute(panel, control, cell, attribute, &v), 0);
    return v;
}

int TablePages::CtrlAttr(int panel, int control, int attribute) {
    int v = 0;
    EXPECT_GE(GetCtrlAttribute(panel, control, attribute, &v), 0);
    return v;
}

SimLink& TablePages::Connect() {
    return AttachSimLink(ecu);
}
