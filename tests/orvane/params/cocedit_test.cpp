// The CO-correction edit data: its file, its transfers to and from the ECU, the resets of the learned
// corrections, and its place in the exit question.
#include "bytes.h"
#include "orvanefixture.h"

#include "ecusim/commands.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/ecudata.h"
#include "orvane/core/ui/settings.h"
#include "orvane/params/cocedit.h"
#include "orvane/params/params.h"
#include "orvane/params/resets.h"
#include "platform/sys/textout.h"

#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The ECU's copy of one CO-correction map, in its own (big-endian) order.
void PutEcuWord(ecusim::EcuModel& model, std::uint16_t area, std::size_t word, std::int16_t value) {
    ecusim::PutBE16(ecusim::AreaBytes(model, area).data() + 2 * word, static_cast<std::uint16_t>(value));
}

constexpr std::size_t kXWord = 160; // first x breakpoint of an ExtMiniMap, in words
constexpr std::size_t kYWord = 176;

struct CocEditTest : OrvaneTest {
    void SetUp() override {
        OrvaneTest::SetUp();
        dir = fs::path(testing::TempDir()) / ("ced" + std::to_string(getpid()));
        fs::create_directories(dir);
        cfg.cocFile[0] = '\0';
        InitCocEditData();
        SetCocEditMode(1);
        ZeroEcuAxes();
    }

    // The ECU's maps on the record's default axes (all 0), so that only what a test changes differs.
    void ZeroEcuAxes() {
        for (const ecusim::Store map : {ecusim::Store::CocA, ecusim::Store::CocB})
            ecu.model.StoreBytes(map).assign(ecusim::kExtMiniMapSize, 0);
    }
    void TearDown() override {
        SetCocEditMode(0);
        InitCocEditData();
        cfg.cocFile[0] = '\0';
        WriteInitFile();
        fs::remove_all(dir);
        OrvaneTest::TearDown();
    }

    // A record that differs from the defaults everywhere it can, the pad byte included.
    static void FillRecord() {
        for (int j = 0; j < 10; ++j)
            for (int i = 0; i < 16; ++i) {
                cocEditData.mapA.cells[j][i] = static_cast<std::int16_t>(900 + j * 16 + i);
                cocEditData.mapB.cells[j][i] = static_cast<std::int16_t>(-j * 16 - i);
            }
        for (int i = 0; i < 16; ++i)
            cocEditData.mapA.x[i] = cocEditData.mapB.x[i] = static_cast<std::int16_t>(1000 * i);
        for (int j = 0; j < 10; ++j)
            cocEditData.mapA.y[j] = cocEditData.mapB.y[j] = static_cast<std::int16_t>(100 * j);
        cocEditData.loadRef = 1;
        cocEditData.pad = 0xA5;
    }

    fs::path dir;
};

} // namespace

TEST_F(CocEditTest, StoreThenLoadGivesTheSameRecordAndKeepsThePadByte) {
    FillRecord();
    const CocEditRecord stored = cocEditData;
    const fs::path path = dir / "run.ced";
    popups.AnswerFile((dir / "run").string(), VAL_NEW_FILE_SELECTED);
    StoreCocEditData();
    ASSERT_TRUE(fs::exists(path)) << "the extension is set";
    EXPECT_EQ(fs::file_size(path), 746u);
    EXPECT_EQ(std::string(cfg.cocFile), path.string());
    EXPECT_FALSE(NewCocEditData());
    const std::vector<char> bytes = ReadFileBytes<char>(path);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[745]), 0xA5);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), 900 % 256) << "words are little-endian";
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[1]), 900 / 256);

    InitCocEditData();
    popups.AnswerFile(path.string());
    LoadCocEditData(1);
    EXPECT_EQ(std::memcmp(&cocEditData, &stored, sizeof stored), 0);
    EXPECT_FALSE(NewCocEditData());

    // The next store writes the loaded pad byte back unchanged.
    popups.AnswerFile(path.string());
    StoreCocEditData();
    EXPECT_EQ(ReadFileBytes<char>(path), bytes);
}

