// Every page of the program as a tuner meets it, filled by its own code (ranges and formats come from
// the pages' field tables), at the main window's design size and maximised: nothing overlaps, and every
// value its range can take, every caption and every cell fits its box. Pages that show other controls or
// texts by mode or by configuration are checked in each: the tuning page in manual and automatic tuning,
// every page with an external drive-by-wire and both CO-correction maps on, with the traction selector
// read in steps, and with the captions the live pages give an ECU that reports all its equipment. With
// ORVANE_SHOT_DIR set, each page is also written there as a PNG of the main window, at each size, to be
// looked at.
#include "orvanefixture.h"

#include "orvane/config/config.h"
#include "orvane/core/logic/byteorder.h"
#include "orvane/core/ui/datafile.h"
#include "orvane/core/ui/fields.h"
#include "orvane/core/ui/pageregistry.h"
#include "orvane/core/ui/settings.h"
#include "orvane/live/live.h"
#include "orvane/live/liverec.h"
#include "orvane/params/params.h"
#include "orvane/tables/tables.h"
#include "orvane/tuning/map2.h"
#include "platform/ui/layoutcheck.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kDesignW = 1100, kDesignH = 760;        // the main window as designed
constexpr int kMaximisedW = 1920, kMaximisedH = 1040; // maximised on a 1920x1080 screen

struct PageLayout : OrvaneTest {
    // The live pages caption some controls by what the ECU reports of its equipment: each test starts
    // from an ECU that reports none, whatever a test before left in the records.
    void SetUp() override {
        OrvaneTest::SetUp();
        par = ecuParData;
        map = ecuMapData;
        misc = miscInfo;
        miscInfo = {};
    }

    void TearDown() override {
        ecuParData = par;
        ecuMapData = map;
        miscInfo = misc;
        SetTuningPageMode(false, false);
        ScatterAllPanels();
        uitest::ResizeWindow(hMainPanel, kDesignW, kDesignH);
        OrvaneTest::TearDown();
    }

    // The faults of one page shown alone in the main window, at both sizes, each named by the page.
    static std::vector<std::string> FaultsOf(int panel, const std::string& name) {
        DisplayPanel(panel);
        std::vector<std::string> all = FaultsAtBothSizes(panel, name);
        HidePanel(panel);
        return all;
    }

    // The faults of a panel as it shows now (the main window, or a page in it), at both sizes.
    static std::vector<std::string> FaultsAtBothSizes(int panel, const std::string& name) {
        std::vector<std::string> all;
        for (const auto& [w, h] : {std::pair{kDesignW, kDesignH}, std::pair{kMaximisedW, kMaximisedH}}) {
            EXPECT_EQ(uitest::ResizeWindow(hMainPanel, w, h), 0);
            ProcessSystemEvents();
            const std::string shown = name + "@" + std::to_string(w);
            for (const std::string& f : uitest::LayoutFaults(panel))
                all.push_back(shown + ": " + f);
            for (const std::string& n : uitest::UnrangedNumerics(panel))
                all.push_back(shown + ": " + n + " has no range to be laid out for");
            if (const char* dir = std::getenv("ORVANE_SHOT_DIR")) {
                const std::string path = std::string(dir) + "/" + shown + ".png";
                EXPECT_EQ(uitest::GrabPanelToPng(hMainPanel, path.c_str()), 0);
            }
        }
        EXPECT_EQ(uitest::ResizeWindow(hMainPanel, kDesignW, kDesignH), 0);
        return all;
    }

    // The faults of every page (the popups are no pages), filled from the data sets on hand, each by its
    // own fill as well (the live pages too): what the program writes at run time, texts and captions, is
    // what is checked.
    static std::vector<std::string> EveryPageFaults(const std::string& setting) {
        EXPECT_TRUE(ScatterAllPanels());
        std::vector<std::string> faults;
        for (const Page& page : Pages().pages) {
            if (page.kind == PanelKind::Popup) continue;
            if (page.scatter != nullptr) {
                EXPECT_TRUE(page.scatter()) << Title(*page.handle);
            }
            const std::vector<std::string> found = FaultsOf(*page.handle, Title(*page.handle) + setting);
            faults.insert(faults.end(), found.begin(), found.end());
        }
        return faults;
    }

    static std::string Title(int panel) {
        char title[256] = "";
        GetPanelAttribute(panel, ATTR_TITLE, title);
        return title;
    }

    static std::string Joined(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines)
            text += l + "\n";
        return text;
    }

    EcuParData par{};
    EcuMapData map{};
    MiscInfo misc{};
};

