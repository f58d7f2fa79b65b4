#include "orvane/core/logic/ecucmds.h"
#include "orvane/core/ui/connect.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/interp.h"
#include "orvane/maps/plot.h"
#include "orvane/maps/setcurmap.h"
#include "pagefixture.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/resource.h"
#include "simlink.h"

#include <algorithm>
#include <set>
#include <string>

namespace {

using MapEditor = MapPage;

TEST_F(MapEditor, ChangedCellsAreRedAndBold) {
    const Point cell = At(3, 5);
    const auto look = [&] {
        return std::make_pair(CellAttr(MAPS1::TABmatrix, cell, ATTR_TEXT_COLOR),
                              CellAttr(MAPS1::TABmatrix, cell, ATTR_TEXT_BOLD));
    };
    EXPECT_EQ(look(), std::make_pair(VAL_BLACK, 0));
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, cell), 0);
    EXPECT_EQ(uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, '+'), 1);
    EXPECT_EQ(Shown()[3][5], 1);
    EXPECT_EQ(look(), std::make_pair(0xFF0000, 1));
    EXPECT_EQ(CellAttr(MAPS1::TABmatrix, At(3, 6), ATTR_TEXT_BOLD), 0);
    ASSERT_TRUE(ResetMapSelection(cell.y, cell.x, 1, 1));
    EXPECT_EQ(Shown()[3][5], 0);
    EXPECT_EQ(look(), std::make_pair(VAL_BLACK, 0));
}

TEST_F(MapEditor, ChangedBreakpointsAreMarkedToo) {
    ecuMapData.map1.y[4] = 55;
    ecuMapData.map1.x[0] = 10;
    ASSERT_TRUE(ScatterMp1Panel());
    EXPECT_EQ(CellAttr(MAPS1::TABbpy, {1, 5}, ATTR_TEXT_COLOR), 0xFF0000);
    EXPECT_EQ(CellAttr(MAPS1::TABbpy, {1, 4}, ATTR_TEXT_COLOR), VAL_BLACK);
    EXPECT_EQ(CellAttr(MAPS1::TABmatrix, {1, 1}, ATTR_TEXT_BOLD), 1);
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABbpy, {1, 5}), 5.5);
}

TEST_F(MapEditor, KeysStepTheActiveCell) {
    struct Case {
        int key;
        int steps;
    };
    const Case cases[] = {
        {'+', 1},
        {'-', -1},
        {'+' | VAL_MENUKEY_MODIFIER, 10},
        {'-' | VAL_MENUKEY_MODIFIER, -10},
        {'+' | VAL_ALT_MODIFIER, 100},
        {'-' | VAL_ALT_MODIFIER, -100},
        {'+' | VAL_SHIFT_MODIFIER, 1}, // '+' typed with Shift
    };
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(7, 9)), 0);
    for (const Case& c : cases) {
        Shown()[7][9] = 2345;
        ASSERT_TRUE(ScatterMp1Panel());
        EXPECT_EQ(uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, c.key), 1) << std::hex << c.key;
        EXPECT_EQ(Shown()[7][9], 2345 + c.steps) << std::hex << c.key;
    }
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(7, 9)), 2.345 + 1 / 1000.0);
    EXPECT_EQ(uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, 'a'), 0);

    // While the cell is being typed into, '+' is part of the number, not a step.
    ASSERT_EQ(uitest::OpenTableCellEditor(hMp1Panel, MAPS1::TABmatrix, At(7, 9)), 0);
    int state = 0;
    GetCtrlAttribute(hMp1Panel, MAPS1::TABmatrix, ATTR_TABLE_RUN_STATE, &state);
    ASSERT_EQ(state, VAL_EDIT_STATE);
    const std::int16_t before = Shown()[7][9];
    EXPECT_EQ(uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, '+'), 0);
    EXPECT_EQ(Shown()[7][9], before);
    uitest::CloseTableCellEditor(hMp1Panel, MAPS1::TABmatrix);
}

