// The questions whose Yes would throw data away, erase or overwrite it: Enter, the key a user presses
// without reading, answers No, and nothing is lost.
#include "orvanefixture.h"

#include "orvane/config/config.h"
#include "orvane/core/logic/ecucmds.h"
#include "orvane/core/ui/protect.h"
#include "orvane/live/diagnost.h"
#include "orvane/maps/map1.h"
#include "orvane/params/cocedit.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace {

// The frames of one command the program wrote.
std::size_t FramesOf(const SimLink& link, std::uint8_t cmd) {
    return static_cast<std::size_t>(
        std::ranges::count_if(link.requests, [cmd](const auto& f) { return f.size() > 2 && f[2] == cmd; }));
}

struct Question {
    const char* what;
    const char* title;
    const char* text;
    // Brings the program to the question as the user does, with Enter queued where it is asked, and
    // checks afterwards that nothing was lost.
    std::function<void(ScriptedPopups&)> askAndCheck;
};

// The CAN page on screen, its first two frames made active on one identifier as the user makes them.
void ShowCanPageWithDuplicates() {
    uitest::Click(hMainPanel, MAIN::CBconfig);
    ASSERT_EQ(uitest::SelectTab(hCurPanel, CONFIG1::TPselectConfig, 4), 0);
    ASSERT_EQ(hCurPanel, hCaqPanel);
    for (const auto& [id, rate] : {std::pair{CANACQ::NUMcanId1, CANACQ::RINGfreqId1},
                                   std::pair{CANACQ::NUMcanId2, CANACQ::RINGfreqId2}}) {
        ASSERT_EQ(uitest::SetValueAsUser(hCaqPanel, id, 0x300), 0);
        ASSERT_EQ(uitest::SetValueAsUser(hCaqPanel, rate, 1), 0); // "50 Hz"
    }
}

// The question about duplicate CAN identifiers, reached by act from the CAN page that has them; the frames
// are given back afterwards, so that nothing asks it again.
Question CanQuestion(const char* what, std::function<void(ScriptedPopups&)> act) {
    return {what, "Warning!", "Active CAN-frames with duplicate IDs.\nIgnore?",
            [act = std::move(act)](ScriptedPopups& script) {
                std::uint16_t frames[std::size(ecuParData.canFrames)];
                std::ranges::copy(ecuParData.canFrames, frames);
                ShowCanPageWithDuplicates();
                script.PressEnter();
                act(script);
                std::ranges::copy(frames, ecuParData.canFrames);
                ScatterCaqPanel();
            }};
}

// Chooses the configuration in the data-set popup that the command is about to show.
void ChooseConfiguration() {
    uitest::Later([] { uitest::Click(hEcuPanel, ECUSELZ::CBparData); });
}

struct QuestionsTest : OrvaneTest {
    // Back to the main window alone, the link closed, tuning over, as the next case expects.
    void TidyUp() {
        ecu.model.tuning = false;
        if (isComOpen) Tick();
        uitest::Click(hMainPanel, MAIN::CBmaps);
        if (hCurPanel == hMp2Panel) uitest::Click(hMp2Panel, MAPS2::CBexitAutoMaps);
        uitest::Click(hMainPanel, MAIN::CBinfo);
        if (isComOpen) CloseComPort();
    }

