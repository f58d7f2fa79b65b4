#include "appfixture.h"
#include "bytes.h"
#include "orvane/core/ui/datafile.h"
#include "orvane/core/ui/ecudata.h"
#include "platform/sys/utility.h"
#include "soundimage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<char>;

template <class Data> Bytes CopyOfBytes(const Data& d) {
    const char* p = reinterpret_cast<const char*>(&d);
    return {p, p + sizeof d};
}

struct DataFileTest : AppFixture {
    fs::path dir;
    std::array<char, 260> savedPar{};
    std::array<char, 260> savedMap{};

    void SetUp() override {
        AppFixture::SetUp();
        char tmpl[] = "/tmp/orvane-datafile-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::memcpy(savedPar.data(), cfg.parFile, sizeof cfg.parFile);
        std::memcpy(savedMap.data(), cfg.mapFile, sizeof cfg.mapFile);
        cfg.parFile[0] = '\0';
        cfg.mapFile[0] = '\0';
    }
    void TearDown() override {
        fs::remove_all(dir);
        std::memcpy(cfg.parFile, savedPar.data(), sizeof cfg.parFile);
        std::memcpy(cfg.mapFile, savedMap.data(), sizeof cfg.mapFile);
        WriteInitFile();
    }

    std::string PathOf(const char* name) const { return (dir / name).string(); }
    static void Remember(char (&field)[260], const std::string& path) {
        std::snprintf(field, sizeof field, "%s", path.c_str());
    }
};

TEST_F(DataFileTest, StoreThenLoadGivesTheSameBytesAndNoUnsavedChanges) {
    FillSound(ecuMapData, 1);
    std::memset(&ecuMapData.header, 'q', sizeof ecuMapData.header); // Store writes this program's header
    ASSERT_TRUE(IsEcuDataChanged(2));
    ASSERT_TRUE(StoreEcu(PathOf("ride.txt").c_str(), 2));
    const std::string stored = PathOf("ride.emd");
    EXPECT_EQ(CheckDataHeader(ecuMapData.header), 0);
    EXPECT_EQ(ReadFileBytes<char>(stored), CopyOfBytes(ecuMapData));
    EXPECT_FALSE(IsEcuDataChanged(2));
    EXPECT_STREQ(cfg.mapFile, stored.c_str());
    EXPECT_EQ(ShownName(2), "ride");

    const auto storedImage = std::make_unique<EcuMapData>(ecuMapData);
    ecuMapData.map3.cells[0][0] = 999;
    ShowConfigName("", 2);
    ASSERT_TRUE(LoadEcu(0, 2));
    EXPECT_EQ(std::memcmp(&ecuMapData, storedImage.get(), sizeof ecuMapData), 0);
    EXPECT_FALSE(IsEcuDataChanged(2));
    EXPECT_EQ(ShownName(2), "ride");
    EXPECT_TRUE(DiscardNewEcuData());
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
}

// How many popups a load shows before its own: the file dialog of a chosen file.
std::size_t DialogsBefore(std::uint8_t mode) {
    return mode == kLoadChosen ? 1 : 0;
}