TEST_F(MapEditor, StepsStayWithinTheMapsLimits) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(0, 0)), 0);
    Shown()[0][0] = 31950;
    ASSERT_TRUE(ScatterMp1Panel());
    EXPECT_EQ(uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, '+' | VAL_ALT_MODIFIER), 1);
    EXPECT_EQ(Shown()[0][0], 32000);
    Shown()[0][0] = 5;
    ASSERT_TRUE(ScatterMp1Panel());
    EXPECT_EQ(uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, '-' | VAL_MENUKEY_MODIFIER), 1);
    EXPECT_EQ(Shown()[0][0], 0);
}

TEST_F(MapEditor, KeysOnTheBreakpointRowChangeNothing) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, {4, 1}), 0);
    EXPECT_EQ(uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, '+'), 1);
    EXPECT_EQ(ecuMapData.map1.x[3], 0);
}

TEST_F(MapEditor, TypedValuesRoundToWholeRawUnits) {
    struct Case {
        int map;
        const char* typed;
        std::int16_t raw;
    };
    const Case cases[] = {{1, "12.3456", 12346}, {3, "-0.05", -1}, {3, "-0.04", 0}, {3, "-719.96", -7200}};
    for (const Case& c : cases) {
        ShowMap(c.map);
        ASSERT_EQ(uitest::EditTableCell(hMp1Panel, MAPS1::TABmatrix, At(2, 2), c.typed), 0);
        EXPECT_EQ(Shown()[2][2], c.raw) << "map " << c.map << " typed " << c.typed;
    }
}

// What the user types is held to the range of the cell it goes into, on every table of the page: the cell
// shows the bound and the map stores it. A comma is no decimal point: the entry is refused whole.
TEST_F(MapEditor, TypedValuesAreHeldToTheCellsRange) {
    struct Case {
        int map;
        int control;
        Point cell;
        const char* typed;
        double shown;
        std::int16_t raw;
        std::int16_t& (*stored)(Point cell); // the raw value the cell stands for
    };
    const auto matrix = [](Point cell) -> std::int16_t& { return Shown()[cell.y - 2][cell.x - 1]; };
    const auto x = [](Point cell) -> std::int16_t& { return Block(idCurMap).x[cell.x - 1]; };
    const auto y = [](Point cell) -> std::int16_t& { return Block(idCurMap).y[cell.y - 1]; };
    const auto z = [](Point cell) -> std::int16_t& { return Block(idCurMap).z[0][cell.y - 1]; };
    const Case cases[] = {
        {1, MAPS1::TABmatrix, At(4, 4), "40", 32, 32000, matrix},     // 0 .. 32 ms
        {1, MAPS1::TABmatrix, At(4, 4), "-1", 0, 0, matrix},          // 0 .. 32 ms
        {1, MAPS1::TABmatrix, At(4, 4), "1,5", 0, 0, matrix},         // refused: the cell stays
        {3, MAPS1::TABmatrix, At(0, 9), "-800", -720, -7200, matrix}, // -720 .. 720 degrees
        {5, MAPS1::TABmatrix, At(19, 31), "2.5", 2, 2000, matrix},    // 0 .. 2
        {15, MAPS1::TABmatrix, At(1, 1), "150", 100, 1000, matrix},   // 0 .. 100 %
        {7, MAPS1::TABmatrix, {3, 1}, "600", 500, 500, x},            // 0 .. 500 km/h
        {1, MAPS1::TABmatrix, {32, 1}, "25000", 20000, 20000, x},     // 0 .. 20000 rpm
        {4, MAPS1::TABbpy, {1, 2}, "-40", -30, -300, y},              // -30 .. 250 degrees C
        {2, MAPS1::TABbpy, {1, 20}, "12000", 10000, 10000, y},        // 0 .. 10000 mBar
        {9, MAPS1::TABbpz, {1, 6}, "40000", 32767, 32767, z},         // the Z axis' 16 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "map " << c.map << " typed " << c.typed);
        ShowMap(c.map);
        const bool refused = std::string(c.typed).find(',') != std::string::npos;
        EXPECT_EQ(uitest::EditTableCell(hMp1Panel, c.control, c.cell, c.typed), refused ? UIE_BadValue : 0);
        EXPECT_DOUBLE_EQ(Cell(c.control, c.cell), c.shown);
        EXPECT_EQ(c.stored(c.cell), c.raw);
    }
}

