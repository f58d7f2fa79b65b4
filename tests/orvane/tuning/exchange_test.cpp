// The tuning exchange driven through the program against the simulated ECU: the sub-frames on the wire,
// the ECU's cell reports in the maps, the settings files and the closed-link stop.
#include "bytes.h"
#include "orvane/core/logic/blocks.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/navigation.h"
#include "orvane/core/ui/settings.h"
#include "orvane/maps/map1.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"
#include "platform/ui/popup.h"
#include "tuningfixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

TEST_F(TuningTest, IdlePollAndManualStartByteForByte) {
    SimLink& link = Open();
    const auto first = TuningFrames(link);
    ASSERT_EQ(first.size(), 1U);
    EXPECT_EQ(first[0], (std::vector<std::uint8_t>{0x55, 1, 0x09, 1, 0x0B})) << "the idle poll";
    SetCtrlVal(hMp2Panel, MAPS2::TBcyl1, 1);
    RaiseMtRequest(kReqManual);
    const std::size_t mark = link.requests.size();
    Mp2Timer();
    const auto frames = TuningFrames(link, mark);
    ASSERT_GE(frames.size(), 1U);
    EXPECT_EQ(frames[0],
              (std::vector<std::uint8_t>{0x55, 12, 0x09, 0, 0x80, 0, 0, 0, 200, 0, 50, 0, 50, 0, 0,
                                         static_cast<std::uint8_t>(12 + 9 + 0x80 + 200 + 50 + 50)}));
    EXPECT_TRUE(IsMapTuning());
}

TEST_F(TuningTest, EveryReportedCellLandsOnceInTheMapUnderTuning) {
    SimLink& link = Open();
    ecu.model.tuning = true; // the ECU tunes by itself from here on
    std::vector<std::uint8_t> info = InfoWith(2, {{2, 3, 5, 1234}, {1, 19, 31, -5 & 0xFFFF}, {3, 20, 0, 7}});
    link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == CMD_MAP_TUNING && request.data.size() == 1 && request.data[0] == 1 && reply) {
            reply->data = info;
            info = InfoWith(2, {});
        }
        return reply;
    };
    Mp2Timer(); // takes the ECU's mode and settings and reloads the maps, then applies the reports
    EXPECT_EQ(ecuMapData.map1.cells[0][3][5], 1234);
    EXPECT_EQ(ecuMapData.map3.cells[19][31], -5);
    EXPECT_EQ(ecuMapData.map1.cells[1][0][0], 0) << "row 20 is outside the map";
    ecuMapData.map1.cells[0][3][5] = 1;
    Mp2Timer();
    EXPECT_EQ(ecuMapData.map1.cells[0][3][5], 1) << "a report is applied once";
}

TEST_F(TuningTest, StopAgreesWithTheLinkClosed) {
    SetTuneStatusInfo(0, 1, 0);
    EXPECT_TRUE(AbortManualTuning()) << "nothing runs without a link";
    SetTuneStatusInfo(0, 0, 0);
}

TEST_F(TuningTest, SettingsFileRoundTripAndShortFileRefused) {
    const auto dir = std::filesystem::temp_directory_path() / ("mtp-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    SetMtTrackMode(4, 9, 3);
    const MTSETTINGS stored = mtSettings;
    popups.AnswerFile((dir / "settings.txt").string(), VAL_NEW_FILE_SELECTED);
    ASSERT_TRUE(StoreMtSettings());
    EXPECT_EQ(std::filesystem::file_size(dir / "settings.mtp"), 200U);
    InitMtData();
    popups.AnswerFile((dir / "settings.mtp").string());
    ASSERT_TRUE(LoadMtSettings(1));
    EXPECT_EQ(std::memcmp(&mtSettings, &stored, sizeof stored), 0);

    std::ofstream(dir / "short.mtp", std::ios::binary) << std::string(100, '\x7F');
    popups.AnswerFile((dir / "short.mtp").string()).ExpectMessage();
    EXPECT_FALSE(LoadMtSettings(1));
    EXPECT_EQ(std::memcmp(&mtSettings, &stored, sizeof stored), 0) << "a short file changes nothing";
    std::filesystem::remove_all(dir);
    cfg.mtpFile[0] = '\0';
}

TEST_F(TuningTest, AutomaticRunFromThePageShowsTheCellsConverge) {
    std::vector<std::uint8_t>& par = ecu.model.StoreBytes(ecusim::Store::Par);
    par[40 + 0x6E2] = 4; // the ECU's configuration: four cylinders
    ecusim::SealImage(par);
    ConnectSimulator();
    MapsTuneAuto(hMainPanel, 0, EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_EQ(hCurPanel, hMp2Panel);
    popups.AnswerConfirm(false);
    Tick();
    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::TBcyl1), 0);
    Point tracked{};
    ASSERT_EQ(uitest::GetTableCellPoint(hMp2Panel, MAPS2::TABmatrix, Point{5, 4}, &tracked), 0);
    uitest::SendMouse(hMp2Panel, MAPS2::TABmatrix, EVENT_LEFT_DOUBLE_CLICK, tracked.x, tracked.y);
    EXPECT_EQ(TrackModeOf(mtSettings, 2, 4), 1) << "a double click tracks the cell toward set-point 1";
    InitEcuRefData(); // the data as a file holds them: the start has nothing unsaved to ask about
    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::CBtuneAuto), 0);
    for (int i = 0; i < 60; ++i)
        Tick();
    ASSERT_TRUE(IsMapTuning());
    EXPECT_EQ(isComOpen, 1);
    const std::int16_t cell = ecuMapData.map1.cells[0][2][4];
    EXPECT_GT(cell, 1000) << "the tracked cell moved toward what the engine needs";
    EXPECT_EQ(ecuMapData.map1.cells[0][2][5], 0) << "an untracked cell stays";
    int colour = 0;
    GetTableCellAttribute(hMp2Panel, MAPS2::TABmatrix, Point{5, 4}, ATTR_TEXT_COLOR, &colour);
    EXPECT_EQ(colour, 0xFF0000) << "a changed cell stands out";
    double shown = 0;
    GetTableCellVal(hMp2Panel, MAPS2::TABmatrix, Point{5, 4}, &shown);
    EXPECT_DOUBLE_EQ(shown, cell / 1000.0);

    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::CBtuneOff), 0);
    Tick();
    Tick();
    EXPECT_FALSE(IsMapTuning());
    EXPECT_EQ(CtrlText(hMp2Panel, MAPS2::TMstatus), "Tuning OFF");
    EXPECT_EQ(ecuMapData.map1.cells[0][2][4], cell) << "the maps read back at the end agree";
    uitest::Click(hMainPanel, MAIN::CBinfo);
}