// A file of another version: the loads that speak ask, Yes loads it under this version's header, No
// forgets it; start-up's silent load leaves it unloaded and remembered, without a word.
TEST_F(DataFileTest, OtherVersionAsksBeforeLoading) {
    EcuParData file;
    FillSound(file, 2);
    file.header.subVersion = 12;
    const std::string path = PathOf("old.ecd");
    WriteFileBytes(path, CopyOfBytes(file));

    struct Case {
        std::uint8_t mode;
        bool yes;
    };
    for (const Case c : {Case{kLoadChosen, false}, Case{kLoadChosen, true}, Case{kLoadRemembered, false},
                         Case{kLoadRemembered, true}, Case{kLoadSilently, false}}) {
        SCOPED_TRACE(testing::Message() << "mode " << int{c.mode} << ", yes " << c.yes);
        FillSound(ecuParData, 7);
        const EcuParData before = ecuParData;
        Remember(cfg.parFile, path);
        ShowConfigName("before", 1);
        ScriptedPopups script;
        if (c.mode == kLoadChosen) script.AnswerFile(path);
        if (c.mode != kLoadSilently) script.AnswerConfirm(c.yes);
        EXPECT_EQ(LoadEcu(c.mode, 1), c.mode != kLoadSilently);
        ASSERT_TRUE(script.AllExpected()) << script.Report();
        if (c.mode != kLoadSilently) {
            ASSERT_EQ(script.Records().size(), DialogsBefore(c.mode) + 1);
            EXPECT_EQ(script.Records().back().title, "Load ECU configuration data");
            EXPECT_EQ(script.Records().back().text, "Data stored by Orvane v1.12a\n\nLoad anyway?");
        } else {
            EXPECT_TRUE(script.Records().empty()) << script.Report();
        }
        if (c.yes) {
            EXPECT_EQ(CheckDataHeader(ecuParData.header), 0); // stored again, it carries this version
            EXPECT_EQ(std::memcmp(ecuParData.notes, file.notes, sizeof file.notes), 0);
            EXPECT_STREQ(cfg.parFile, path.c_str());
            EXPECT_EQ(ShownName(1), "old");
            EXPECT_FALSE(IsEcuDataChanged(1));
        } else {
            EXPECT_EQ(std::memcmp(&ecuParData, &before, sizeof before), 0);
            const bool kept = c.mode == kLoadSilently; // waiting for the user's word
            EXPECT_STREQ(cfg.parFile, kept ? path.c_str() : "");
            EXPECT_EQ(ShownName(1), kept ? "before" : "");
        }
    }
}