TEST_F(MapEditor, BreakpointsAreRepairedOnlyByAFullGather) {
    const char* typed[] = {"100", "50", "200"};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(uitest::EditTableCell(hMp1Panel, MAPS1::TABmatrix, {i + 1, 1}, typed[i]), 0);
    for (int i = 3; i < kMapCols; ++i)
        ecuMapData.map1.x[i] = 200;      // the rest of the axis above them
    EXPECT_EQ(ecuMapData.map1.x[1], 50); // a plain commit stores what was typed
    ASSERT_TRUE(ScatterMp1Panel());
    ASSERT_EQ(uitest::SelectTab(hMp1Panel, MAPS1::TPselectMap, 2), 0); // leaving the map gathers it whole
    EXPECT_EQ(ecuMapData.map1.x[0], 100);
    EXPECT_EQ(ecuMapData.map1.x[1], 100);
    EXPECT_EQ(ecuMapData.map1.x[2], 200);
    EXPECT_EQ(idCurMap, 3);
}

TEST_F(MapEditor, TabChangeKeepsWhatWasTypedAndShowsTheNewMap) {
    ASSERT_EQ(uitest::EditTableCell(hMp1Panel, MAPS1::TABmatrix, At(0, 0), "1.5"), 0);
    ASSERT_EQ(uitest::SelectTab(hMp1Panel, MAPS1::TPselectMap, 3), 0);
    EXPECT_EQ(ecuMapData.map1.cells[0][0][0], 1500);
    EXPECT_EQ(idCurMap, 4);
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(0, 0)), 1.0); // map 4 defaults to 1000 x1000
    Point active;
    ASSERT_GE(GetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, &active), 0);
    EXPECT_EQ(active, At(0, 0));
    char unit[16];
    ASSERT_GE(GetCtrlVal(hMp1Panel, MAPS1::TMmapType, unit), 0);
    EXPECT_STREQ(unit, "K");
}

TEST_F(MapEditor, NotesRoundTripAndStayWithinTheirField) {
    ASSERT_EQ(uitest::SetValueAsUser(hMp1Panel, MAPS1::TBOXnotes, "base map, 98 RON"), 0);
    ASSERT_TRUE(GatherMp1Panel(1));
    EXPECT_STREQ(ecuMapData.notes, "base map, 98 RON");
    const std::string longText(600, 'n');
    ASSERT_EQ(uitest::SetValueAsUser(hMp1Panel, MAPS1::TBOXnotes, longText.c_str()), 0);
    ASSERT_TRUE(GatherMp1Panel(1));
    EXPECT_EQ(std::string(ecuMapData.notes), std::string(399, 'n'));
    std::memset(ecuMapData.notes, 'x', sizeof ecuMapData.notes); // no terminator in the image
    ASSERT_TRUE(ScatterMp1Panel());
    EXPECT_EQ(ecuMapData.notes[kNotesSize - 1], '\0');
}

TEST_F(MapEditor, MatrixChoiceFollowsTheCylinderCount) {
    aCurMatSel[kSelMap1Cyl] = 5;
    ASSERT_TRUE(ScatterMp1Panel());
    EXPECT_EQ(aCurMatSel[kSelMap1Cyl], 3);
    int shown = 0, visible = 0;
    ASSERT_GE(GetCtrlVal(hMp1Panel, MAPS1::NUMcylGear, &shown), 0);
    EXPECT_EQ(shown, 4);
    Cylinders() = 1;
    ASSERT_TRUE(ScatterMp1Panel());
    EXPECT_EQ(aCurMatSel[kSelMap1Cyl], 0);
    ASSERT_GE(GetCtrlAttribute(hMp1Panel, MAPS1::NUMcylGear, ATTR_VISIBLE, &visible), 0);
    EXPECT_EQ(visible, 0);
    ASSERT_GE(GetCtrlAttribute(hMp1Panel, MAPS1::TBsingleMatEditing, ATTR_VISIBLE, &visible), 0);
    EXPECT_EQ(visible, 0);
}