    std::vector<Question> Questions() {
        std::vector<Question> questions{
            {"exit with unsaved changes", "Updated ECU file",
             "Updated ECU file data:\n- Configuration data\n\nExit without saving changes?",
             [](ScriptedPopups& script) {
                 ecuParData.reserved7C6[0] = 1;
                 script.PressEnter();
                 EXPECT_EQ(MainCallBack(0, 0, EVENT_END_TASK, nullptr, 0, 0), 1) << "the program goes on";
                 ecuParData.reserved7C6[0] = 0;
             }},
            {"single-matrix editing", "Matrixes Alignment",
             "WARNING!\n\nAll matrixes but the first will be lost!",
             [](ScriptedPopups& script) {
                 uitest::Click(hMainPanel, MAIN::CBmaps);
                 ASSERT_EQ(uitest::SelectTab(hMp1Panel, MAPS1::TPselectMap, 4), 0); // map 5, per gear
                 ASSERT_EQ(ecuMapData.singleMatFlags[0] & 0x10, 0);
                 const std::int16_t kept = ecuMapData.map5.cells[3][1][1];
                 ecuMapData.map5.cells[3][1][1] = static_cast<std::int16_t>(kept + 7);
                 script.PressEnter();
                 ASSERT_EQ(uitest::Click(hMp1Panel, MAPS1::TBsingleMatEditing), 0);
                 EXPECT_EQ(ecuMapData.singleMatFlags[0] & 0x10, 0);
                 EXPECT_EQ(ecuMapData.map5.cells[3][1][1], kept + 7) << "the fourth gear's matrix stays";
                 ecuMapData.map5.cells[3][1][1] = kept;
             }},
            {"new ECU password", "Warning!", "All configurations will be erased...",
             [this](ScriptedPopups& script) {
                 SimLink& link = ConnectSimulator();
                 ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
                 for (const int button : {PWD::CBsetPwdB, PWD::CBsetPwdA}) {
                     ASSERT_EQ(uitest::SetValueAsUser(hPwdPanel, PWD::STRpasswd, "ab"), 0);
                     if (button == PWD::CBsetPwdA) script.PressEnter();
                     ASSERT_EQ(uitest::Click(hPwdPanel, button), 0);
                 }
                 EXPECT_EQ(FramesOf(link, CMD_SET_PASSWORD), 0u);
                 EXPECT_EQ(ecu.model.password[0], '\0') << "the ECU keeps its configurations";
             }},
            {"leaving a running manual tuning", "Map Tuning", "Abort?",
             [this](ScriptedPopups& script) {
                 ConnectSimulator();
                 ecu.model.tuning = true;
                 Tick(); // the idle poll sees the ECU tuning
                 ASSERT_EQ(TuningStateNow(), kTsManual);
                 script.PressEnter();
                 uitest::Click(hMainPanel, MAIN::CBadv);
                 EXPECT_EQ(hCurPanel, hMainPanel) << "the page stays";
                 EXPECT_TRUE(ecu.model.tuning) << "the ECU goes on tuning";
             }},
            {"the tuning page meets the ECU", "Map Tuning", "Load Map-Tuning Data?",
             [this](ScriptedPopups& script) {
                 uitest::Click(hMainPanel, MAIN::CBmaps);
                 ASSERT_EQ(uitest::Click(hMp1Panel, MAPS1::CBautoMap), 0);
                 ASSERT_EQ(hCurPanel, hMp2Panel);
                 Tick(); // the page sees the link closed: the next open one is new to it
                 const auto par = std::make_unique<EcuParData>(ecuParData);
                 const auto map = std::make_unique<EcuMapData>(ecuMapData);
                 script.PressEnter();
                 ConnectSimulator(); // its tick asks
                 EXPECT_EQ(std::memcmp(&ecuParData, par.get(), sizeof ecuParData), 0);
                 EXPECT_EQ(std::memcmp(&ecuMapData, map.get(), sizeof ecuMapData), 0);
             }},
            {"diagnostics defaults", "Set Defaults", "Set all parameters to default values?",
             [this](ScriptedPopups& script) {
                 const ecusim::DiagLog open = ecusim::MakeDiagLog("");
                 ecu.model.diag.password = open.password;
                 ecu.model.diag.access = open.access;
                 SimLink& link = ConnectSimulator();
                 uitest::Click(hMainPanel, MAIN::CBdiag);
                 ASSERT_EQ(hCurPanel, hDgnPanel);
                 Tick();
                 link.requests.clear();
                 script.PressEnter();
                 ASSERT_EQ(uitest::Click(hDgnPanel, DIAGN::CBdefaultParms), 0);
                 EXPECT_EQ(FramesOf(link, CMD_DIAG_PARAM), 0u) << "no parameter written";
             }},
            {"CO-correction send over other breakpoints", "Send CO-Correction Edit Data",
             "Different break-point between the\nECU map and the CO-corr. file.\n"
             "Do you want automatically convert\nthe files before sending?",
             [this](ScriptedPopups& script) {
                 SimLink& link = ConnectSimulator();
                 InitCocEditData();
                 cocEditData.mapA.x[3] = 4321; // the ECU's breakpoints differ
                 const CocEditRecord before = cocEditData;
                 script.PressEnter();
                 ASSERT_TRUE(SendCocEditMap());
                 EXPECT_EQ(std::memcmp(&cocEditData, &before, sizeof before), 0);
                 EXPECT_EQ(FramesOf(link, 0x04), 0u) << "nothing sent";
                 InitCocEditData();
             }},
        };
        questions.push_back(CanQuestion("sending duplicate CAN identifiers", [this](ScriptedPopups&) {
            SimLink& link = ConnectSimulator();
            ChooseConfiguration();
            uitest::Click(hMainPanel, MAIN::CBsend);
            EXPECT_EQ(FramesOf(link, CMD_WRITE_BEGIN) + FramesOf(link, CMD_WRITE_BLOCK), 0u)
                << "nothing sent";
        }));
        questions.push_back(CanQuestion("storing duplicate CAN identifiers", [](ScriptedPopups& script) {
            ChooseConfiguration();
            uitest::Click(hMainPanel, MAIN::CBstore);
            EXPECT_EQ(
                std::ranges::count(script.Records(), PopupKind::FileSelect, &ScriptedPopups::Record::kind), 0)
                << "no file asked for, nothing stored";
        }));
        // Every way off the CAN page: the main window's page buttons and the page's own tab line.
        const std::pair<const char*, std::function<void()>> ways[] = {
            {"Configuration", [] { uitest::Click(hMainPanel, MAIN::CBconfig); }},
            {"Linearizations", [] { uitest::Click(hMainPanel, MAIN::CBlineariz); }},
            {"Maps", [] { uitest::Click(hMainPanel, MAIN::CBmaps); }},
            {"Injection", [] { uitest::Click(hMainPanel, MAIN::CBinj); }},
            {"Advance", [] { uitest::Click(hMainPanel, MAIN::CBadv); }},
            {"Parameters", [] { uitest::Click(hMainPanel, MAIN::CBparms); }},
            {"Live", [] { uitest::Click(hMainPanel, MAIN::CBlive); }},
            {"Diagnostics", [] { uitest::Click(hMainPanel, MAIN::CBdiag); }},
            {"Info", [] { uitest::Click(hMainPanel, MAIN::CBinfo); }},
            {"the tab line", [] { uitest::SelectTab(hCaqPanel, CANACQ::TPselectConfig, 0); }},
        };
        for (const auto& [way, leave] : ways)
            questions.push_back(CanQuestion(way, [leave](ScriptedPopups&) {
                leave();
                EXPECT_EQ(hCurPanel, hCaqPanel) << "the CAN page stays";
            }));
        return questions;
    }
};

} // namespace

TEST_F(QuestionsTest, EnterAnswersNoWhereYesWouldLoseData) {
    for (const Question& q : Questions()) {
        SCOPED_TRACE(q.what);
        ecu.model = ecusim::MakeEcuModel("");
        {
            ScriptedPopups script;
            q.askAndCheck(script);
            EXPECT_TRUE(script.AllExpected()) << script.Report();
            const auto& records = script.Records();
            const auto asked = std::ranges::find(records, PopupKind::Confirm, &ScriptedPopups::Record::kind);
            ASSERT_NE(asked, records.end());
            EXPECT_EQ(asked->title, q.title);
            EXPECT_EQ(asked->text, q.text);
            EXPECT_EQ(asked->enter, ConfirmDefault::No);
        }
        TidyUp();
    }
}