// An automatic run of both cylinders over the lean spot of the simulator's own maps: each cylinder's
// matrix on the page holds that cylinder's own tuned cells, and they end apart, as the cylinders' needs
// are. With ORVANE_SHOT_DIR set, the page is written there showing each matrix, to be looked at.
TEST_F(TuningTest, AutomaticRunOfTwoCylindersTunesEachMatrixOnItsOwn) {
    const auto par = std::make_unique<EcuParData>(ecuParData);
    const auto map = std::make_unique<EcuMapData>(ecuMapData);
    ecusim::ResetStores(ecu.model); // the simulator's calibrated data sets
    ConnectSimulator();
    MapsTuneAuto(hMainPanel, 0, EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_EQ(hCurPanel, hMp2Panel);
    popups.AnswerConfirm(true); // the page loads the ECU's configuration and maps
    Tick();
    Tick(); // and sets its cylinder toggles by the configuration loaded
    const EcuMapData before = ecuMapData;
    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::TBcyl1), 0);
    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::TBcyl2), 0);
    const std::array<std::array<int, 2>, 4> tracked = {{{9, 6}, {9, 7}, {10, 6}, {10, 7}}}; // 25-30 deg
    for (const auto& [row, col] : tracked) {
        Point at{};
        ASSERT_EQ(uitest::GetTableCellPoint(hMp2Panel, MAPS2::TABmatrix, Point{col + 1, row + 2}, &at), 0);
        uitest::SendMouse(hMp2Panel, MAPS2::TABmatrix, EVENT_LEFT_DOUBLE_CLICK, at.x, at.y);
    }
    InitEcuRefData(); // the data as a file holds them: the start has nothing unsaved to ask about
    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::CBtuneAuto), 0);
    for (int i = 0; i < 200; ++i)
        Tick();
    ASSERT_TRUE(IsMapTuning());
    for (const auto& [row, col] : tracked) {
        SCOPED_TRACE(testing::Message() << "row " << row << ", column " << col);
        const std::int16_t cyl1 = ecuMapData.map1.cells[0][row][col],
                           cyl2 = ecuMapData.map1.cells[1][row][col];
        EXPECT_GT(cyl1, before.map1.cells[0][row][col]) << "the lean cell grew on cylinder 1";
        EXPECT_GT(cyl2, before.map1.cells[1][row][col]) << "and on cylinder 2";
        EXPECT_NE(cyl1, cyl2) << "each to its own cylinder's need";
    }
    for (const int matrix : {1, 2}) {
        SetCtrlVal(hMp2Panel, MAPS2::RINGmapType, matrix);
        Tick();
        double shown = 0;
        GetTableCellVal(hMp2Panel, MAPS2::TABmatrix, Point{8, 11}, &shown);
        EXPECT_DOUBLE_EQ(shown, ecuMapData.map1.cells[matrix - 1][9][7] / 1000.0) << "matrix " << matrix;
        if (const char* dir = std::getenv("ORVANE_SHOT_DIR")) {
            const std::string path =
                std::string(dir) + "/auto-run-cylinder" + std::to_string(matrix) + ".png";
            EXPECT_EQ(uitest::GrabPanelToPng(hMainPanel, path.c_str()), 0);
        }
    }
    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::CBtuneOff), 0);
    Tick();
    Tick();
    EXPECT_FALSE(IsMapTuning());
    SetCtrlVal(hMp2Panel, MAPS2::RINGmapType, 1);
    uitest::Click(hMainPanel, MAIN::CBinfo);
    ecuParData = *par;
    ecuMapData = *map;
}