TEST_F(MapEditor, ChoosingAGearShowsItsMatrix) {
    ShowMap(5);
    ecuMapData.map5.cells[2][0][0] = 1700;
    ASSERT_EQ(uitest::SetValueAsUser(hMp1Panel, MAPS1::NUMcylGear, 3), 0);
    EXPECT_EQ(aCurMatSel[kSelMap5Gear], 2);
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(0, 0)), 1.7);
    char label[64];
    ASSERT_GE(GetCtrlAttribute(hMp1Panel, MAPS1::TABbpy, ATTR_LABEL_TEXT, label), 0);
    EXPECT_STREQ(label, "Throttle [deg] ");
}

TEST_F(MapEditor, LevelChoiceOfTheAccelerationMaps) {
    ShowMap(10);
    int visible = 0;
    ASSERT_GE(GetCtrlAttribute(hMp1Panel, MAPS1::TABbpz, ATTR_VISIBLE, &visible), 0);
    EXPECT_EQ(visible, 1);
    ecuMapData.map10.cells[0][4][0][1] = -55; // gear 0, level 4
    ecuMapData.map10.z[0][3] = 250; // above the next ones: the gather before the change repairs and redraws
    ASSERT_TRUE(ScatterMp1Panel());
    ASSERT_EQ(uitest::SetValueAsUser(hMp1Panel, MAPS1::RBbpz, 4), 0);
    EXPECT_EQ(aCurMatSel[kSelMap10Level], 4);
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(0, 1)), -5.5);
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABbpz, {1, 4}), 250);
    ShowMap(3);
    ASSERT_GE(GetCtrlAttribute(hMp1Panel, MAPS1::TABbpz, ATTR_VISIBLE, &visible), 0);
    EXPECT_EQ(visible, 0);
}

TEST_F(MapEditor, LoadAxisFollowsTheTurboByte) {
    struct Case {
        std::uint8_t turbo;
        int decimals;
        double max;
    };
    for (const Case& c : {Case{0, 1, 100}, Case{1, 0, 10000}}) {
        Turbo() = c.turbo;
        ShowMap(3);
        EXPECT_EQ(CellAttr(MAPS1::TABbpy, {1, 1}, ATTR_PRECISION), c.decimals);
        double max = 0;
        ASSERT_GE(GetTableCellAttribute(hMp1Panel, MAPS1::TABbpy, {1, 20}, ATTR_MAX_VALUE, &max), 0);
        EXPECT_EQ(max, c.max);
    }
}

TEST_F(MapEditor, InactiveMapIsDimmedAndClosesTheGraphs) {
    ASSERT_TRUE(ShowGrpPanel(true));
    ASSERT_TRUE(ShowPltPanel(true));
    Turbo() = 1;
    ShowMap(1);
    int dimmed = 0;
    ASSERT_GE(GetCtrlAttribute(hMp1Panel, MAPS1::TABmatrix, ATTR_DIMMED, &dimmed), 0);
    EXPECT_EQ(dimmed, 1);
    EXPECT_EQ(fGrpShown, 0);
    EXPECT_EQ(fPltShown, 0);
    ShowMap(2); // not switched off by the turbo
    ASSERT_GE(GetCtrlAttribute(hMp1Panel, MAPS1::TABmatrix, ATTR_DIMMED, &dimmed), 0);
    EXPECT_EQ(dimmed, 0);
}