TEST_F(CocEditTest, StoreProposesTheRememberedNameOrThePattern) {
    popups.AnswerFile((dir / "a.ced").string(), VAL_NEW_FILE_SELECTED).CancelFile();
    StoreCocEditData();
    StoreCocEditData();
    ASSERT_EQ(popups.Records().size(), 2u);
    EXPECT_EQ(popups.Records()[0].title, "Store CO-Correction Edit Data");
    EXPECT_EQ(popups.Records()[0].text, "*.ced");
    EXPECT_EQ(popups.Records()[1].text, "a.ced");

    // Edit mode off: refused before any dialog.
    SetCocEditMode(0);
    popups.ExpectMessage();
    StoreCocEditData();
    EXPECT_EQ(popups.Records().back().text, "Error - Edit Mode not active");
}

TEST_F(CocEditTest, FilesThatCannotSupplyTheRecordAreRefused) {
    FillRecord();
    const CocEditRecord before = cocEditData;
    const fs::path shortFile = dir / "short.ced";
    WriteFileBytes(shortFile, std::vector<char>(745, 7));
    popups.AnswerFile(shortFile.string()).ExpectMessage();
    LoadCocEditData(1);
    EXPECT_EQ(popups.Records().back().text, "Some error occurred...");
    EXPECT_EQ(std::memcmp(&cocEditData, &before, sizeof before), 0) << "the edit data stays as it was";

    // A longer file gives its first 746 bytes.
    std::vector<char> longer(800, 0);
    longer[745] = 0x11;
    longer[746] = 0x22;
    const fs::path longFile = dir / "long.ced";
    WriteFileBytes(longFile, longer);
    popups.AnswerFile(longFile.string());
    LoadCocEditData(1);
    EXPECT_EQ(cocEditData.pad, 0x11);
    EXPECT_EQ(cocEditData.mapA.cells[0][0], 0);

    // A new name from the load dialog is no file to load.
    popups.AnswerFile((dir / "new.ced").string(), VAL_NEW_FILE_SELECTED).ExpectMessage();
    LoadCocEditData(1);
    EXPECT_EQ(popups.Records().back().text, "Some error occurred...");
}

TEST_F(CocEditTest, SilentLoadAdoptsAGoodFileAndForgetsABadOne) {
    FillRecord();
    const CocEditRecord stored = cocEditData;
    const fs::path good = dir / "good.ced";
    popups.AnswerFile(good.string());
    StoreCocEditData();
    InitCocEditData();

    LoadCocEditData(0);
    EXPECT_EQ(std::memcmp(&cocEditData, &stored, sizeof stored), 0);
    EXPECT_FALSE(NewCocEditData());

    InitCocEditData();
    const CocEditRecord defaults = cocEditData;
    WriteFileBytes(good, std::vector<char>(100, 1));
    LoadCocEditData(0);
    EXPECT_EQ(std::memcmp(&cocEditData, &defaults, sizeof defaults), 0);
    EXPECT_STREQ(cfg.cocFile, "") << "an unreadable remembered file is forgotten";

    LoadCocEditData(0); // nothing remembered: nothing happens
    EXPECT_EQ(popups.Records().size(), 1u) << "only the store dialog";
}

TEST_F(CocEditTest, APathTooLongForTheExtensionIsRefusedNotCut) {
    // A path that fills the settings field, so that ".ced" no longer fits behind it.
    std::string path = (dir / "").string();
    path.append(sizeof cfg.cocFile - 1 - path.size(), 'n');
    popups.AnswerFile(path, VAL_NEW_FILE_SELECTED).ExpectMessage();
    StoreCocEditData();
    EXPECT_EQ(popups.Records().back().text, "Some error occurred...");
    EXPECT_TRUE(fs::is_empty(dir)) << "nothing written under a cut name";

    CopyText(path, cfg.cocFile);
    popups.ExpectMessage();
    LoadCocEditData(1);
    ASSERT_EQ(popups.Records().size(), 3u) << "no load dialog with a cut name";
    EXPECT_EQ(popups.Records()[2].title, "Load CO-Correction Edit Data");
    EXPECT_EQ(popups.Records()[2].text, "Some error occurred...");
}

