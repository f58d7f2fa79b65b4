// Start-up, the main window, the settings file and Exit.
#include "bytes.h"
#include "desktop.h"
#include "orvanefixture.h"

#include "orvane/maps/curmap.h"
#include "orvane/maps/plot.h"

#include "orvane/core/logic/images.h"
#include "orvane/core/ui/settings.h"

#include <array>
#include <cstring>
#include <fstream>
#include <vector>

namespace {} // namespace

TEST_F(OrvaneTest, StartsWithItsTitleDefaultsAndEmptyNames) {
    char title[128] = "";
    GetPanelAttribute(hMainPanel, ATTR_TITLE, title);
    EXPECT_STREQ(title, "Orvane  v1.13a");
    EXPECT_EQ(hCurPanel, hMainPanel);
    EXPECT_EQ(CtrlText(hMainPanel, MAIN::TMecuParName), "");
    EXPECT_EQ(CtrlText(hMainPanel, MAIN::TMecuMapName), "");
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::TMdebug5, ATTR_VISIBLE), 0);
    EXPECT_EQ(cfg.port, 0);
    EXPECT_EQ(cfg.point.x, 20);
    EXPECT_EQ(cfg.point.y, 50);
    EXPECT_FALSE(IsEcuDataChanged(1));
    EXPECT_FALSE(IsEcuDataChanged(2));
}

// The desktop groups and names the main window and the graph windows as Orvane's.
TEST_F(OrvaneTest, NamesTheProgramOrvane) {
    ExpectDesktopNames("orvane", "Orvane");
}

TEST_F(OrvaneTest, SettingsWrittenAtShutdownCarryTheDefaultNumbers) {
    StopOrvane();
    ASSERT_TRUE(InitPltPanel()) << "the tests after this one find the 3-D plot window as start-up left it";
    const std::vector<unsigned char> bytes = ReadFileBytes<unsigned char>(SettingsPath());
    ASSERT_EQ(bytes.size(), 1064u);
    const std::vector<unsigned char> tail(bytes.begin() + 1044, bytes.end());
    const std::vector<unsigned char> expected = {0x14, 0, 0,    0, 0x32, 0, 0,    0, 0, 0,
                                                 0,    0, 0xF4, 1, 0,    0, 0xBC, 2, 0, 0};
    EXPECT_EQ(tail, expected);
}

TEST_F(OrvaneTest, SettingsFileIsReadBackAndRepaired) {
    struct Case {
        const char* what;
        std::size_t size;
        std::int32_t x, y;
        std::int32_t wantX, wantY;
        bool ours;
    };
    const Case cases[] = {
        {"point below the limits", 1064, -3, 2, 0, 5, true},
        {"point kept", 1064, 40, 60, 40, 60, true},
        {"a shorter record is another program's", 262, 40, 60, 20, 50, false},
        {"a longer record too", 1100, 40, 60, 20, 50, false},
    };
    for (const Case& c : cases) {
        ProgramSettings stored{};
        stored.port = -1;
        std::memset(stored.mapFile, 'm', sizeof stored.mapFile); // no terminator inside the field
        stored.point = {c.x, c.y};
        stored.reserved[1] = 1234;
        std::vector<char> bytes(c.size, 0);
        std::memcpy(bytes.data(), &stored, std::min(c.size, sizeof stored));
        std::ofstream(SettingsPath(), std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(c.size));

        ReadInitFile();
        EXPECT_EQ(cfg.point.x, c.wantX) << c.what;
        EXPECT_EQ(cfg.point.y, c.wantY) << c.what;
        EXPECT_EQ(cfg.port, c.ours ? -1 : 0) << c.what;
        EXPECT_EQ(cfg.reserved[1], c.ours ? 1234 : 500) << c.what;
        EXPECT_LT(std::strlen(cfg.mapFile), sizeof cfg.mapFile) << c.what;
    }
    std::remove(SettingsPath().c_str());
    ReadInitFile();
}

TEST_F(OrvaneTest, ConfigNameOfAnUnknownKind) {
    ShowConfigName("base", 1);
    ShowConfigName("ignored", 3);
    std::array<char, 32> name{};
    GetConfigName(name.data(), name.size(), 3);
    EXPECT_STREQ(name.data(), "_Ooops!_");
    GetConfigName(name.data(), name.size(), 1);
    EXPECT_STREQ(name.data(), "base");
    GetConfigName(name.data(), 3, 1); // cut to fit
    EXPECT_STREQ(name.data(), "ba");
    ShowConfigName("", 1);
}

TEST_F(OrvaneTest, EscapeOnTheMainWindowDoesNothing) {
    EXPECT_EQ(uitest::SendKey(hMainPanel, 0, VAL_ESC_VKEY), 0);
    EXPECT_TRUE(uitest::IsPanelVisible(hMainPanel));
    EXPECT_TRUE(popups.Records().empty());
}

TEST_F(OrvaneTest, ExitAsksAboutUnsavedChangesAndStaysOnNo) {
    ecuParData.reserved7C6[0] = 1;
    popups.AnswerConfirm(false);
    EXPECT_EQ(uitest::Click(hMainPanel, MAIN::CBexit), 0);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Updated ECU file");
    EXPECT_EQ(popups.Records()[0].text,
              "Updated ECU file data:\n- Configuration data\n\nExit without saving changes?");
    EXPECT_TRUE(uitest::IsPanelVisible(hMainPanel));
    ecuParData.reserved7C6[0] = 0;
}

TEST_F(OrvaneTest, ClosingTheWindowAndEndTaskBothReachExit) {
    ecuMapData.unused2A304[0] = 1;
    popups.AnswerConfirm(false).AnswerConfirm(false);
    uitest::ClosePanel(hMainPanel);
    EXPECT_EQ(MainCallBack(0, 0, EVENT_END_TASK, nullptr, 0, 0), 1) << "the end-task request is refused";
    ASSERT_EQ(popups.Records().size(), 2u);
    EXPECT_EQ(popups.Records()[1].text,
              "Updated ECU file data:\n- Mapping data\n\nExit without saving changes?");
    ecuMapData.unused2A304[0] = 0;
}

// A page that cannot be read back is reported, and the unsaved-data question still follows.
TEST_F(OrvaneTest, ExitAfterAFailedReadBackStillAsksAboutUnsavedChanges) {
    const auto shownMap = idCurMap; // the map the editor holds, given back at the end
    idCurMap = 0;                   // the map editor can no longer be read back
    ecuParData.reserved7C6[0] = 1;
    popups.ExpectMessage().AnswerConfirm(false);
    EXPECT_EQ(uitest::Click(hMainPanel, MAIN::CBexit), 0);
    ASSERT_EQ(popups.Records().size(), 2u);
    EXPECT_EQ(popups.Records()[0].title, "Quit Application");
    EXPECT_EQ(popups.Records()[0].text, "Some error occurred...");
    EXPECT_EQ(popups.Records()[1].title, "Updated ECU file");
    EXPECT_TRUE(uitest::IsPanelVisible(hMainPanel));
    ecuParData.reserved7C6[0] = 0;
    idCurMap = shownMap;
}