// The page dims exactly the maps the configuration leaves inactive, on every tab: none with everything
// the maps need, and maps 1, 11 to 14, 16 and 17 with turbo on, single injectors, no stepper and no
// drive-by-wire.
TEST_F(MapEditor, EveryTabIsDimmedExactlyWhileItsMapIsInactive) {
    struct Case {
        const char* what;
        std::uint8_t injKind, turbo, stepper, extDbw;
        std::set<int> dimmed;
    };
    const Case cases[] = {
        {"everything on", 1, 0, 1, 1, {}},
        {"everything off", 0, 1, 0, 0, {1, 11, 12, 13, 14, 16, 17}},
    };
    auto* par = reinterpret_cast<std::uint8_t*>(&ecuParData);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        par[0x6E0] = c.injKind;
        par[0x77D] = c.turbo;
        par[0x7AF] = c.stepper;
        par[0x7B3] = c.extDbw;
        for (int id = 1; id <= kMapCount; ++id) {
            ShowMap(id);
            for (const int control : {MAPS1::TABmatrix, MAPS1::TABbpy, MAPS1::CBgraph2D, MAPS1::CBgraph3D}) {
                int dimmed = -1;
                ASSERT_GE(GetCtrlAttribute(hMp1Panel, control, ATTR_DIMMED, &dimmed), 0);
                EXPECT_EQ(dimmed, c.dimmed.contains(id) ? 1 : 0) << "map " << id << ", control " << control;
            }
        }
    }
}

TEST_F(MapEditor, RefusingSingleMatrixModeKeepsEverything) {
    ShowMap(5);
    ecuMapData.map5.cells[3][1][1] = 1333;
    popups.AnswerConfirm(false);
    ASSERT_EQ(uitest::Click(hMp1Panel, MAPS1::TBsingleMatEditing), 0);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Matrixes Alignment");
    EXPECT_EQ(popups.Records()[0].text, "WARNING!\n\nAll matrixes but the first will be lost!");
    EXPECT_EQ(ecuMapData.singleMatFlags[0], 0);
    EXPECT_EQ(ecuMapData.map5.cells[3][1][1], 1333);
    int on = 1;
    ASSERT_GE(GetCtrlVal(hMp1Panel, MAPS1::TBsingleMatEditing, &on), 0);
    EXPECT_EQ(on, 0);
}

// Switching it on keeps the first matrix, whichever was shown, and from then on the first matrix is
// the one edited, so that the alignment never overwrites an edit.
TEST_F(MapEditor, SingleMatrixModeKeepsAndEditsTheFirstMatrix) {
    ShowMap(5);
    for (int g = 0; g < kMapGears; ++g)
        ecuMapData.map5.cells[g][0][0] = static_cast<std::int16_t>(1100 + g);
    ASSERT_TRUE(ScatterMp1Panel());
    ASSERT_EQ(uitest::SetValueAsUser(hMp1Panel, MAPS1::NUMcylGear, 4), 0);
    popups.AnswerConfirm(true);
    ASSERT_EQ(uitest::Click(hMp1Panel, MAPS1::TBsingleMatEditing), 0);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    EXPECT_EQ(ecuMapData.singleMatFlags[0], 0x10);
    for (int g = 0; g < kMapGears; ++g)
        EXPECT_EQ(ecuMapData.map5.cells[g][0][0], 1100) << "gear " << g;
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(0, 0)), 1.1);
    ASSERT_EQ(uitest::EditTableCell(hMp1Panel, MAPS1::TABmatrix, At(0, 0), "1.25"), 0);
    ASSERT_TRUE(GatherMp1Panel(1));
    for (int g = 0; g < kMapGears; ++g)
        EXPECT_EQ(ecuMapData.map5.cells[g][0][0], 1250) << "gear " << g;
}

TEST_F(MapEditor, SingleMatrixModeOfTheAccelerationMapsCopiesWholeGears) {
    ShowMap(9);
    for (int g = 0; g < kMapGears; ++g)
        for (int l = 0; l < kMapLevels; ++l)
            ecuMapData.map9.cells[g][l][0][0] = static_cast<std::int16_t>(g * 6 + l);
    for (int l = 0; l < kMapLevels; ++l)
        ecuMapData.map9.z[0][l] = static_cast<std::int16_t>(100 * l);
    ASSERT_TRUE(ScatterMp1Panel());
    popups.AnswerConfirm(true);
    ASSERT_EQ(uitest::Click(hMp1Panel, MAPS1::TBsingleMatEditing), 0);
    EXPECT_EQ(ecuMapData.singleMatFlags[0], 0x02);
    for (int g = 0; g < kMapGears; ++g)
        for (int l = 0; l < kMapLevels; ++l) {
            EXPECT_EQ(ecuMapData.map9.cells[g][l][0][0], l) << g << "/" << l;
            EXPECT_EQ(ecuMapData.map9.z[g][l], 100 * l) << g << "/" << l;
        }
}