TEST_F(TuningTest, RaisedFramesGoOutInTheirFixedOrder) {
    SimLink& link = Open();
    SetCtrlVal(hMp2Panel, MAPS2::TBcyl1, 1);
    ecu.model.tuning = true; // manual tuning runs: a settings change renews its frame
    Mp2Timer();
    RaiseMtRequest(kReqAdvFreeze | kReqResync);
    const std::size_t mark = link.requests.size();
    Mp2Timer();
    const auto frames = TuningFrames(link, mark);
    ASSERT_GE(frames.size(), 2U);
    EXPECT_EQ(frames[0][1], kMtManualSize) << "Manual first";
    EXPECT_EQ(frames[1][1], kMtFreezeSize) << "then the advance Freeze";
    for (const auto& f : frames)
        EXPECT_FALSE(f[1] == 1 && f[3] == 1) << "no poll when something was sent";
}

TEST_F(TuningTest, FailedSettingsReadIsRetriedOnTheNextTick) {
    ecu.model.tuning = true; // the program meets an ECU that is already tuning
    SimLink& link = ConnectSimulator();
    int parmsAsked = 0;
    link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == CMD_MAP_TUNING && request.data == std::vector<std::uint8_t>{2}) {
            if (++parmsAsked == 1 && reply) reply->data.pop_back();
        }
        return reply;
    };
    EXPECT_FALSE(Mp2Timer()) << "a short settings reply fails the tick";
    EXPECT_EQ(parmsAsked, 1);
    Mp2Timer();
    EXPECT_EQ(parmsAsked, 2) << "the first synchronisation stayed pending";
    Mp2Timer();
    EXPECT_EQ(parmsAsked, 2);
}

TEST_F(TuningTest, ReportsOfTheStopExchangeAreAppliedOnTheNextTick) {
    SimLink& link = Open();
    ecu.model.tuning = true;
    Mp2Timer(); // the ECU's manual tuning is taken up
    ASSERT_EQ(TuningStateNow(), kTsManual);
    link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == CMD_MAP_TUNING && request.data == std::vector<std::uint8_t>{3} && reply)
            reply->data = InfoWith(1, {{2, 1, 1, 777}});
        return reply;
    };
    popups.AnswerConfirm(true);
    EXPECT_TRUE(AbortManualTuning());
    link.tamper = nullptr;
    Mp2Timer(); // reads both maps back, then applies what the stop reported
    EXPECT_EQ(ecuMapData.map1.cells[0][1][1], 777);
}

TEST_F(TuningTest, RowWritesOfTheMapByPressureComeBackIntoIt) {
    SimLink& link = Open();
    (void)link;
    SetCtrlVal(hMp2Panel, MAPS2::TBcyl1, 1);
    SetCtrlVal(hMp2Panel, MAPS2::TBmtjByPair, 1);
    RaiseMtRequest(kReqManual);
    Mp2Timer();
    Mp2Timer();
    ASSERT_TRUE(IsMapTuning());
    ASSERT_TRUE(ExchangeByPressure());
    SetActiveTableCell(hMp2Panel, MAPS2::TABmatrix, Point{3, 4});
    const std::int16_t before = ecuMapData.map2.cells[0][2][2];
    EXPECT_EQ(MapTuneEnabCellCol(hMp2Panel, MAPS2::TABmatrix, EVENT_KEYPRESS, nullptr, '+', 0), 1);
    EXPECT_EQ(ecuMapData.map2.cells[0][2][2], before) << "the local map waits for the ECU's report";
    Mp2Timer();
    EXPECT_EQ(ecuMapData.map2.cells[0][2][2], before + 10) << "one step of 0.01 ms";
    EXPECT_EQ(ecuMapData.map1.cells[0][2][2], 0) << "the map by throttle is left alone";
}

TEST_F(TuningTest, DoubleClicksCycleTheTrackModes) {
    isTuningManual = 0;
    isTuningAuto = 1;
    ScatterMp2Panel();
    const auto click = [] {
        MapTuneEnabCellAll(hMp2Panel, MAPS2::TMenabCols, EVENT_LEFT_DOUBLE_CLICK, nullptr, 0, 0);
        return TrackModeOf(mtSettings, 0, 0);
    };
    const int first = click();
    ASSERT_NE(first, 0);
    const int second = click();
    EXPECT_EQ(second, first % 3 + 1);
    EXPECT_EQ(click(), second % 3 + 1);
    EXPECT_EQ(click(), 0);
    EXPECT_EQ(click(), first) << "switched on again where the cycle left off";
    EXPECT_EQ(TrackModeOf(mtSettings, 19, 31), TrackModeOf(mtSettings, 0, 0)) << "the whole table";
    isTuningManual = 1;
    isTuningAuto = 0;
    EXPECT_EQ(MapTuneEnabCellAll(hMp2Panel, MAPS2::TMenabCols, EVENT_LEFT_DOUBLE_CLICK, nullptr, 0, 0), 0);
    EXPECT_EQ(TrackModeOf(mtSettings, 0, 0), first) << "outside automatic mode nothing changes";
}

// A double click on the tuning tables marks cells for tracking and nothing else: no cell editor opens
// that the next key typed would go into.
TEST_F(TuningTest, DoubleClickOnTheTablesOnlyMarksCells) {
    ShowAutomaticPage();
    struct Case {
        const char* what;
        int table;
        Point cell;
        int row, col; // a cell of the map under tuning that the click marks
    };
    const Case cases[] = {
        {"matrix cell", MAPS2::TABmatrix, {5, 4}, 2, 4},
        {"load breakpoint", MAPS2::TABbpy, {1, 7}, 6, 20},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(TrackModeOf(mtSettings, c.row, c.col), 0) << c.what;
        ASSERT_EQ(uitest::DoubleClickTableCell(hMp2Panel, c.table, c.cell), 0) << c.what;
        EXPECT_NE(TrackModeOf(mtSettings, c.row, c.col), 0) << c.what;
        int state = -1;
        GetCtrlAttribute(hMp2Panel, c.table, ATTR_TABLE_RUN_STATE, &state);
        EXPECT_EQ(state, VAL_SELECT_STATE) << c.what;
        uitest::CloseTableCellEditor(hMp2Panel, c.table);
    }
}