TEST_F(CocEditTest, ReceiveTakesTheEcuMapsAndCountsAsUnsaved) {
    ConnectSimulator();
    PutEcuWord(ecu.model, 20, 0, 1234);
    PutEcuWord(ecu.model, 21, kYWord + 9, -5);
    ecu.model.cocEditInfo[0] = 1;
    cocEditData.pad = 0x42;
    popups.ExpectMessage();
    ASSERT_TRUE(ReceiveCocEditMap());
    EXPECT_EQ(popups.Records().back().title, "Receive CO-Correction Edit Data");
    EXPECT_EQ(popups.Records().back().text, "Done!");
    EXPECT_EQ(cocEditData.mapA.cells[0][0], 1234);
    EXPECT_EQ(cocEditData.mapB.y[9], -5);
    EXPECT_EQ(cocEditData.loadRef, 1);
    EXPECT_EQ(cocEditData.pad, 0x42);
    EXPECT_TRUE(NewCocEditData());

    popups.AnswerConfirm(false);
    EXPECT_FALSE(DiscardNewEcuData());
    EXPECT_NE(popups.Records().back().text.find("\n- CO-Correction Edit data"), std::string::npos);

    // A failed read leaves the record as it was.
    ecu.model.cocEditInfo[0] = 0;
    const CocEditRecord before = cocEditData;
    ConnectSimulator().tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        return request.cmd == 0x1F ? std::nullopt : reply;
    };
    popups.ExpectMessage();
    ASSERT_TRUE(ReceiveCocEditMap());
    EXPECT_EQ(popups.Records().back().text, "Some error occurred...");
    EXPECT_EQ(std::memcmp(&cocEditData, &before, sizeof before), 0);

    CloseComPort();
    EXPECT_FALSE(ReceiveCocEditMap());
    EXPECT_FALSE(SendCocEditMap());
}

TEST_F(CocEditTest, SendWithMatchingBreakpointsWritesBothMaps) {
    ConnectSimulator();
    cocEditData.mapA.cells[9][15] = 1999;
    cocEditData.mapB.cells[0][1] = 3;
    popups.ExpectMessage();
    ASSERT_TRUE(SendCocEditMap());
    EXPECT_EQ(popups.Records().size(), 1u) << "no question when everything matches";
    EXPECT_EQ(popups.Records()[0].text, "Done!");
    EXPECT_EQ(ecusim::GetBE16(ecusim::AreaBytes(ecu.model, 20).data() + 2 * (9 * 16 + 15)), 1999);
    EXPECT_EQ(ecusim::GetBE16(ecusim::AreaBytes(ecu.model, 21).data() + 2), 3);
    EXPECT_EQ(cocEditData.mapA.cells[9][15], 1999) << "the record stays in host order";
}

