// The tuning exchange driven through the program against the simulated ECU: the sub-frames on the wire,
// the ECU's cell reports in the maps, the settings files and the closed-link stop.
#include "../app/orvanefixture.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/navigation.h"
#include "orvane/core/settings.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"

#include <filesystem>
#include <fstream>

namespace {

struct TuningTest : OrvaneTest {
    void SetUp() override {
        ecuParData.b6E0[2] = 4; // four cylinders
        std::memset(&ecuMapData.map1, 0, sizeof ecuMapData.map1);
        std::memset(&ecuMapData.map3, 0, sizeof ecuMapData.map3);
        isTuningManual = 1;
        isTuningAuto = 0;
        InitMtData();
        ScatterMp2Panel();
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