// No table of the tuning page takes typed text: a key typed into the matrix or the load breakpoints, in
// either mode, opens no cell editor and leaves the cell as the map holds it.
TEST_F(TuningTest, TheTuningTablesTakeNoTypedText) {
    struct Case {
        const char* what;
        int table;
        Point cell;
    };
    const Case cases[] = {
        {"matrix cell", MAPS2::TABmatrix, {5, 4}},
        {"speed breakpoint", MAPS2::TABmatrix, {5, 1}},
        {"load breakpoint", MAPS2::TABbpy, {1, 7}},
    };
    ShowAutomaticPage();
    for (const bool automatic : {true, false}) {
        SetTuningPageMode(automatic, !automatic);
        ASSERT_TRUE(ScatterMp2Panel());
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << (automatic ? ", automatic" : ", manual"));
            double before = 0, after = 0;
            GetTableCellVal(hMp2Panel, c.table, c.cell, &before);
            ASSERT_EQ(uitest::SelectTableCell(hMp2Panel, c.table, c.cell), 0);
            ASSERT_GE(uitest::PressKey(hMp2Panel, c.table, '7'), 0);
            int state = -1;
            GetCtrlAttribute(hMp2Panel, c.table, ATTR_TABLE_RUN_STATE, &state);
            EXPECT_EQ(state, VAL_SELECT_STATE);
            EXPECT_EQ(uitest::EditTableCell(hMp2Panel, c.table, c.cell, "7"), uitest::kUnreachable);
            uitest::CloseTableCellEditor(hMp2Panel, c.table);
            GetTableCellVal(hMp2Panel, c.table, c.cell, &after);
            EXPECT_EQ(after, before);
        }
    }
}

TEST_F(TuningTest, PopupOfATickDoesNotRunANestedTick) {
    SimLink& link = ConnectSimulator();
    int nested = 0;
    const PopupHook previous = SetPopupHook([&](const PopupRequest&) {
        ++nested;
        EXPECT_TRUE(Mp2Timer()); // a timer tick while the question is open
        return PopupAnswer{0, ""};
    });
    const std::size_t mark = link.requests.size();
    Mp2Timer();
    SetPopupHook(previous);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(TuningFrames(link, mark).size(), 1U) << "only the outer tick talked to the ECU";
}

TEST_F(TuningTest, ManualKeysStepTheCorrectionWithinItsLimits) {
    SetCtrlVal(hMp2Panel, MAPS2::NUMjStep, 0.01);
    SetCtrlVal(hMp2Panel, MAPS2::NUMaStep, 0.5);
    SetCylinderSelection(0x80, 0);
    struct Case {
        int key;
        int slider;
        double at;
        std::uint16_t sent;
        std::uint8_t mask;
    } cases[] = {
        {VAL_F1_VKEY + 0x200, MAPS2::NSjTuneCor, 1.995, 2000, 0x80},                          // F3
        {VAL_F1_VKEY + 0x100, MAPS2::NSjTuneCor, 0.005, 0, 0x80},                             // F2
        {VAL_F1_VKEY + 0x500, MAPS2::NSaTuneCor, -29.8, static_cast<std::uint16_t>(-300), 0}, // F6
        {VAL_F1_VKEY + 0x600, MAPS2::NSaTuneCor, 0.25, 8, 0},                                 // F7
    };
    for (const Case& c : cases) {
        SetCtrlVal(hMp2Panel, c.slider, c.at);
        mtAdjust = {};
        EXPECT_EQ(PanelCallback(hMp2Panel, EVENT_KEYPRESS, nullptr, c.key, 0), 1);
        EXPECT_EQ(mtAdjust.value, c.sent) << c.at;
        EXPECT_EQ(mtAdjust.cylMask, c.mask);
    }
    isTuningManual = 0;
    isTuningAuto = 1;
    mtAdjust = {};
    EXPECT_EQ(PanelCallback(hMp2Panel, EVENT_KEYPRESS, nullptr, VAL_F1_VKEY + 0x100, 0), 1) << "swallowed";
    EXPECT_EQ(mtAdjust.cylMask, 0);
    EXPECT_EQ(mtAdjust.value, 0) << "nothing to send outside manual mode";
}