// Enter at a question whose Yes would overwrite (the data in memory with another version's, or a file with
// this one) answers No: what is there stays.
TEST_F(DataFileTest, EnterAtTheFileQuestionsKeepsWhatIsThere) {
    EcuParData old;
    FillSound(old, 2);
    old.header.subVersion = 12;
    const std::string oldFile = PathOf("old.ecd");
    const std::string target = PathOf("setup.ecd");
    const Bytes other(sizeof ecuParData, 'o');
    struct Case {
        const char* what;
        std::function<void(ScriptedPopups&)> ask;
        std::function<void()> check;
    };
    FillSound(ecuParData, 7);
    const EcuParData before = ecuParData;
    const Case cases[] = {
        {"load of another version",
         [&](ScriptedPopups& script) {
             WriteFileBytes(oldFile, CopyOfBytes(old));
             script.AnswerFile(oldFile).PressEnter();
             EXPECT_TRUE(LoadEcu(1, 1));
         },
         [&] { EXPECT_EQ(std::memcmp(&ecuParData, &before, sizeof before), 0); }},
        {"store over another file",
         [&](ScriptedPopups& script) {
             WriteFileBytes(target, other);
             script.AnswerFile(PathOf("setup.bak"), VAL_NEW_FILE_SELECTED).PressEnter();
             EXPECT_TRUE(StoreEcu(nullptr, 1));
         },
         [&] { EXPECT_EQ(ReadFileBytes<char>(target), other); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPopups script;
        c.ask(script);
        ASSERT_TRUE(script.AllExpected()) << script.Report();
        ASSERT_EQ(script.Records().size(), 2u);
        EXPECT_EQ(script.Records()[1].enter, ConfirmDefault::No);
        c.check();
    }
}

TEST_F(DataFileTest, HeaderCases) {
    struct Case {
        const char* what;
        std::size_t at;
        std::uint8_t value;
        std::uint8_t mode;
        bool loads;
        bool refused; // with the message, and forgotten
    };
    const Case cases[] = {
        {"only the suffix", 32, 'b', kLoadSilently, true, false},
        {"another application, chosen", 0, 'K', kLoadChosen, false, true},
        {"another application, remembered", 0, 'K', kLoadRemembered, false, true},
        {"another application at start-up", 0, 'K', kLoadSilently, false, false}, // left for the user's word
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = std::make_unique<EcuMapData>();
        FillSound(*file, 3);
        reinterpret_cast<std::uint8_t*>(&file->header)[c.at] = c.value;
        const std::string path = PathOf("x.emd");
        WriteFileBytes(path, CopyOfBytes(*file));
        FillSound(ecuMapData, 4);
        const auto before = std::make_unique<EcuMapData>(ecuMapData);
        Remember(cfg.mapFile, path);
        ScriptedPopups script;
        if (c.mode == kLoadChosen) script.AnswerFile(path);
        if (c.refused) script.ExpectMessage();
        EXPECT_EQ(LoadEcu(c.mode, 2), c.loads || c.refused);
        ASSERT_TRUE(script.AllExpected()) << script.Report();
        EXPECT_EQ(script.Records().size(), DialogsBefore(c.mode) + (c.refused ? 1 : 0)) << script.Report();
        if (c.refused) {
            EXPECT_EQ(script.Records().back().title, "Load ECU mapping data");
            EXPECT_EQ(script.Records().back().text, "Invalid data!\nData stored by another application.");
        }
        if (c.loads)
            EXPECT_EQ(std::memcmp(&ecuMapData, file.get(), sizeof ecuMapData), 0); // its own header kept
        else
            EXPECT_EQ(std::memcmp(&ecuMapData, before.get(), sizeof ecuMapData), 0);
        EXPECT_STREQ(cfg.mapFile, c.refused ? "" : path.c_str());
    }
}

// A file of another size than the image is refused, and the image stays as it was, even after a good file
// of the same kind went through the file buffer. One whose header says it is ours was cut short or runs on,
// and the message says so; any other is another application's. Name and path are forgotten together
// either way, so that start-up does not refuse it again at every start; only a load the user asked for
// says why.
TEST_F(DataFileTest, WrongSizeIsRefusedAndForgotten) {
    EcuParData good;
    FillSound(good, 5);
    const std::string goodPath = PathOf("good.ecd");
    WriteFileBytes(goodPath, CopyOfBytes(good));
    Remember(cfg.parFile, goodPath);
    ASSERT_TRUE(LoadEcu(0, 1));

    Bytes ours = CopyOfBytes(good);
    ours[100] ^= 0x55; // another file, so that stale bytes of the good one would show
    Bytes foreign = ours;
    foreign[0] = 'K'; // another application's name in the header
    const std::string wrongSize = "Invalid data!\nFile truncated or of the wrong size.";
    const std::string anotherApp = "Invalid data!\nData stored by another application.";
    struct Case {
        const char* what;
        const Bytes& bytes;
        std::size_t size;
        const std::string& message;
    };
    const Case kCases[] = {
        {"ours, one byte short", ours, sizeof good - 1, wrongSize},
        {"ours, one byte more", ours, sizeof good + 1, wrongSize},
        {"ours, its header alone", ours, sizeof good.header, wrongSize},
        {"ours, cut inside its header", ours, sizeof good.header - 1, anotherApp},
        {"empty", ours, 0, anotherApp},
        {"another application's, one byte short", foreign, sizeof good - 1, anotherApp},
    };
    for (const std::uint8_t interactive : {0, 1}) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(testing::Message() << c.what << ", interactive " << int{interactive});
            Bytes bytes = c.bytes;
            bytes.resize(c.size);
            const std::string path = PathOf("bad.ecd");
            WriteFileBytes(path, bytes);
            Remember(cfg.parFile, path);
            ShowConfigName("shown", 1);
            ScriptedPopups script;
            if (interactive != 0) script.AnswerFile(path).ExpectMessage();
            EXPECT_EQ(LoadEcu(interactive, 1), interactive != 0);
            ASSERT_TRUE(script.AllExpected()) << script.Report();
            if (interactive != 0) {
                ASSERT_EQ(script.Records().size(), 2u) << script.Report();
                EXPECT_EQ(script.Records()[1].title, "Load ECU configuration data");
                EXPECT_EQ(script.Records()[1].text, c.message);
            }
            EXPECT_EQ(std::memcmp(&ecuParData, &good, sizeof good), 0);
            EXPECT_EQ(ShownName(1), "");
            EXPECT_STREQ(cfg.parFile, "");
        }
    }
}

TEST_F(DataFileTest, MissingFileForgetsItsPathSilently) {
    Remember(cfg.parFile, PathOf("gone.ecd"));
    ShowConfigName("shown", 1);
    EXPECT_FALSE(LoadEcu(0, 1));
    EXPECT_STREQ(cfg.parFile, "");
    EXPECT_EQ(ShownName(1), "");
    EXPECT_FALSE(LoadEcu(0, 1)); // nothing remembered: nothing to load
    EXPECT_FALSE(LoadEcu(0, 3));
    EXPECT_FALSE(StoreEcu(PathOf("a").c_str(), 3));
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
}

