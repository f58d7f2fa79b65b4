// The program's transfers as the user meets them: the messages about a received data set's header, the
// data sets' shown names, and the progress bar. What crosses the link is tested in datasets_test.cpp and
// blocks_test.cpp.
#include "appfixture.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/transfer.h"
#include "simecu.h"

#include <memory>
#include <string>

namespace {

struct TransferTest : AppFixture, SimEcu {
    void SetUp() override {
        AppFixture::SetUp();
        Attach();
    }
    void TearDown() override {
        CloseComPort();
        SetProgressBar(0, 0);
    }

    // The bar's percentage; -1 while it is hidden.
    static int ProgressShown() {
        int visible = 0;
        int value = -1;
        GetCtrlAttribute(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE, &visible);
        GetCtrlVal(hMainPanel, MAIN::NSprogressBar, &value);
        return visible != 0 ? value : -1;
    }
};

TEST_F(TransferTest, ReceivedHeaderDecidesTheMessage) {
    struct Case {
        const char* what;
        std::uint16_t kind;
        std::vector<std::pair<std::size_t, Bytes>> patches; // offset in the data header, bytes
        const char* title;                                  // nullptr: accepted, no message
        const char* message;
    };
    const Case cases[] = {
        {"other sub-version",
         2,
         {{31, {12}}},
         "Receive ECU mapping data",
         "Invalid data!\nData stored by (Orvane v1.12a)."},
        {"other application",
         2,
         {{0, {'K', 'e', 's'}}},
         "Receive ECU mapping data",
         "Invalid data!\nData stored by another application."},
        {"configuration of another application",
         1,
         {{0, {'X'}}, {30, {2}}},
         "Receive ECU configuration data",
         "Invalid data!\nData stored by another application."},
        {"configuration of another version",
         1,
         {{30, {2}}},
         "Receive ECU configuration data",
         "Invalid data!\nData stored by (Orvane v2.13a)."},
        {"only the suffix", 2, {{32, {'b'}}}, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecu.model = ecusim::MakeEcuModel("");
        const ecusim::Store store = c.kind == 1 ? ecusim::Store::Par : ecusim::Store::Slot1;
        for (const auto& [at, bytes] : c.patches)
            PatchStoredHeader(store, at, bytes);
        ScriptedPopups script;
        if (c.title != nullptr) script.ExpectMessage();
        ShowConfigName("before", static_cast<std::uint8_t>(c.kind));
        EXPECT_EQ(RequestEcu(c.kind), c.title == nullptr);
        ASSERT_TRUE(script.AllExpected()) << script.Report();
        if (c.title != nullptr) {
            EXPECT_EQ(script.Records()[0].title, c.title);
            EXPECT_EQ(script.Records()[0].text, c.message);
            EXPECT_EQ(ShownName(static_cast<std::uint8_t>(c.kind)), "before");
        } else {
            EXPECT_EQ(ShownName(2), ecusim::ImageName(Store(store)));
        }
    }
}

// A suffix that fills its field has no terminator: the text stops at the field's end.
TEST_F(TransferTest, FullWidthSuffixPrintsBounded) {
    PatchStoredHeader(ecusim::Store::Par, 30, Bytes{2, 0});
    PatchStoredHeader(ecusim::Store::Par, 32, Bytes(16, 'S'));
    PatchStoredHeader(ecusim::Store::Par, 48, Bytes(16, 'Z'));
    popups.ExpectMessage();
    EXPECT_FALSE(RequestEcu(1));
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Receive ECU configuration data");
    EXPECT_EQ(popups.Records()[0].text,
              "Invalid data!\nData stored by (Orvane v2.0" + std::string(16, 'S') + ").");
}

// A damaged set, a link lost midway and a kind the ECU does not have: no message here (the command
// reports the failure), the shown name kept.
TEST_F(TransferTest, OtherFailuresShowNothingAndKeepTheName) {
    Store(ecusim::Store::Par)[2000] ^= 0x01;
    ShowConfigName("kept", 1);
    EXPECT_FALSE(RequestEcu(1));
    EXPECT_FALSE(RequestEcu(0));
    EXPECT_EQ(ShownName(1), "kept");
    ShowConfigName("kept", 2);
    link->writesLeft = 300;
    EXPECT_FALSE(RequestEcu(2));
    EXPECT_EQ(ShownName(2), "kept");
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
}

TEST_F(TransferTest, ReceivedNameIsShownUpTo31Characters) {
    Bytes& image = Store(ecusim::Store::Par);
    std::fill(image.begin() + 8, image.begin() + 40, 'n');
    ecusim::SealImage(image);
    ASSERT_TRUE(RequestEcu(1));
    EXPECT_EQ(ShownName(1), std::string(31, 'n'));
    ASSERT_TRUE(RequestEcu(3));
    EXPECT_EQ(ShownName(2), ecusim::ImageName(Store(ecusim::Store::Slot2)));
}

// Each data set goes out under its own shown name.
TEST_F(TransferTest, SendCarriesTheShownName) {
    ShowConfigName("Track day", 1);
    ShowConfigName("Rain", 2);
    ASSERT_TRUE(SendEcu(1));
    ASSERT_TRUE(SendEcu(3));
    EXPECT_EQ(ecusim::ImageName(Store(ecusim::Store::Par)), "Track day");
    EXPECT_EQ(ecusim::ImageName(Store(ecusim::Store::Slot2)), "Rain");
}

// The bar stands full after every whole transfer and short of it after one that failed; hiding it is
// the command's part.
TEST_F(TransferTest, ProgressBarFollowsTheTransfer) {
    ASSERT_TRUE(RequestEcu(1));
    EXPECT_EQ(ProgressShown(), 100);
    ASSERT_TRUE(SendEcu(2));
    EXPECT_EQ(ProgressShown(), 100);
    Map20x32 map3{};
    ASSERT_TRUE(RequestEcuMap(3, map3));
    EXPECT_EQ(ProgressShown(), 100);
    ExtMiniMap coc{};
    ASSERT_TRUE(SendEcuMap(30, coc));
    EXPECT_EQ(ProgressShown(), 100);

    SetProgressBar(0, 0);
    link->writesLeft = 300;
    EXPECT_FALSE(RequestEcu(2));
    EXPECT_EQ(ProgressShown(), 300 * 255 * 100 / static_cast<int>(zzzDimMapBuf));
}

} // namespace
