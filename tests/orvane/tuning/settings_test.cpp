// The tracking settings between the page's controls and the record: what a typed value is stored as, the
// sensor, drive-by-wire and cylinder choices, and what a redraw or a settings file shows.
#include "tuningfixture.h"

#include <filesystem>
#include <fstream>

namespace {

double Shown(int control) {
    double v = 0;
    GetCtrlVal(hMp2Panel, control, &v);
    return v;
}

} // namespace

TEST_F(TuningTest, TypedSettingsAreStoredRoundedHalfAwayFromZero) {
    ShowAutomaticPage();
    struct Case {
        int control;
        double typed;
        int (*field)(const MTSETTINGS&);
        int stored;
    } cases[] = {
        {MAPS2::NUMminTh2o, -5.25, [](const MTSETTINGS& s) { return int{s.minTh2o}; }, -53},
        {MAPS2::NUMmaxTh2o, 85.25, [](const MTSETTINGS& s) { return int{s.maxTh2o}; }, 853},
        {MAPS2::NUMrpmMargin, -3, [](const MTSETTINGS& s) { return int{s.rpmMargin}; }, 0},
        {MAPS2::NUMrpmMargin, 150.5, [](const MTSETTINGS& s) { return int{s.rpmMargin}; }, 151},
        {MAPS2::NUMsollLambda2, 12.25, [](const MTSETTINGS& s) { return int{s.sollLambda[1]}; }, 123},
        {MAPS2::NUMtolLambda, 0.25, [](const MTSETTINGS& s) { return int{s.tolLambda}; }, 3},
        {MAPS2::NUMminTJ, 1.0625, [](const MTSETTINGS& s) { return int{s.minTj}; }, 1063},
        {MAPS2::NUMmsCellHold, 2.5, [](const MTSETTINGS& s) { return int{s.msCellHold}; }, 3},
        {MAPS2::NUMtolPair, 10.5, [](const MTSETTINGS& s) { return int{s.tolPair}; }, 11},
        {MAPS2::NUMtolFarf, 4.25, [](const MTSETTINGS& s) { return int{s.tolFarf}; }, 43},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(uitest::SetValueAsUser(hMp2Panel, c.control, c.typed), 0);
        ASSERT_TRUE(GatherMtSettings());
        EXPECT_EQ(c.field(mtSettings), c.stored) << c.typed;
    }
}

TEST_F(TuningTest, TolerancesAreHeldToWhatTheirFieldsCanMean) {
    ShowAutomaticPage();
    struct Case {
        int control;
        double typed;
        std::uint16_t MTSETTINGS::*field;
        std::uint16_t stored;
    } cases[] = {
        {MAPS2::NUMtolRpm, 70000, &MTSETTINGS::tolRpm, 20000}, // no engine speed beyond 20000 rpm
        {MAPS2::NUMtolRpm, -5, &MTSETTINGS::tolRpm, 0},
        {MAPS2::NUMtolFarf, 5000, &MTSETTINGS::tolFarf, 1000}, // the throttle opens 100.0 deg at most
        {MAPS2::NUMtolFarf, -2, &MTSETTINGS::tolFarf, 0},
        {MAPS2::NUMtolPair, 70000, &MTSETTINGS::tolPair, 10000}, // the pressure axis ends at 10000 mbar
        {MAPS2::NUMtolPair, -1, &MTSETTINGS::tolPair, 0},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(uitest::SetValueAsUser(hMp2Panel, c.control, c.typed), 0);
        ASSERT_TRUE(GatherMtSettings());
        EXPECT_EQ(mtSettings.*c.field, c.stored) << c.typed;
    }
}

