// The simulator's data sets as a tuner gets them: received, shown on every page and every map, read back
// and sent again, they come back byte for byte, and nothing is left unsaved. A page that changes a byte
// is named with the field it changed.
#include "orvanefixture.h"

#include "orvane/config/config.h"
#include "orvane/core/logic/byteorder.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/ecuselect.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/pageregistry.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/mapdesc.h"
#include "orvane/params/cocedit.h"
#include "orvane/params/params.h"
#include "orvane/tables/tables.h"
#include "platform/ui/layoutcheck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// A stored data set of the simulator in the program's memory order.
template <class Image> std::unique_ptr<Image> HostImage(const std::vector<std::uint8_t>& stored) {
    auto image = std::make_unique<Image>();
    std::memcpy(image.get(), stored.data(), sizeof(Image));
    if constexpr (sizeof(Image) == sizeof(EcuParImage))
        ConvertParImage(*image);
    else
        ConvertMapImage(*image);
    return image;
}

// "" when the images agree; else the first changed field by its member, element and both values.
template <class Data>
std::string FirstChange(const Data& expected, const Data& actual, std::span<const FieldRun> runs) {
    const auto* e = reinterpret_cast<const std::uint8_t*>(&expected);
    const auto* a = reinterpret_cast<const std::uint8_t*>(&actual);
    const auto [ep, ap] = std::mismatch(e, e + sizeof(Data), a);
    if (ep == e + sizeof(Data)) return "";
    const std::size_t at = static_cast<std::size_t>(ep - e);
    const auto run = std::ranges::find_if(runs, [at](const FieldRun& r) { return at < r.offset + r.size; });
    const std::size_t width = static_cast<std::size_t>(run->width);
    const std::size_t field = at - (at - run->offset) % width;
    auto value = [&](const std::uint8_t* p) {
        return width == 1   ? long{p[field]}
               : width == 2 ? long{*reinterpret_cast<const std::int16_t*>(p + field)}
                            : long{*reinterpret_cast<const std::int32_t*>(p + field)};
    };
    char text[160];
    std::snprintf(text, sizeof text, "+0x%05zX %s[%zu]: %ld became %ld", field, run->name,
                  (field - run->offset) / width, value(e), value(a));
    return text;
}

std::string PanelTitle(int panel) {
    char title[256] = "";
    GetPanelAttribute(panel, ATTR_TITLE, title);
    return title;
}

struct RoundTripTest : OrvaneTest {
    // The test hands back the images and the map editor's choice it found, shown again on every page.
    void SetUp() override {
        OrvaneTest::SetUp();
        savedPar = std::make_unique<EcuParData>(ecuParData);
        savedMap = std::make_unique<EcuMapData>(ecuMapData);
        savedMapId = idCurMap;
        std::copy(std::begin(aCurMatSel), std::end(aCurMatSel), std::begin(savedSel));
    }
    void TearDown() override {
        ecuParData = *savedPar;
        ecuMapData = *savedMap;
        SetCurMapId(savedMapId);
        for (int s = 0; s < kMatSelectors; ++s)
            SetCurMatSel(s, savedSel[s]);
        ScatterAllPanels();
        InitEcuRefData();
        OrvaneTest::TearDown();
    }

    // Both images against what the simulator holds, after what.
    void ExpectUnchanged(const std::string& after) {
        EXPECT_EQ(FirstChange(par->data, ecuParData, EcuParFields()), "") << "configuration, after " << after;
        EXPECT_EQ(FirstChange(map->data, ecuMapData, EcuMapFields()), "") << "mapping, after " << after;
    }

    // Every map and every matrix of it shown on the map editor and read back.
    void WalkMapEditor() {
        for (std::uint8_t id = 1; id <= 17; ++id) {
            const MapDesc& d = *FindMapDesc(id);
            SetCurMapId(id);
            const int matrices = std::max(PickableMatrices(d), 1);
            const int levels = d.levelSelector != kNoSel ? kMapLevels : 1;
            for (int m = 0; m < matrices; ++m) {
                if (d.selector != kNoSel) SetCurMatSel(d.selector, m);
                for (int level = 0; level < levels; ++level) {
                    if (d.levelSelector != kNoSel) SetCurMatSel(d.levelSelector, level);
                    ASSERT_TRUE(ScatterMp1Panel() && GatherMp1Panel(1));
                    ExpectUnchanged(std::string(d.tabCaption) + " matrix " + std::to_string(m + 1) +
                                    " level " + std::to_string(level + 1));
                    if (HasFailure()) return;
                }
            }
        }
    }