TEST_F(DataFileTest, FileDialogs) {
    // Load: the remembered path with the kind's extension is proposed; cancelling changes nothing.
    Remember(cfg.mapFile, PathOf("maps.bak"));
    popups.CancelFile();
    EXPECT_TRUE(LoadEcu(1, 2));
    // Store: the shown name with the extension is proposed; an extension of more than 4 characters stays
    // and gets the kind's appended.
    ShowConfigName("Circuit", 1);
    popups.AnswerFile(PathOf("setup.abcdef"), VAL_NEW_FILE_SELECTED);
    EXPECT_TRUE(StoreEcu(nullptr, 1));
    // Store with nothing shown proposes the pattern; cancelling stores nothing.
    ShowConfigName("", 2);
    popups.CancelFile();
    EXPECT_TRUE(StoreEcu("", 2));
    ASSERT_TRUE(popups.AllExpected()) << popups.Report();
    ASSERT_EQ(popups.Records().size(), 3u);
    EXPECT_EQ(popups.Records()[0].title, "Load ECU mapping data");
    EXPECT_EQ(popups.Records()[0].text, PathOf("maps.emd"));
    EXPECT_EQ(popups.Records()[1].title, "Store ECU configuration data");
    EXPECT_EQ(popups.Records()[1].text, "Circuit.ecd");
    EXPECT_EQ(popups.Records()[2].text, "*.emd");
    EXPECT_TRUE(fs::exists(PathOf("setup.abcdef.ecd")));
    EXPECT_STREQ(cfg.parFile, PathOf("setup.abcdef.ecd").c_str());
    EXPECT_EQ(ShownName(1), "setup.abcdef");
    EXPECT_FALSE(fs::exists(PathOf("maps.emd")));
}

TEST_F(DataFileTest, StoreFailureKeepsPathAndReference) {
    Remember(cfg.parFile, PathOf("kept.ecd"));
    ecuParData.notes[0] = 'n';
    EXPECT_FALSE(StoreEcu(PathOf("no/such/dir/x.ecd").c_str(), 1));
    EXPECT_STREQ(cfg.parFile, PathOf("kept.ecd").c_str());
    EXPECT_TRUE(IsEcuDataChanged(1));
}

} // namespace

namespace {

// What Store's file dialog was asked with, answered by cancelling.
PopupRequest StoreDialogRequest(std::uint16_t kind) {
    PopupRequest seen;
    const PopupHook previous = SetPopupHook([&seen](const PopupRequest& r) {
        seen = r;
        return PopupAnswer{VAL_NO_FILE_SELECTED, {}};
    });
    EXPECT_TRUE(StoreEcu(nullptr, kind));
    SetPopupHook(previous);
    return seen;
}

TEST_F(DataFileTest, StoreDialogStartsBesideTheRememberedFileElseInTheProgramFolder) {
    char programDir[1024];
    GetProjectDir(programDir);
    PopupRequest r = StoreDialogRequest(2);
    EXPECT_EQ(r.directory, programDir);
    EXPECT_EQ(r.defaultSuffix, "emd") << "the dialog itself adds the extension before its overwrite question";
    Remember(cfg.mapFile, PathOf("old.emd"));
    r = StoreDialogRequest(2);
    EXPECT_EQ(r.directory, dir.string() + "/");
}

// Where setting the extension names another file than the one the dialog returned, and that file exists,
// the user is asked before it is replaced; its permissions survive the replacement.
TEST_F(DataFileTest, StoringOverAnotherFileAsksAndKeepsItsPermissions) {
    const std::string target = PathOf("setup.ecd");
    const Bytes old(sizeof ecuParData, 'o');
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace);
        WriteFileBytes(target, old);
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
        ScriptedPopups script;
        script.AnswerFile(PathOf("setup.bak"), VAL_NEW_FILE_SELECTED).AnswerConfirm(replace);
        EXPECT_TRUE(StoreEcu(nullptr, 1));
        ASSERT_TRUE(script.AllExpected()) << script.Report();
        EXPECT_EQ(script.Records()[1].text, target + " already exists.\nDo you want to replace it?");
        EXPECT_EQ(ReadFileBytes<char>(target) == old, !replace);
        EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
    // The name the dialog asked about is the name written: no second question.
    ScriptedPopups script;
    script.AnswerFile(target, VAL_EXISTING_FILE_SELECTED);
    EXPECT_TRUE(StoreEcu(nullptr, 1));
    EXPECT_TRUE(script.AllExpected()) << script.Report();
}

} // namespace
