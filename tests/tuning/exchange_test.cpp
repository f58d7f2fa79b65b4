// The tuning exchange driven through the program against the simulated ECU: the sub-frames on the wire,
// the ECU's cell reports in the maps, the settings files and the closed-link stop.
#include "../app/orvanefixture.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/navigation.h"
#include "orvane/core/settings.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"
#include "platform/ui/popup.h"

#include <filesystem>
#include <fstream>

namespace {

struct TuningTest : OrvaneTest {
    void SetUp() override {
        OrvaneTest::SetUp();
        ecuParData.b6E0[2] = 4; // four cylinders
        std::memset(&ecuMapData.map1, 0, sizeof ecuMapData.map1);
        std::memset(&ecuMapData.map3, 0, sizeof ecuMapData.map3);
        for (const ecusim::Store slot :
             {ecusim::Store::Slot1, ecusim::Store::Slot2}) // the ECU's maps empty too
            ecu.model.StoreBytes(slot) = ecusim::MakeDefaultImage(ecusim::kMapImageSize, "empty");
        isTuningManual = 1;
        isTuningAuto = 0;
        InitMtData();
        ScatterMp2Panel();
        Mp2Timer(); // the page sees the link closed: every state of a connection is dropped
    }

    // The data of the command-9 frames sent since the mark.
    static std::vector<std::vector<std::uint8_t>> TuningFrames(const SimLink& link, std::size_t from = 0) {
        std::vector<std::vector<std::uint8_t>> out;
        for (std::size_t i = from; i < link.requests.size(); ++i)
            if (link.requests[i][2] == CMD_MAP_TUNING) out.push_back(link.requests[i]);
        return out;
    }

    // Connects and runs the first tick, answering No to the synchronisation question.
    SimLink& Open() {
        SimLink& link = ConnectSimulator();
        popups.AnswerConfirm(false);
        Mp2Timer();
        return link;
    }
};

std::vector<std::uint8_t> InfoWith(std::uint8_t state, std::initializer_list<std::array<int, 4>> cells) {
    std::vector<std::uint8_t> b(kMtInfoSize);
    b[30] = state;
    std::size_t i = 0;
    for (const auto& [kind, row, col, value] : cells) {
        const int word = kind << 12 | col << 6 | row;
        b[34 + 4 * i] = static_cast<std::uint8_t>(word >> 8);
        b[35 + 4 * i] = static_cast<std::uint8_t>(word);
        b[36 + 4 * i] = static_cast<std::uint8_t>(value >> 8);
        b[37 + 4 * i] = static_cast<std::uint8_t>(value);
        ++i;
    }
    return b;
}

} // namespace

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