    std::unique_ptr<EcuParData> savedPar;
    std::unique_ptr<EcuMapData> savedMap;
    std::uint8_t savedMapId = 1;
    std::uint8_t savedSel[kMatSelectors] = {};
    std::unique_ptr<EcuParImage> par;
    std::unique_ptr<EcuMapImage> map;
};

} // namespace

TEST_F(RoundTripTest, SimulatorDataSetsComeBackFromEveryPageAsTheyWere) {
    struct Slot {
        ecusim::Store store;
        int choice;
    };
    for (const Slot slot :
         {Slot{ecusim::Store::Slot1, ECUSELZ::CBmapData1}, Slot{ecusim::Store::Slot2, ECUSELZ::CBmapData2}}) {
        SCOPED_TRACE(slot.choice == ECUSELZ::CBmapData1 ? "mapping slot 1" : "mapping slot 2");
        const std::vector<std::uint8_t> parSent = ecu.model.StoreBytes(ecusim::Store::Par);
        const std::vector<std::uint8_t> mapSent = ecu.model.StoreBytes(slot.store);
        par = HostImage<EcuParImage>(parSent);
        map = HostImage<EcuMapImage>(mapSent);
        ConnectSimulator();
        ReceiveDataSet(ECUSELZ::CBparData);
        ReceiveDataSet(slot.choice);
        ExpectUnchanged("receiving and filling every page");
        CopyEcuDataToRef(kParKind); // as a Store after the Receive leaves it
        CopyEcuDataToRef(kMapKind);

        for (const std::uint8_t index : Pages().gatherOrder) {
            const Page& page = Pages().pages[index];
            ASSERT_TRUE(page.scatter() && page.gather()) << PanelTitle(*page.handle);
            ExpectUnchanged("showing and reading back " + PanelTitle(*page.handle));
            if (HasFailure()) return;
        }
        WalkMapEditor();
        if (HasFailure()) return;
        EXPECT_FALSE(IsEcuDataChanged(kParKind)) << "Exit would ask about the configuration";
        EXPECT_FALSE(IsEcuDataChanged(kMapKind)) << "Exit would ask about the mapping";

        SendDataSet(ECUSELZ::CBparData);
        SendDataSet(slot.choice);
        EXPECT_TRUE(ecu.model.StoreBytes(ecusim::Store::Par) == parSent)
            << "the configuration came back changed";
        EXPECT_TRUE(ecu.model.StoreBytes(slot.store) == mapSent) << "the mapping came back changed";
        CloseComPort();
    }
}

// The simulator's engine idles on its idle stepper's set-points, so the pages that set the idle offer
// them: received from it, Misc. 1's "Set-Points Idling" and General 2's idle gains are not dimmed.
TEST_F(RoundTripTest, TheIdleTheSimulatorRunsOnIsOffered) {
    ConnectSimulator();
    ReceiveDataSet(ECUSELZ::CBparData);
    ReceiveDataSet(ECUSELZ::CBmapData1);
    CloseComPort();
    ASSERT_TRUE(ScatterPr1Panel() && ScatterCg2Panel());
    for (int row = 1; row <= 2; ++row) {
        for (int col = 1; col <= 10; ++col) {
            int dimmed = -1;
            GetTableCellAttribute(hPr1Panel, PARM1::TABidlSetPoint, MakePoint(col, row), ATTR_CELL_DIMMED,
                                  &dimmed);
            EXPECT_EQ(dimmed, 0) << "set-points row " << row << ", column " << col;
        }
    }
    for (const int gain : {CONFIG2::NUMidlKp, CONFIG2::NUMidlKi, CONFIG2::NUMidlKd}) {
        int dimmed = -1;
        GetCtrlAttribute(hCg2Panel, gain, ATTR_DIMMED, &dimmed);
        EXPECT_EQ(dimmed, 0) << "gain control " << gain;
    }
}