TEST_F(MapEditor, CellChangesKeepASingleMatrixMapAligned) {
    Cylinders() = 3;
    SetSingle(1, true);
    ecuMapData.map1.cells[3][0][0] = 777;           // no fourth cylinder: left alone
    ASSERT_TRUE(SetCurMap(0, 0, 0, 0, 0, 0, 0, 1)); // factor 0 without an addend: 0
    ASSERT_TRUE(SetCurMap(-1, 5, 5, 0, 0, 0, 0, 0));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(ecuMapData.map1.cells[k][5][31], 5) << k;
        EXPECT_EQ(ecuMapData.map1.cells[k][0][0], 0) << k;
    }
    EXPECT_EQ(ecuMapData.map1.cells[3][0][0], 777);
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(5, 31)), 0.0); // drawn only when asked
    EXPECT_FALSE(SetCurMap(32, 0, 1, 0, 0, 0, 0, 1));
}

TEST_F(MapEditor, TabsAreTheCataloguesMapsInOrder) {
    std::string error;
    const auto resource = uir::Parse("screen.uir", kScreenUir, error);
    ASSERT_TRUE(resource) << error;
    const uir::PanelDef* page = resource->Find(MAPS1::id);
    ASSERT_NE(page, nullptr);
    const auto tab = std::find_if(page->controls.begin(), page->controls.end(),
                                  [](const uir::ControlDef& c) { return c.id == MAPS1::TPselectMap; });
    ASSERT_NE(tab, page->controls.end());
    ASSERT_EQ(tab->options.tabs.size(), static_cast<std::size_t>(kMapCount));
    for (int id = 1; id <= kMapCount; ++id)
        EXPECT_EQ(tab->options.tabs[id - 1], FindMapDesc(id)->tabCaption);
}

// The page's tick is the idle poll: over an open link one Ping frame carrying the login keys, its result
// the reply's; with the link closed no traffic and success.
TEST_F(MapEditor, TimerIsThePingOverTheOpenLink) {
    EXPECT_TRUE(Mp1Timer()) << "link closed";
    ecusim::EcuSim ecu;
    SimLink& link = AttachSimLink(ecu);
    aProtectKeys[0] = 0xC2;
    struct Case {
        const char* what;
        bool shortReply;
        bool result;
    };
    for (const Case c : {Case{"answered", false, true}, Case{"reply a byte short", true, false}}) {
        SCOPED_TRACE(c.what);
        link.requests.clear();
        link.tamper = [&c](const ecusim::Frame&, std::optional<ecusim::Frame> reply) {
            if (c.shortReply && reply) reply->data.pop_back();
            return reply;
        };
        EXPECT_EQ(Mp1Timer(), c.result);
        ASSERT_EQ(link.requests.size(), 1u);
        const std::vector<std::uint8_t>& frame = link.requests[0];
        EXPECT_EQ(frame[2], CMD_PING);
        ASSERT_EQ(frame.size(), 3u + sizeof aProtectKeys + 1);
        EXPECT_TRUE(std::equal(std::begin(aProtectKeys), std::end(aProtectKeys), frame.begin() + 3));
    }
    CloseComPort();
    aProtectKeys[0] = 0;
}

} // namespace

namespace {

TEST_F(MapEditor, KeysPressedWhileASingleMatrixMapAlignsAllCount) {
    SetSingle(1, true); // every step copies the first matrix over the others, with the progress bar
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(7, 9)), 0);
    Shown()[7][9] = 2345;
    ASSERT_TRUE(ScatterMp1Panel());
    // Two more quick presses come while the first one's change is being aligned.
    int pressed = 0;
    uitest::Later([&] {
        for (int i = 0; i < 2; ++i)
            pressed += uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, '+');
    });
    EXPECT_EQ(uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, '+'), 1);
    ProcessSystemEvents();
    EXPECT_EQ(pressed, 2);
    EXPECT_EQ(Shown()[7][9], 2348) << "one step a press";
    SetSingle(1, false);
}

} // namespace