TEST_F(PageLayout, EveryPageFitsAtBothSizes) {
    const std::vector<std::string> faults = EveryPageFaults("");
    EXPECT_TRUE(faults.empty()) << faults.size() << " fault(s):\n" << Joined(faults);
}

// The simulator's data sets as a tuner receives them: real engine speeds, temperatures and gains.
TEST_F(PageLayout, EveryPageFitsWithTheSimulatorsDataSets) {
    const auto take = [](auto& data, auto image, const std::vector<std::uint8_t>& stored) {
        ASSERT_EQ(stored.size(), sizeof image);
        std::memcpy(&image, stored.data(), sizeof image);
        if constexpr (sizeof image == sizeof(EcuParImage))
            ConvertParImage(image);
        else
            ConvertMapImage(image);
        data = image.data;
    };
    take(ecuParData, EcuParImage{}, ecu.model.StoreBytes(ecusim::Store::Par));
    take(ecuMapData, EcuMapImage{}, ecu.model.StoreBytes(ecusim::Store::Slot1));
    const std::vector<std::string> faults = EveryPageFaults(", simulator's data");
    EXPECT_TRUE(faults.empty()) << faults.size() << " fault(s):\n" << Joined(faults);
}

// An external drive-by-wire control names its throttle references on the cut-off and CO-correction
// pages with their longest texts.
TEST_F(PageLayout, EveryPageFitsWithExternalDriveByWire) {
    WriteField(Image::Par, 0x7B3, Raw::U8, 1);       // external drive-by-wire control on
    ecuMapData.b29B3C[0] = ecuMapData.b29B3C[1] = 1; // both CO-correction maps on a sensor, no cylinder
    const std::vector<std::string> faults = EveryPageFaults(", external drive-by-wire");
    EXPECT_TRUE(faults.empty()) << faults.size() << " fault(s):\n" << Joined(faults);
}

// A traction-control selector read in steps: its curve on the injection and advance pages shows a row
// without values and dims the steps beyond the configured ones.
TEST_F(PageLayout, EveryPageFitsWithASelectorInSteps) {
    WriteField(Image::Par, 0x781, Raw::U8, 6); // six selector steps
    const std::vector<std::string> faults = EveryPageFaults(", selector in steps");
    EXPECT_TRUE(faults.empty()) << faults.size() << " fault(s):\n" << Joined(faults);
}

// An ECU that reports an auxiliary throttle, a level switch read by A/D with an external drive-by-wire,
// anti-lag, launch control, a speed limiter and a relay output: the live pages give those controls their
// other captions.
TEST_F(PageLayout, EveryPageFitsWithTheCaptionsOfAFullyEquippedEcu) {
    miscInfo[3] = 1;                                             // auxiliary throttle
    miscInfo[7] = 17;                                            // level switch by A/D ...
    miscInfo[13] = 1;                                            // ... with an external drive-by-wire
    miscInfo[8] = miscInfo[9] = miscInfo[10] = miscInfo[12] = 1; // anti-lag, launch, speed limiter, relay
    const std::vector<std::string> faults = EveryPageFaults(", fully equipped ECU");
    EXPECT_TRUE(faults.empty()) << faults.size() << " fault(s):\n" << Joined(faults);
}