// The manual corrections stepped by the user between ticks, a key every two ticks or a few keys a tick:
// every step starts from the value the user left in the control, whichever Info the ticks read back
// meanwhile (also from an ECU that answers an Adjust with the correction it held before), so that the ECU
// ends with the sum of the steps and the control shows it. The function keys step by the page's steps;
// the Ratio's own arrow keys by its increment, Page Up and Page Down by ten.
TEST_F(TuningTest, KeysOnTheCorrectionsAreNotLostToTheReadBack) {
    ShowManualPage();
    SimLink& link = StartManual({MAPS2::TBcyl1});
    ASSERT_EQ(uitest::SetValueAsUser(hMp2Panel, MAPS2::NUMjStep, 0.01), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hMp2Panel, MAPS2::NUMaStep, 0.5), 0);

    constexpr int F2 = VAL_F1_VKEY + 0x100, F3 = VAL_F1_VKEY + 0x200;
    constexpr int F6 = VAL_F1_VKEY + 0x500, F7 = VAL_F1_VKEY + 0x600;
    constexpr int Up = VAL_UP_ARROW_VKEY, Down = VAL_DOWN_ARROW_VKEY;
    constexpr int PgUp = VAL_PAGE_UP_VKEY, PgDn = VAL_PAGE_DOWN_VKEY;
    const std::vector<int> injection = {F3, F3, F3, F2, F3, F3, F3};
    const std::vector<int> ownKeys = {Up,   Up,   Up,   Up,   Up,   PgUp, PgUp,
                                      PgDn, PgDn, PgDn, Down, Down, Down, Down};
    const std::vector<int> advance = {F7, F7, F7, F6, F7};
    const auto ratio = [](const ecusim::EcuModel& m) { return int{m.tune.ratio}; };
    const auto offset = [](const ecusim::EcuModel& m) { return int{m.tune.advOffset}; };
    // The ECU's late answer: an Adjust's reply carries the ratio and offset of the reply before it.
    std::vector<std::uint8_t> held(4);
    const auto lateEcu = [&held](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (!reply || reply->cmd != CMD_MAP_TUNING || reply->data.size() != kMtInfoSize) return reply;
        std::uint8_t* ratioAndOffset[] = {&reply->data[22], &reply->data[23], &reply->data[26],
                                          &reply->data[27]};
        for (std::size_t i = 0; i < held.size(); ++i)
            if (request.data.size() == kMtAdjustSize)
                *ratioAndOffset[i] = held[i];
            else
                held[i] = *ratioAndOffset[i];
        return reply;
    };
    struct Case {
        const char* what;
        int control; // the control with the keyboard focus
        const std::vector<int>* keys;
        int keysPerRound, ticksPerRound;
        double end; // neutral plus the steps
        int (*inEcu)(const ecusim::EcuModel&);
        int endRaw;
        bool late;
    };
    const Case cases[] = {
        {"F3, a key every two ticks", MAPS2::NSjTuneCor, &injection, 1, 2, 1.05, ratio, 1050, false},
        {"F3, two keys a tick", MAPS2::NSjTuneCor, &injection, 2, 1, 1.05, ratio, 1050, false},
        {"F3 from the table, five keys a tick", MAPS2::TABmatrix, &injection, 5, 1, 1.05, ratio, 1050, false},
        {"F3, a key a tick, late ECU", MAPS2::NSjTuneCor, &injection, 1, 1, 1.05, ratio, 1050, true},
        {"the Ratio's own keys, three a tick, late ECU", MAPS2::NSjTuneCor, &ownKeys, 3, 1, 0.991, ratio, 991,
         true},
        {"F7 and F6, two keys a tick, late ECU", MAPS2::NSaTuneCor, &advance, 2, 1, 1.5, offset, 15, true},
    };
    const auto shown = [](int control) { return CtrlNumber(hMp2Panel, control); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int slide = c.inEcu == +ratio ? MAPS2::NSjTuneCor : MAPS2::NSaTuneCor;
        ecu.model.tune.ratio = 1000;
        ecu.model.tune.advOffset = 0;
        link.tamper = c.late ? std::function(lateEcu) : nullptr;
        Tick();
        Tick();
        ASSERT_DOUBLE_EQ(shown(slide), slide == MAPS2::NSjTuneCor ? 1.0 : 0.0);
        int pressed = 0;
        for (const int key : *c.keys) {
            ASSERT_GE(uitest::PressKey(hMp2Panel, c.control, key), 0);
            if (++pressed % c.keysPerRound != 0) continue;
            for (int t = 0; t < c.ticksPerRound; ++t)
                Tick();
        }
        for (int t = 0; t < 4 && c.inEcu(ecu.model) != c.endRaw; ++t)
            Tick();
        EXPECT_EQ(c.inEcu(ecu.model), c.endRaw);
        for (int t = 0; t < 3; ++t) // read back again and again, it stays
            Tick();
        EXPECT_NEAR(shown(slide), c.end, 1e-9);
    }
    link.tamper = nullptr;
    popups.AnswerConfirm(true); // leaving the page stops the manual tuning
    uitest::Click(hMainPanel, MAIN::CBinfo);
}