namespace {

constexpr int kDesignW = 1100, kDesignH = 760; // the main window as designed
constexpr int kGrownW = 1920, kGrownH = 1040;  // maximised on a 1920x1080 screen

// Every value, caption and cell of the panel as drawn fits its box; with ORVANE_SHOT_DIR set the panel is
// also written there as a PNG, to be looked at.
void CheckAndShoot(int panel, int checked, const std::string& name) {
    ProcessSystemEvents();
    for (const std::string& fault : uitest::LayoutFaults(checked)) {
        ADD_FAILURE() << name << ": " << fault;
    }
    if (const char* dir = std::getenv("ORVANE_SHOT_DIR")) {
        EXPECT_EQ(uitest::GrabPanelToPng(panel, (std::string(dir) + "/" + name + ".png").c_str()), 0) << name;
    }
}

// The main window at both sizes with the panel shown in it.
void ShootInMainWindow(int panel, const std::string& name) {
    DisplayPanel(panel);
    for (const auto& [w, h] : {std::pair{kDesignW, kDesignH}, std::pair{kGrownW, kGrownH}}) {
        ASSERT_EQ(uitest::ResizeWindow(hMainPanel, w, h), 0);
        CheckAndShoot(hMainPanel, panel, name + "-" + std::to_string(w) + "x" + std::to_string(h));
    }
    ASSERT_EQ(uitest::ResizeWindow(hMainPanel, kDesignW, kDesignH), 0);
    HidePanel(panel);
}

} // namespace

// The map editor on maps of every shape, its 2-D graph, the injection, advance and parameter pages, filled
// with the simulator's data: every value fits where it is shown, at both sizes of the main window.
TEST_F(RoundTripTest, PagesFitWithTheSimulatorsData) {
    ConnectSimulator();
    ReceiveDataSet(ECUSELZ::CBparData);
    ReceiveDataSet(ECUSELZ::CBmapData1);
    CloseComPort();
    CopyEcuDataToRef(kParKind); // as stored: nothing shows as changed
    CopyEcuDataToRef(kMapKind);
    for (const std::uint8_t id : {1, 2, 3, 4, 9, 13, 16}) {
        SetActiveTabPage(hMp1Panel, MAPS1::TPselectMap, id - 1);
        SetCurMapId(id);
        ASSERT_TRUE(ScatterMp1Panel());
        ShootInMainWindow(hMp1Panel, "map" + std::to_string(id));
        if (id == 1 || id == 3) {
            ASSERT_GE(SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, MakePoint(8, 12)),
                      0); // 3500 rpm, 30 deg
            ASSERT_TRUE(ShowGrpPanel(true));
            CheckAndShoot(hGrpPanel, hGrpPanel, "graph" + std::to_string(id));
            ASSERT_TRUE(ShowGrpPanel(false));
        }
    }
    for (const PageGroup group : {PageGroup::Injection, PageGroup::Parameters, PageGroup::Linearizations}) {
        for (int tab = 0; tab < GroupSize(group); ++tab) {
            const Page& page = GroupPage(group, tab);
            ASSERT_TRUE(page.scatter());
            SetActiveTabPage(*page.handle, page.tabControl, tab);
            ShootInMainWindow(*page.handle, PanelTitle(*page.handle));
        }
    }
    ASSERT_TRUE(ScatterAdvPanel());
    ShootInMainWindow(hAdvPanel, "advance");
}

// The CO-correction edit maps: received, shown and read back on the CO-Corr. page in edit mode, and sent,
// they come back to the ECU as they were, with no question about their axes.
TEST_F(RoundTripTest, CoCorrectionEditMapsComeBackAsTheyWere) {
    const std::vector<std::uint8_t> mapA = ecu.model.StoreBytes(ecusim::Store::CocA);
    const std::vector<std::uint8_t> mapB = ecu.model.StoreBytes(ecusim::Store::CocB);
    const CocEditRecord saved = cocEditData;
    ConnectSimulator();
    SetCocEditMode(1);
    popups.ExpectMessage().ExpectMessage();
    EXPECT_TRUE(ReceiveCocEditMap());
    EXPECT_TRUE(ScatterPr9Panel() && GatherPr9Panel());
    EXPECT_TRUE(SendCocEditMap());
    EXPECT_EQ(popups.Records().size(), 2u) << popups.Report();
    EXPECT_TRUE(ecu.model.StoreBytes(ecusim::Store::CocA) == mapA) << "map A came back changed";
    EXPECT_TRUE(ecu.model.StoreBytes(ecusim::Store::CocB) == mapB) << "map B came back changed";
    SetCocEditMode(0);
    cocEditData = saved;
    CloseComPort();
}