// A data set's name holds up to 31 characters. Stored under such a name and sent to the ECU, it shows
// whole wherever a name is shown: on the main window, and on both live pages as the ECU reports it, at
// the design size and maximised, wide characters and all. Each box is measured against the text it shows.
TEST_F(PageLayout, DataSetNamesOf31CharactersShowWhole) {
    const ProgramSettings remembered = cfg;
    char dir[] = "/tmp/orvane-names-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    for (const std::string& name : {std::string("Bench_engine_cfg_long_name_31ch"), std::string(31, 'W')}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(name.size(), 31u);
        const std::string base = std::string(dir) + "/" + name;
        ASSERT_TRUE(StoreEcu((base + ".ecd").c_str(), 1));
        ASSERT_TRUE(StoreEcu((base + ".emd").c_str(), 2));
        std::vector<std::string> faults = FaultsAtBothSizes(hMainPanel, "main window");
        for (const int control : {MAIN::TMecuParName, MAIN::TMecuMapName})
            EXPECT_EQ(CtrlText(hMainPanel, control), name);

        ConnectSimulator();
        for (const int choice : {ECUSELZ::CBparData, ECUSELZ::CBmapData1, ECUSELZ::CBmapData2})
            SendDataSet(choice);
        ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBlive), 0);
        Tick(); // the first tick on a live page reads the names the ECU holds
        struct Live {
            int panel, tab;
            const char* title;
            std::array<int, 3> names;
        };
        for (const Live& page :
             {Live{hLv1Panel, 0, "Live 1", {LIVE1::TMecuPar, LIVE1::TMecuMap1, LIVE1::TMecuMap2}},
              Live{hLv2Panel, 1, "Live 2", {LIVE2::TMecuPar, LIVE2::TMecuMap1, LIVE2::TMecuMap2}}}) {
            if (hCurPanel != page.panel) {
                const int tabs = hCurPanel == hLv1Panel ? LIVE1::TPselectLive : LIVE2::TPselectLive;
                ASSERT_EQ(uitest::SelectTab(hCurPanel, tabs, page.tab), 0);
                Tick();
            }
            ASSERT_EQ(hCurPanel, page.panel);
            for (const int control : page.names)
                EXPECT_EQ(CtrlText(page.panel, control), name) << page.title;
            const std::vector<std::string> found = FaultsAtBothSizes(page.panel, page.title);
            faults.insert(faults.end(), found.begin(), found.end());
        }
        EXPECT_TRUE(faults.empty()) << faults.size() << " fault(s):\n" << Joined(faults);
        ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBinfo), 0);
        CloseComPort();
    }
    std::filesystem::remove_all(dir);
    cfg = remembered;
    WriteInitFile();
}

// Manual and automatic tuning each show their own controls in the lower part of the tuning page.
TEST_F(PageLayout, TuningPageFitsInEachMode) {
    ASSERT_TRUE(ScatterAllPanels());
    std::vector<std::string> faults;
    for (const auto& [automatic, mode] : {std::pair{false, "manual"}, std::pair{true, "automatic"}}) {
        SetTuningPageMode(automatic, !automatic);
        ASSERT_TRUE(ScatterMp2Panel());
        const std::vector<std::string> found = FaultsOf(hMp2Panel, std::string("Map Tuning, ") + mode);
        faults.insert(faults.end(), found.begin(), found.end());
    }
    EXPECT_TRUE(faults.empty()) << faults.size() << " fault(s):\n" << Joined(faults);
}

// Captions that name a group of controls read as the pages give them: a heading on two lines, a table's
// own name, and two words each of its own.
TEST_F(PageLayout, GroupCaptionsReadAsThePagesGiveThem) {
    struct Caption {
        const int* panel;
        int control;
        const char* text;
    };
    const Caption kCaptions[] = {
        {&hCg1Panel, CONFIG1::TMjmmTitle, "Injection Mapping Mode\nThrottle Thresholds"},
        {&hCg3Panel, CONFIG3::TABdwell, "Dwell Time"},
        {&hPr3Panel, PARM3::TMspark, "Spark"},
        {&hPr3Panel, PARM3::TMadvance, "Advance"},
    };
    for (const Caption& c : kCaptions) {
        char text[128] = "";
        ASSERT_EQ(GetCtrlAttribute(*c.panel, c.control, ATTR_LABEL_TEXT, std::span<char>(text)), 0) << c.text;
        EXPECT_STREQ(text, c.text);
    }
}

// Every parameter page is headed "Parameters" in bold, at the left and at the right under its tab bar,
// as the injection pages are headed by their own names.
TEST_F(PageLayout, ParameterPagesAreHeadedLeftAndRight) {
    struct Heading {
        const int* panel;
        int left, right;
    };
    const Heading kPages[] = {
        {&hPr1Panel, PARM1::TMparams1, PARM1::TMparams2}, {&hPr2Panel, PARM2::TMparams1, PARM2::TMparams2},
        {&hPr3Panel, PARM3::TMparams1, PARM3::TMparams2}, {&hPr4Panel, PARM4::TMparams1, PARM4::TMparams2},
        {&hPr5Panel, PARM5::TMparams1, PARM5::TMparams2}, {&hPr6Panel, PARM6::TMparams1, PARM6::TMparams2},
        {&hPr7Panel, PARM7::TMparams1, PARM7::TMparams2}, {&hPr8Panel, PARM8::TMparams1, PARM8::TMparams2},
        {&hPr9Panel, PARM9::TMparams1, PARM9::TMparams2}, {&hPr10Panel, PARM10::TMparams1, PARM10::TMparams2},
    };
    const auto attribute = [](int panel, int control, int which) {
        int value = -1;
        EXPECT_EQ(GetCtrlAttribute(panel, control, which, &value), 0);
        return value;
    };
    for (const Heading& page : kPages) {
        const int p = *page.panel;
        const int tabBottom = attribute(p, 2, ATTR_TOP) + attribute(p, 2, ATTR_HEIGHT);
        for (const int control : {page.left, page.right}) {
            char text[64] = "";
            ASSERT_EQ(GetCtrlAttribute(p, control, ATTR_LABEL_TEXT, std::span<char>(text)), 0) << Title(p);
            EXPECT_STREQ(text, "Parameters") << Title(p);
            EXPECT_EQ(attribute(p, control, ATTR_TEXT_BOLD), 1) << Title(p);
            EXPECT_GE(attribute(p, control, ATTR_TOP), tabBottom) << Title(p);
        }
        EXPECT_EQ(attribute(p, page.left, ATTR_TOP), attribute(p, page.right, ATTR_TOP)) << Title(p);
        EXPECT_LT(attribute(p, page.left, ATTR_LEFT), attribute(p, page.right, ATTR_LEFT)) << Title(p);
    }
}