// A correction typed into Ratio or Offset key by key, a tick after every key, each tick reading the ECU's
// value back into the control: the typing stays, and Enter sends the number typed.
TEST_F(TuningTest, CorrectionsTypedBetweenTicksGoOut) {
    ShowManualPage();
    StartManual({MAPS2::TBcyl1});
    ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);
    struct Case {
        int control;
        const char* typed;
        int (*inEcu)(const ecusim::EcuModel&);
        int raw;
    };
    const Case cases[] = {
        {MAPS2::NSjTuneCor, "1.05", [](const ecusim::EcuModel& m) { return int{m.tune.ratio}; }, 1050},
        {MAPS2::NSaTuneCor, "-2.5", [](const ecusim::EcuModel& m) { return int{m.tune.advOffset}; }, -25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_EQ(SetActiveCtrl(hMp2Panel, c.control), 0);
        ASSERT_EQ(uitest::TypeKey('a' | VAL_MENUKEY_MODIFIER), 0); // the whole entry
        for (const char* k = c.typed; *k != '\0'; ++k) {
            ASSERT_EQ(uitest::TypeKey(*k), 0);
            Tick();
        }
        ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
        for (int t = 0; t < 4 && c.inEcu(ecu.model) != c.raw; ++t)
            Tick();
        EXPECT_EQ(c.inEcu(ecu.model), c.raw);
        Tick();
        EXPECT_NEAR(CtrlNumber(hMp2Panel, c.control), std::atof(c.typed), 1e-9);
    }
    popups.AnswerConfirm(true); // leaving the page stops the manual tuning
    uitest::Click(hMainPanel, MAIN::CBinfo);
}

TEST_F(TuningTest, ValueDialogSendsTheSelectedCellsOfTheSelectedCylinders) {
    Open();
    SetCtrlVal(hMp2Panel, MAPS2::TBcyl1, 1);
    SetCtrlVal(hMp2Panel, MAPS2::TBcyl3, 1);
    RaiseMtRequest(kReqManual);
    Mp2Timer();
    Mp2Timer();
    ASSERT_TRUE(IsMapTuning());
    std::int16_t row[kTuneCols] = {};
    row[2] = row[3] = 30000;
    for (int kind = 1; kind <= 3; ++kind)
        ASSERT_TRUE(SendTuneRow(kind, 2, row));
    Mp2Timer();
    ASSERT_EQ(ecuMapData.map1.cells[1][2][2], 30000);

    // Percent -100 over two cells, all cylinders: matrices 1 and 3 only.
    SetActiveTableCell(hMp2Panel, MAPS2::TABmatrix, Point{3, 4});
    SetTableSelection(hMp2Panel, MAPS2::TABmatrix, Rect{4, 3, 1, 2});
    uitest::Later([] {
        EXPECT_EQ(uitest::SetValueAsUser(hMtvPanel, TUNEMAPVAL::NSval, -100.0), 0);
        EXPECT_EQ(uitest::Click(hMtvPanel, TUNEMAPVAL::CBapply), 0);
    });
    MapTuneEnabCellCol(hMp2Panel, MAPS2::TABmatrix, EVENT_RIGHT_CLICK, nullptr, 0, 0);
    Mp2Timer();
    EXPECT_EQ(ecuMapData.map1.cells[0][2][2], 0);
    EXPECT_EQ(ecuMapData.map1.cells[0][2][3], 0);
    EXPECT_EQ(ecuMapData.map1.cells[2][2][3], 0);
    EXPECT_EQ(ecuMapData.map1.cells[1][2][2], 30000) << "cylinder 2 is not selected";

    // Add +5 ms to a 30 ms cell of the shown matrix alone: held at 32 ms.
    row[2] = row[3] = 30000;
    ASSERT_TRUE(SendTuneRow(1, 2, row));
    Mp2Timer();
    SetTableSelection(hMp2Panel, MAPS2::TABmatrix, Rect{});
    uitest::Later([] {
        EXPECT_EQ(uitest::SetValueAsUser(hMtvPanel, TUNEMAPVAL::TOGBall, 0.0), 0);
        EXPECT_EQ(uitest::SetValueAsUser(hMtvPanel, TUNEMAPVAL::RBtuneMapVal, 1.0), 0);
        EXPECT_EQ(uitest::SetValueAsUser(hMtvPanel, TUNEMAPVAL::NSval, 5.0), 0);
        EXPECT_EQ(uitest::Click(hMtvPanel, TUNEMAPVAL::CBapply), 0);
    });
    MapTuneEnabCellCol(hMp2Panel, MAPS2::TABmatrix, EVENT_RIGHT_CLICK, nullptr, 0, 0);
    Mp2Timer();
    EXPECT_EQ(ecuMapData.map1.cells[0][2][2], 32000);
    EXPECT_EQ(ecuMapData.map1.cells[0][2][3], 30000) << "only the active cell";
    EXPECT_EQ(ecuMapData.map1.cells[2][2][2], 0);
}

// The help's "Ctrl-Enter  Open change map-values": a block dragged over the table and Ctrl+Enter typed
// open the value dialog on it, as a right click does, and its Apply sends the block.
TEST_F(TuningTest, CtrlEnterOnTheTableOpensTheValueDialog) {
    ShowManualPage();
    StartManual({MAPS2::TBcyl1});
    ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);
    ASSERT_EQ(SetActiveCtrl(hMp2Panel, MAPS2::TABmatrix), 0); // the keyboard's focus, as a click gives it
    ASSERT_EQ(uitest::DragTableSelection(hMp2Panel, MAPS2::TABmatrix, Point{3, 4}, Point{4, 5}), 0);
    bool opened = false;
    uitest::Later([&] {
        opened = uitest::IsPopupInstalled(hMtvPanel);
        EXPECT_EQ(uitest::SetValueAsUser(hMtvPanel, TUNEMAPVAL::RBtuneMapVal, 0.0), 0); // set
        EXPECT_EQ(uitest::SetValueAsUser(hMtvPanel, TUNEMAPVAL::NSval, 1.5), 0);
        EXPECT_EQ(uitest::Click(hMtvPanel, TUNEMAPVAL::CBapply), 0);
    });
    ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY | VAL_MENUKEY_MODIFIER), 0);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(uitest::IsPopupInstalled(hMtvPanel));
    Tick();
    for (int row = 1; row <= 4; ++row)
        for (int col = 1; col <= 4; ++col)
            EXPECT_EQ(ecuMapData.map1.cells[0][row][col],
                      row >= 2 && row <= 3 && col >= 2 && col <= 3 ? 1500 : 0)
                << "row " << row << ", column " << col;
    popups.AnswerConfirm(true); // leaving the page stops the manual tuning
    uitest::Click(hMainPanel, MAIN::CBinfo);
}

