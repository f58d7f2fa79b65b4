#include "pagefixture.h"

#include "orvane/maps/mapval.h"

#include <cstdlib>

void MapPage::SetUpTestSuite() {
    if (hMp1Panel > 0) return;
    RegisterResource("screen.uir", kScreenUir);
    RegisterScreenCallbacks();
    ASSERT_TRUE(LoadMainPanel()) << GetLastLoadError();
    ASSERT_GE(DisplayPanel(hMainPanel), 0);
    ASSERT_TRUE(InitMp1Panel(hMainPanel)) << GetLastLoadError();
    ASSERT_GE(DisplayPanel(hMp1Panel), 0);
    SetCurPanel(hMp1Panel);
}

void MapPage::SetUp() {
    ASSERT_GT(hMp1Panel, 0);
    MapImages::SetUp();
    Cylinders() = 4;
    ShowMap(1);
    ASSERT_GE(SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, At(0, 0)), 0);
    ASSERT_GE(SetTableSelection(hMp1Panel, MAPS1::TABmatrix, Rect{}), 0);
}

void MapPage::TearDown() {
    RemovePopup(1);
}

void MapPage::ShowMap(int id) {
    idCurMap = static_cast<std::uint8_t>(id);
    ASSERT_GE(SetActiveTabPage(hMp1Panel, MAPS1::TPselectMap, id - 1), 0);
    ASSERT_TRUE(ScatterMp1Panel());
}

MapMatrix& MapPage::Shown() {
    CurMapInfo info;
    EXPECT_TRUE(GetCurMapInfo(&info));
    return *info.matrix;
}

double MapPage::Cell(int control, Point cell) {
    double v = 0;
    EXPECT_GE(GetTableCellVal(hMp1Panel, control, cell, &v), 0);
    return v;
}

int MapPage::CellAttr(int control, Point cell, int attribute) {
    int v = 0;
    EXPECT_GE(GetTableCellAttribute(hMp1Panel, control, cell, attribute, &v), 0);
    return v;
}