// Maps that the page lays out whole show their last row and column inside their box at the design size.
TEST_F(PageLayout, WholeMapsShowTheirLastCellAtTheDesignSize) {
    WriteField(Image::Map, 0x29997, Raw::U8, 0x80); // the neutral adjustments on: their maps not dimmed
    ASSERT_TRUE(ScatterAllPanels());
    struct Whole {
        const int* panel;
        int table;
        Point last;
    };
    const Whole kTables[] = {
        {&hPr6Panel, PARM6::TABmapInjNeut, MakePoint(17, 9)},
        {&hPr6Panel, PARM6::TABmapAdvNeut, MakePoint(17, 9)},
        {&hPr1Panel, PARM1::TABidlSetPoint, MakePoint(10, 4)},
    };
    for (const Whole& t : kTables) {
        DisplayPanel(*t.panel);
        ASSERT_EQ(uitest::ResizeWindow(hMainPanel, kDesignW, kDesignH), 0);
        ProcessSystemEvents();
        int left = 0, top = 0, width = 0, height = 0;
        GetCtrlAttribute(*t.panel, t.table, ATTR_LEFT, &left);
        GetCtrlAttribute(*t.panel, t.table, ATTR_TOP, &top);
        GetCtrlAttribute(*t.panel, t.table, ATTR_WIDTH, &width);
        GetCtrlAttribute(*t.panel, t.table, ATTR_HEIGHT, &height);
        Point at{};
        ASSERT_EQ(uitest::GetTableCellPoint(*t.panel, t.table, t.last, &at), 0);
        EXPECT_LT(at.x, left + width) << Title(*t.panel) << " table " << t.table;
        EXPECT_LT(at.y, top + height) << Title(*t.panel) << " table " << t.table;
        int scroll = -1;
        SetCtrlAttribute(*t.panel, t.table, ATTR_HSCROLL_OFFSET, 10000);
        GetCtrlAttribute(*t.panel, t.table, ATTR_HSCROLL_OFFSET, &scroll);
        EXPECT_EQ(scroll, 0) << Title(*t.panel) << " table " << t.table << " scrolls sideways";
        HidePanel(*t.panel);
    }
}

// The correction curves of the injection and advance pages stand column under column, whatever the
// width of their row labels ("[mBar]" against "k").
TEST_F(PageLayout, CorrectionCurvesLineUp) {
    WriteField(Image::Par, 0x781, Raw::U8, 6); // a selector in steps: its curve is live too
    ASSERT_TRUE(ScatterAllPanels());
    struct Curves {
        const int* panel;
        std::array<int, 4> tables;
    };
    const Curves kPages[] = {
        {&hIj1Panel, {INJ1::TABkjTair, INJ1::TABkjTh2o, INJ1::TABkjPbaro, INJ1::TABkjRtc}},
        {&hAdvPanel, {ADV::TABkaTair, ADV::TABkaTh2o, ADV::TABkaPbaro, ADV::TABkaRtc}},
    };
    for (const Curves& page : kPages) {
        DisplayPanel(*page.panel);
        ProcessSystemEvents();
        for (const int column : {1, 16}) {
            Point first{};
            ASSERT_EQ(uitest::GetTableCellPoint(*page.panel, page.tables[0], MakePoint(column, 2), &first),
                      0);
            for (const int table : page.tables) {
                Point at{};
                ASSERT_EQ(uitest::GetTableCellPoint(*page.panel, table, MakePoint(column, 2), &at), 0);
                EXPECT_EQ(at.x, first.x) << Title(*page.panel) << " table " << table << " column " << column;
            }
        }
        HidePanel(*page.panel);
    }
}

} // namespace