TEST_F(TuningTest, FunctionKeysWorkWhileTheTableHasTheFocus) {
    uitest::Click(hMainPanel, MAIN::CBmaps);
    uitest::Click(hMp1Panel, MAPS1::CBmanualMap);
    ASSERT_EQ(hCurPanel, hMp2Panel);
    // The switch read the configuration pages back: four cylinders again, the first one's injection shown.
    ecuParData.b6E0[2] = 4;
    ASSERT_EQ(uitest::SetValueAsUser(hMp2Panel, MAPS2::RINGmapType, 1), 0);
    ASSERT_TRUE(ScatterMp2Panel());
    ASSERT_EQ(CtrlAttr(hMp2Panel, MAPS2::TABmatrix, ATTR_DIMMED), 0);
    SetCtrlVal(hMp2Panel, MAPS2::NUMjStep, 0.01);
    SetCtrlVal(hMp2Panel, MAPS2::NSjTuneCor, 1.0);
    SetCylinderSelection(0x80, 0);
    mtAdjust = {};
    EXPECT_EQ(uitest::SendKey(hMp2Panel, MAPS2::TABmatrix, VAL_F1_VKEY + 0x200), 1); // F3
    EXPECT_EQ(mtAdjust.value, 1010);
    const std::uint8_t scroll = fAutoScroll;
    EXPECT_EQ(uitest::SendKey(hMp2Panel, MAPS2::TABmatrix, VAL_F1_VKEY + 0xB00), 1); // F12
    EXPECT_NE(fAutoScroll, scroll);
    popups.ExpectMessage();
    EXPECT_EQ(uitest::SendKey(hMp2Panel, MAPS2::TABmatrix, VAL_F1_VKEY), 1);
    ASSERT_FALSE(popups.Records().empty());
    EXPECT_EQ(popups.Records().back().title, "Map Tuning - Help");
    uitest::Click(hMainPanel, MAIN::CBinfo);
}

TEST_F(TuningTest, StopStaysRaisedUntilTheEcuReportsOff) {
    SimLink& link = StartManual({MAPS2::TBcyl1});
    RequestMtAdjust({1100, 0x80, 0}, kReqInjAdjust);
    RaiseMtRequest(kReqStop); // Off pressed while an adjustment is pending
    std::size_t mark = link.requests.size();
    Mp2Timer();
    auto frames = TuningFrames(link, mark);
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(frames[0][1], kMtAdjustSize) << "the adjustment takes the tick";
    ASSERT_TRUE(IsMapTuning());
    mark = link.requests.size();
    Mp2Timer();
    frames = TuningFrames(link, mark);
    ASSERT_GE(frames.size(), 1U);
    EXPECT_EQ(DataOf(frames[0]), std::vector<std::uint8_t>{3}) << "the stop goes out on the next tick";
    EXPECT_EQ(TuningStateNow(), kTsOff);
    mark = link.requests.size();
    Mp2Timer();
    frames = TuningFrames(link, mark);
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(DataOf(frames[0]), std::vector<std::uint8_t>{1}) << "once off, the stop is done";
}

TEST_F(TuningTest, LockedEcuDropsModeAndFreezeRequestsAndGetsNoSettings) {
    const char password[] = "abc";
    std::copy(password, password + 3, ecu.model.password.begin());
    SimLink& link = ConnectSimulator(); // nobody logged in: the ECU reports itself locked
    ASSERT_EQ(TuningStateNow(), kTsLocked);
    SetCtrlVal(hMp2Panel, MAPS2::TBcyl1, 1);
    RaiseMtRequest(kReqManual | kReqAuto | kReqInjFreeze | kReqAdvFreeze | kReqResync);
    Mp2Timer(); // a locked ECU is never asked about loading its data: no popup is scripted
    EXPECT_EQ(CtrlText(hMp2Panel, MAPS2::TMstatus), "ECU locked");
    ecu.model.unlocked = true; // the user logs in
    Mp2Timer();
    Mp2Timer();
    for (const auto& f : TuningFrames(link))
        EXPECT_EQ(DataOf(f), std::vector<std::uint8_t>{1}) << "only polls, no mode, settings or freeze frame";
    EXPECT_EQ(TuningStateNow(), kTsOff);
    EXPECT_FALSE(ecu.model.tuning);
}