TEST_F(TuningTest, ChoicesGoIntoTheFlagsAndTheCylinderMask) {
    ShowAutomaticPage();
    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::CBlambda2), 0);
    for (int toggle :
         {MAPS2::TBselectEdbw, MAPS2::TBselectSingleMul, MAPS2::TBcyl1, MAPS2::TBcyl3, MAPS2::TBmtjByPair})
        SetCtrlVal(hMp2Panel, toggle, 1);
    ASSERT_TRUE(GatherMtSettings());
    EXPECT_EQ(mtSettings.flags, kMtFlagLambda2 | kMtFlagExtDbw | kMtFlagByPressure);
    EXPECT_EQ(mtSettings.cylMask, 0xA0) << "cylinders 1 and 3";
    EXPECT_EQ(mtSettings.singleMul, 1);

    MTSETTINGS record = mtSettings;
    record.flags = kMtFlagExtDbw;
    record.cylMask = 0x50;
    record.minTh2o = -53;
    record.tolRpm = 65000;
    record.singleMul = 0;
    AdoptMtSettings(record);
    ASSERT_TRUE(ScatterMtSettings());
    EXPECT_EQ(mtLambda2, 0) << "sensor 1";
    EXPECT_EQ(PageValue(MAPS2::TBselectEdbw), 1);
    EXPECT_EQ(PageValue(MAPS2::TBselectSingleMul), 0);
    EXPECT_EQ(PageValue(MAPS2::TBmtjByPair), 0);
    const int cylinders[] = {MAPS2::TBcyl1, MAPS2::TBcyl2, MAPS2::TBcyl3, MAPS2::TBcyl4};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(PageValue(cylinders[i]), i % 2) << "cylinders 2 and 4";
    EXPECT_DOUBLE_EQ(Shown(MAPS2::NUMminTh2o), -5.3);
    EXPECT_DOUBLE_EQ(Shown(MAPS2::NUMtolRpm), 65000) << "an unsigned field shows unsigned";
}

TEST_F(TuningTest, SensorAndDriveByWireChoicesSurviveRedrawsAndFiles) {
    ShowAutomaticPage();
    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::CBlambda2), 0);
    Mp2Timer();                     // takes the choice into the record
    ASSERT_TRUE(ScatterMp2Panel()); // the page shown again
    EXPECT_EQ(mtLambda2, 1) << "the choice is kept while the ECU is not tuning";
    ASSERT_TRUE(GatherMtSettings());
    EXPECT_EQ(mtSettings.flags & (kMtFlagLambda2 | kMtFlagExtDbw), kMtFlagLambda2);

    const auto dir = std::filesystem::temp_directory_path() / ("mtflags-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    MTSETTINGS file = mtSettings;
    file.flags = kMtFlagLambda2 | kMtFlagExtDbw;
    std::ofstream(dir / "both.mtp", std::ios::binary)
        .write(reinterpret_cast<const char*>(&file), sizeof file);
    ASSERT_EQ(uitest::Click(hMp2Panel, MAPS2::CBlambda1), 0);
    popups.AnswerFile((dir / "both.mtp").string());
    ASSERT_TRUE(LoadMtSettings(1));
    std::filesystem::remove_all(dir);
    cfg.mtpFile[0] = '\0';
    EXPECT_EQ(mtLambda2, 1);
    EXPECT_EQ(PageValue(MAPS2::TBselectEdbw), 1);
    ASSERT_TRUE(GatherMtSettings());
    EXPECT_EQ(mtSettings.flags & (kMtFlagLambda2 | kMtFlagExtDbw), kMtFlagLambda2 | kMtFlagExtDbw)
        << "the file's choice goes on to the ECU";

    // While the ECU tunes, the page shows the ECU's choice.
    SimLink& link = StartManual({MAPS2::TBcyl1});
    EXPECT_EQ(ecu.model.tune.flags & kMtFlagLambda2, kMtFlagLambda2);
    EditInfo(link, [](std::vector<std::uint8_t>& info) { info[31] = 0; }); // the ECU: sensor 1
    Mp2Timer();
    ASSERT_TRUE(ScatterMp2Panel());
    EXPECT_EQ(mtLambda2, 0);
    EXPECT_EQ(PageValue(MAPS2::TBselectEdbw), 0);
}