TEST_F(CocEditTest, ConversionQuestionYesTakesTheEcuAxesNoSendsNothing) {
    struct Case {
        const char* what;
        bool yes;
    };
    for (const Case c : {Case{"no", false}, Case{"yes", true}}) {
        SCOPED_TRACE(c.what);
        ecu.model = ecusim::MakeEcuModel("");
        ZeroEcuAxes();
        SimLink& link = ConnectSimulator();
        InitCocEditData();
        cocEditData.mapA.cells[2][3] = 777;
        cocEditData.mapB.x[4] = 50; // the ECU has 0 there
        ecu.model.cocEditInfo[0] = 1;
        PutEcuWord(ecu.model, 20, kYWord + 1, 300);
        const CocEditRecord before = cocEditData;

        ScriptedPopups answers;
        answers.AnswerConfirm(c.yes);
        if (c.yes) answers.ExpectMessage();
        ASSERT_TRUE(SendCocEditMap());
        EXPECT_TRUE(answers.AllExpected()) << answers.Report();
        EXPECT_EQ(answers.Records()[0].text,
                  "Different break-point between the\nECU map and the CO-corr. file.\n"
                  "Do you want automatically convert\nthe files before sending?");
        std::size_t writes = 0;
        for (const auto& frame : link.requests)
            writes += frame[2] == 0x04;
        if (!c.yes) {
            EXPECT_EQ(writes, 0u);
            EXPECT_EQ(std::memcmp(&cocEditData, &before, sizeof before), 0);
            continue;
        }
        EXPECT_EQ(writes, 2u);
        EXPECT_EQ(answers.Records().back().text, "Done!");
        CocEditRecord expected = before;
        expected.mapB.x[4] = 0;
        expected.mapA.y[1] = 300;
        expected.loadRef = 1;
        EXPECT_EQ(std::memcmp(&cocEditData, &expected, sizeof expected), 0) << "cells never move";
        EXPECT_EQ(ecusim::GetBE16(ecusim::AreaBytes(ecu.model, 20).data() + 2 * (2 * 16 + 3)), 777);
    }
}

// Yes to the conversion takes every x and every y breakpoint of both ECU maps into the record, and the
// record's cells stay where they are; what is then sent is the ECU's axes with the record's cells.
TEST_F(CocEditTest, ConversionTakesEveryBreakpointOfBothEcuMaps) {
    struct Map {
        const char* name;
        std::uint16_t area;
        ExtMiniMap CocEditRecord::*map;
        int xFirst, xStep, yFirst, yStep; // the ECU's breakpoints
    };
    const Map maps[] = {
        {"A", 20, &CocEditRecord::mapA, 800, 750, 20, 95},
        {"B", 21, &CocEditRecord::mapB, 1000, 900, 150, 850},
    };
    for (const Map& m : maps) {
        for (int i = 0; i < 16; ++i)
            PutEcuWord(ecu.model, m.area, kXWord + i, static_cast<std::int16_t>(m.xFirst + m.xStep * i));
        for (int j = 0; j < 10; ++j)
            PutEcuWord(ecu.model, m.area, kYWord + j, static_cast<std::int16_t>(m.yFirst + m.yStep * j));
    }
    SimLink& link = ConnectSimulator();
    FillRecord(); // axes of its own, every cell distinct
    const CocEditRecord before = cocEditData;
    popups.AnswerConfirm(true).ExpectMessage();
    ASSERT_TRUE(SendCocEditMap());
    ASSERT_EQ(popups.Records().size(), 2u) << popups.Report();
    EXPECT_EQ(popups.Records()[1].text, "Done!");
    std::size_t writes = 0;
    for (const auto& frame : link.requests)
        writes += frame[2] == 0x04;
    EXPECT_EQ(writes, 2u);
    for (const Map& m : maps) {
        SCOPED_TRACE(m.name);
        const ExtMiniMap& record = cocEditData.*m.map;
        const std::uint8_t* ecuMap = ecusim::AreaBytes(ecu.model, m.area).data();
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(record.x[i], m.xFirst + m.xStep * i) << "x " << i;
            EXPECT_EQ(static_cast<std::int16_t>(ecusim::GetBE16(ecuMap + 2 * (kXWord + i))), record.x[i]);
        }
        for (int j = 0; j < 10; ++j) {
            EXPECT_EQ(record.y[j], m.yFirst + m.yStep * j) << "y " << j;
            EXPECT_EQ(static_cast<std::int16_t>(ecusim::GetBE16(ecuMap + 2 * (kYWord + j))), record.y[j]);
        }
        const ExtMiniMap& cells = before.*m.map;
        EXPECT_EQ(std::memcmp(record.cells, cells.cells, sizeof cells.cells), 0) << "cells never move";
        for (int j = 0; j < 10; ++j)
            for (int i = 0; i < 16; ++i)
                ASSERT_EQ(static_cast<std::int16_t>(ecusim::GetBE16(ecuMap + 2 * (16 * j + i))),
                          cells.cells[j][i])
                    << "sent cell " << j << "," << i;
    }
    EXPECT_TRUE(NewCocEditData()) << "converted data counts as unsaved";
}