TEST_F(TuningTest, FreezeFramesCarryTheCorrectionLastReported) {
    SimLink& link = StartManual({MAPS2::TBcyl1, MAPS2::TBcyl3});
    EditInfo(link, [](std::vector<std::uint8_t>& info) {
        PutBE16(info, 22, 1234); // injection ratio x1000
        PutBE16(info, 26, -25);  // advance offset x10
    });
    Mp2Timer();
    struct Case {
        MtRequest request;
        std::vector<std::uint8_t> data;
    } cases[] = {
        {kReqInjFreeze, {0x04, 0xD2, 0xA0, 0, 0, 0}}, // ratio, cylinders 1 and 3
        {kReqAdvFreeze, {0xFF, 0xE7, 0, 0, 0, 0}},    // offset, mask 0
    };
    for (const Case& c : cases) {
        RaiseMtRequest(c.request);
        const std::size_t mark = link.requests.size();
        Mp2Timer();
        const auto frames = TuningFrames(link, mark);
        ASSERT_EQ(frames.size(), 1U);
        EXPECT_EQ(DataOf(frames[0]), c.data);
    }
}

TEST_F(TuningTest, PauseResetsTheCorrectionAtOnceThenSendsThePause) {
    SimLink& link = Open();
    SetCtrlVal(hMp2Panel, MAPS2::TBmanPause, 1);
    ManPause(hMp2Panel, MAPS2::TBmanPause, EVENT_COMMIT, nullptr, 0, 0);
    Mp2Timer();
    for (const auto& f : TuningFrames(link))
        EXPECT_NE(f[1], kMtAdjustSize) << "no pause outside manual tuning";

    RunManual({MAPS2::TBcyl2});
    std::size_t mark = link.requests.size();
    SetCtrlVal(hMp2Panel, MAPS2::TBmanPause, 1);
    ManPause(hMp2Panel, MAPS2::TBmanPause, EVENT_COMMIT, nullptr, 0, 0);
    auto frames = TuningFrames(link, mark);
    ASSERT_EQ(frames.size(), 2U) << "the reset goes out from the callback";
    EXPECT_EQ(DataOf(frames[0]), (std::vector<std::uint8_t>{0x03, 0xE8, 0x40, 0})) << "ratio 1.000";
    EXPECT_EQ(DataOf(frames[1]), (std::vector<std::uint8_t>{0, 0, 0, 0})) << "advance offset 0";
    mark = link.requests.size();
    Mp2Timer();
    frames = TuningFrames(link, mark);
    ASSERT_GE(frames.size(), 1U);
    EXPECT_EQ(DataOf(frames[0]), (std::vector<std::uint8_t>{0x03, 0xE8, 0x40, 1})) << "then the pause";
    EXPECT_TRUE(ecu.model.tune.paused);

    mark = link.requests.size();
    EXPECT_TRUE(ResetTuningAdjust());
    frames = TuningFrames(link, mark);
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(DataOf(frames[0]), (std::vector<std::uint8_t>{0x03, 0xE8, 0x40, 0}));
    EXPECT_EQ(DataOf(frames[1]), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(mtAdjust.value, 0);
    EXPECT_EQ(mtAdjust.cylMask, 0) << "the frame is left neutral";
    EXPECT_FALSE(ecu.model.tune.paused);
}

TEST_F(TuningTest, TuneRowsGoOutUnderTheirMapsSelectors) {
    SimLink& link = Open();
    std::int16_t row[kTuneCols] = {};
    row[0] = -300;
    row[31] = 0x1234;
    struct Case {
        int kind, row;
        bool sent;
        std::array<std::uint8_t, 4> selector;
    } cases[] = {
        {kKindAdvance, 7, true, {3, 8, 7, 0}},
        {2, 19, true, {3, 7, 19, 1}},
        {5, 0, false, {}},
    };
    for (const Case& c : cases) {
        const std::size_t mark = link.requests.size();
        EXPECT_EQ(SendTuneRow(c.kind, c.row, row), c.sent) << c.kind;
        if (!c.sent) {
            EXPECT_EQ(link.requests.size(), mark) << "no traffic for another kind";
            continue;
        }
        ASSERT_EQ(link.requests.size(), mark + 1);
        const std::vector<std::uint8_t> data = DataOf(link.requests[mark]);
        EXPECT_EQ(link.requests[mark][2], CMD_SET_VALUES);
        ASSERT_EQ(data.size(), 4U + 64U);
        EXPECT_TRUE(std::equal(c.selector.begin(), c.selector.end(), data.begin()));
        EXPECT_EQ(data[4], 0xFE); // -300 big-endian
        EXPECT_EQ(data[5], 0xD4);
        EXPECT_EQ(data[66], 0x12);
        EXPECT_EQ(data[67], 0x34);
    }
    Mp2Timer();
    EXPECT_EQ(ecuMapData.map3.cells[7][0], -300) << "the advance row came back into the advance map";
}

TEST_F(TuningTest, LoadQuestionReadsConfigurationMappingAndInjectionOnYes) {
    for (const bool yes : {true, false}) {
        SimLink& link = ConnectSimulator();
        popups.AnswerConfirm(yes);
        ASSERT_TRUE(Mp2Timer());
        std::set<int> areas;
        for (const auto& f : link.requests)
            if (f[2] == CMD_READ_BLOCK) areas.insert(GetBE16(f, 7));
        const std::set<int> expected =
            yes ? std::set<int>{AREA_PAR, AREA_MAP_TUNING, AREA_TUNING_4X_BLOCK} : std::set<int>{};
        EXPECT_EQ(areas, expected) << (yes ? "Yes: not the advance map" : "No loads nothing");
        CloseComPort();
        Mp2Timer();
    }
}
