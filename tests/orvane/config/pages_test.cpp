#include "configfixture.h"
#include "orvane/config/catalogue.h"
#include "orvane/core/logic/byteorder.h"
#include "orvane/core/ui/pageregistry.h"
#include "platform/ui/layoutcheck.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Starting from an image gathered once (several pages write on every pass), a fill and read-back of
// untouched pages changes no byte of either image.
TEST_F(ConfigTest, UntouchedPagesGatherBackTheSameImages) {
    ecuParData.w6B0[3] = 0x1234; // a few values off the defaults
    ecuParData.dwell.cells[4][5] = 777;
    ASSERT_TRUE(ScatterAllPanels());
    ASSERT_TRUE(GatherAllPanels());
    const EcuParData par = ecuParData;
    const EcuMapData map = ecuMapData;
    ASSERT_TRUE(ScatterAllPanels());
    ASSERT_TRUE(GatherAllPanels());
    EXPECT_EQ(std::memcmp(&par, &ecuParData, sizeof par), 0);
    EXPECT_EQ(std::memcmp(&map, &ecuMapData, sizeof map), 0);
}

TEST_F(ConfigTest, EveryConfigurationPageIsReachedByItsTab) {
    uitest::Click(hMainPanel, MAIN::CBconfig);
    for (int tab = 0; tab < GroupSize(PageGroup::Configuration); ++tab) {
        uitest::SelectTab(hCurPanel, CONFIG1::TPselectConfig, tab);
        EXPECT_EQ(hCurPanel, *GroupPage(PageGroup::Configuration, tab).handle) << tab;
    }
    uitest::Click(hMainPanel, MAIN::CBinfo);
}

// The simulator's configuration data set as the program holds it after a Receive.
void TakeSimulatorConfiguration(ecusim::EcuSim& ecu) {
    EcuParImage image;
    const std::vector<std::uint8_t>& bytes = ecu.model.StoreBytes(ecusim::Store::Par);
    ASSERT_EQ(bytes.size(), sizeof image);
    std::memcpy(&image, bytes.data(), sizeof image);
    ConvertParImage(image);
    ecuParData = image.data;
}

// A newcomer sees a real engine: the simulator's configuration is a catalogue engine and wheel, and
// passes through every page unrepaired.
TEST_F(ConfigTest, SimulatorConfigurationIsACatalogueEngine) {
    TakeSimulatorConfiguration(ecu);
    EXPECT_EQ(GetEngType(), 5) << "2cyl 2trig Dinj (odd)";
    EXPECT_EQ(GetQuadro(), 17) << "smf36-1";
    ASSERT_TRUE(ScatterAllPanels());
    const EcuParData received = ecuParData;
    ASSERT_TRUE(GatherAllPanels());
    EXPECT_EQ(std::memcmp(&received, &ecuParData, sizeof received), 0);
}

// Every configuration page filled with the simulator's configuration shows each value and text whole
// (the layout check on the page as drawn); with ORVANE_SHOT_DIR set, each is also written there as a PNG.
TEST_F(ConfigTest, PagesFitWithSimulatorData) {
    TakeSimulatorConfiguration(ecu);
    WriteField(Image::Par, 0x7B3, Raw::U8, 1);
    ASSERT_TRUE(ScatterAllPanels());
    const char* dir = std::getenv("ORVANE_SHOT_DIR");
    const char* names[] = {"config1", "config2", "config3", "config4", "canacq"};
    for (int tab = 0; tab < GroupSize(PageGroup::Configuration); ++tab) {
        const int panel = *GroupPage(PageGroup::Configuration, tab).handle;
        SetActiveTabPage(panel, CONFIG1::TPselectConfig, tab);
        DisplayPanel(panel);
        ProcessSystemEvents();
        for (const std::string& fault : uitest::LayoutFaults(panel))
            ADD_FAILURE() << names[tab] << ": " << fault;
        if (dir != nullptr) {
            const std::string path = std::string(dir) + "/" + names[tab] + ".png";
            EXPECT_EQ(uitest::GrabPanelToPng(panel, path.c_str()), 0);
        }
        HidePanel(panel);
    }
}

} // namespace