TEST_F(CocEditTest, OnlyTheLoadReferenceDiffersStillAsks) {
    ConnectSimulator();
    ecu.model.cocEditInfo[0] = 2;
    const CocEditRecord before = cocEditData;
    popups.AnswerConfirm(true).ExpectMessage();
    ASSERT_TRUE(SendCocEditMap());
    EXPECT_EQ(popups.Records()[0].kind, PopupKind::Confirm);
    CocEditRecord expected = before;
    expected.loadRef = 2;
    EXPECT_EQ(std::memcmp(&cocEditData, &expected, sizeof expected), 0);
}

TEST_F(CocEditTest, ResetsSendTheirFramesOnlyWithTheLinkOpen) {
    EXPECT_TRUE(SendCocReset());
    EXPECT_TRUE(SendNscReset());
    EXPECT_TRUE(popups.Records().empty());

    SimLink& link = ConnectSimulator();
    ecu.model.cocCorrection = {5, 6};
    ecu.model.stepCorrection = 7;
    EXPECT_TRUE(SendCocReset());
    EXPECT_TRUE(SendNscReset());
    ASSERT_EQ(link.requests.size(), 3u);
    EXPECT_EQ(link.requests[0], (std::vector<std::uint8_t>{0x55, 1, 0x12, 1, 0x14}));
    EXPECT_EQ(link.requests[1], (std::vector<std::uint8_t>{0x55, 1, 0x12, 2, 0x15}));
    EXPECT_EQ(link.requests[2], (std::vector<std::uint8_t>{0x55, 0, 0x14, 0x14}));
    EXPECT_EQ(ecu.model.cocCorrection, (std::array<std::int16_t, 2>{0, 0}));
    EXPECT_EQ(ecu.model.stepCorrection, 0);

    // A first reply that does not come stops the reset before its second frame.
    link.requests.clear();
    link.tamper = [](const ecusim::Frame&, std::optional<ecusim::Frame>) {
        return std::optional<ecusim::Frame>{};
    };
    EXPECT_FALSE(SendCocReset());
    EXPECT_EQ(link.requests.size(), 1u);
    EXPECT_FALSE(SendNscReset());
}

// The second map is sent even when the first fails; the user hears of the failure and the record stays
// as it was.
TEST_F(CocEditTest, SendTriesMapBWhenMapAFails) {
    SimLink& link = ConnectSimulator();
    cocEditData.mapA.cells[0][0] = 1111;
    cocEditData.mapB.cells[9][15] = 2222;
    const CocEditRecord before = cocEditData;
    constexpr std::uint8_t kWriteBegin = 0x04, kWriteBlock = 0x05;
    int begins = 0, blocks = 0;
    link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        begins += request.cmd == kWriteBegin;
        // Map A's first block is acknowledged beyond what was sent: the transfer fails at once.
        if (request.cmd == kWriteBlock && ++blocks == 1 && reply) reply->data = {0xFF, 0xFF, 0xFF, 0xFF};
        return reply;
    };
    popups.ExpectMessage();
    ASSERT_TRUE(SendCocEditMap());
    EXPECT_EQ(begins, 2) << "map B is attempted";
    EXPECT_EQ(ecusim::GetBE16(ecusim::AreaBytes(ecu.model, 21).data() + 2 * (9 * 16 + 15)), 2222);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Send CO-Correction Edit Data");
    EXPECT_EQ(popups.Records()[0].text, "Some error occurred...");
    EXPECT_EQ(std::memcmp(&cocEditData, &before, sizeof before), 0);
}
