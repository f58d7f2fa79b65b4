// Start-up with remembered data files. A good one is loaded and named; one of the wrong size is refused
// without a word and forgotten, so that the next start does not try it again. One stored by another
// version or another application needs the user's word: start-up loads neither, forgets neither and asks
// nothing; once the main window shows, each is asked about as the Load button asks. A program of its own,
// since the program starts once per process: the first test starts it in the test's process, the second
// runs each of its start-ups in a process of its own, the simulator's data sets standing in for the
// tuner's files.
#include "ecusim/model.h"
#include "orvane/core/logic/byteorder.h"
#include "orvane/core/logic/dataheader.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/settings.h"
#include "orvane/ui/screen.h"
#include "platform/sys/utility.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ShownName(std::uint8_t kind) {
    std::array<char, 64> name{};
    GetConfigName(name.data(), name.size(), kind);
    return name.data();
}

// The settings file beside the program, remembering a configuration and a mapping file; its path.
std::string RememberInSettings(const std::string& parFile, const std::string& mapFile) {
    ProgramSettings saved{};
    std::snprintf(saved.parFile, sizeof saved.parFile, "%s", parFile.c_str());
    std::snprintf(saved.mapFile, sizeof saved.mapFile, "%s", mapFile.c_str());
    saved.point = {20, 50};
    char settings[1100];
    char programDir[1024];
    GetProjectDir(programDir);
    MakePathname(programDir, "dervalon.ini", settings);
    EXPECT_EQ(ArrayToFile(settings, std::as_bytes(std::span(&saved, 1))), FILE_OK);
    return settings;
}

// What the settings file holds now.
ProgramSettings SavedSettings(const std::string& settings) {
    ProgramSettings now{};
    EXPECT_EQ(FileToArray(settings.c_str(), std::as_writable_bytes(std::span(&now, 1))), FILE_OK);
    return now;
}

enum class Stored { Here, OtherVersion, OtherApplication };

struct Startup {
    const char* what;
    Stored configuration, mapping;
    bool yes; // the answer to "Load anyway?"
};

void Stamp(DataHeader& header, Stored stored) {
    MakeDataHeader(header);
    if (stored == Stored::OtherVersion) header.subVersion = static_cast<std::uint8_t>(header.subVersion - 1);
    if (stored == Stored::OtherApplication) header.name[0] = 'K';
}

// The data after the header, where a file and the image it was loaded into agree.
template <class Data> bool SameData(const Data& a, const Data& b) {
    constexpr std::size_t from = sizeof(DataHeader);
    return std::memcmp(reinterpret_cast<const char*>(&a) + from, reinterpret_cast<const char*>(&b) + from,
                       sizeof(Data) - from) == 0;
}

// One remembered file as the test wrote it.
struct Remembered {
    std::uint8_t kind;
    Stored stored;
    std::string path;
    const char* name; // shown once loaded
};

// What start-up and the window's questions leave of one remembered file: loaded with this version's
// header as the reference, or forgotten on the user's word; savedPath is the settings file's.
template <class Data>
void ExpectOutcome(const Remembered& f, bool yes, const Data& file, const Data& image,
                   const char* savedPath) {
    SCOPED_TRACE(f.name);
    const bool loaded = f.stored == Stored::Here || (f.stored == Stored::OtherVersion && yes);
    EXPECT_EQ(SameData(image, file), loaded);
    if (loaded) {
        EXPECT_EQ(CheckDataHeader(image.header), 0) << "this version's header";
        EXPECT_FALSE(IsEcuDataChanged(f.kind)) << "the file is the reference";
    }
    const RememberedFile which = f.kind == 1 ? RememberedFile::Configuration : RememberedFile::Mapping;
    EXPECT_STREQ(RememberedPath(which), loaded ? f.path.c_str() : "") << "forgotten only on the user's word";
    EXPECT_STREQ(savedPath, loaded ? f.path.c_str() : "");
    EXPECT_EQ(ShownName(f.kind), loaded ? f.name : "");
}

void RunStartup(const Startup& s) {
    char tmpl[] = "/tmp/orvane-asked-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path dir = tmpl;
    const Remembered parFile{1, s.configuration, (dir / "circuit.ecd").string(), "circuit"};
    const Remembered mapFile{2, s.mapping, (dir / "ride.emd").string(), "ride"};
    const std::string& parPath = parFile.path;
    const std::string& mapPath = mapFile.path;

    const ecusim::EcuModel sim = ecusim::MakeEcuModel("");
    auto par = std::make_unique<EcuParImage>();
    auto map = std::make_unique<EcuMapImage>();
    std::memcpy(par.get(), sim.StoreBytes(ecusim::Store::Par).data(), sizeof *par);
    std::memcpy(map.get(), sim.StoreBytes(ecusim::Store::Slot1).data(), sizeof *map);
    ConvertParImage(*par);
    ConvertMapImage(*map);
    Stamp(par->data.header, s.configuration);
    Stamp(map->data.header, s.mapping);
    ASSERT_EQ(ArrayToFile(parPath.c_str(), std::as_bytes(std::span(&par->data, 1))), FILE_OK);
    ASSERT_EQ(ArrayToFile(mapPath.c_str(), std::as_bytes(std::span(&map->data, 1))), FILE_OK);

    const std::string settings = RememberInSettings(parPath, mapPath);

    ScriptedPopups popups;
    for (const Stored stored : {s.configuration, s.mapping}) {
        if (stored == Stored::OtherVersion) popups.AnswerConfirm(s.yes);
        if (stored == Stored::OtherApplication) popups.ExpectMessage();
    }
    std::vector<bool> windowShown; // at each popup
    PopupHook answer;
    answer = SetPopupHook([&](const PopupRequest& r) {
        windowShown.push_back(uitest::IsPanelVisible(hMainPanel));
        return answer(r);
    });

    RegisterScreenCallbacks();
    RegisterResource("screen.uir", kScreenUir);
    ASSERT_TRUE(StartOrvane());
    EXPECT_TRUE(popups.Records().empty()) << "nothing asked before the main window\n" << popups.Report();
    EXPECT_STREQ(cfg.parFile, parPath.c_str());
    EXPECT_STREQ(cfg.mapFile, mapPath.c_str());
    EXPECT_STREQ(SavedSettings(settings).parFile, parPath.c_str());
    EXPECT_STREQ(SavedSettings(settings).mapFile, mapPath.c_str());

    ShowOrvane();
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    EXPECT_EQ(windowShown, std::vector<bool>(popups.Records().size(), true)) << "asked over the main window";
    std::size_t next = 0;
    for (const auto& [stored, title] : {std::pair{s.configuration, "Load ECU configuration data"},
                                        std::pair{s.mapping, "Load ECU mapping data"}}) {
        if (stored == Stored::Here || next >= popups.Records().size()) continue;
        const ScriptedPopups::Record& r = popups.Records()[next++];
        EXPECT_EQ(r.title, title);
        EXPECT_EQ(r.text, stored == Stored::OtherVersion
                              ? "Data stored by Orvane v1.12a\n\nLoad anyway?"
                              : "Invalid data!\nData stored by another application.");
    }
    ExpectOutcome(parFile, s.yes, par->data, ecuParData, SavedSettings(settings).parFile);
    ExpectOutcome(mapFile, s.yes, map->data, ecuMapData, SavedSettings(settings).mapFile);
    GatherAllPanels();
    EXPECT_FALSE(IsEcuDataChanged(1) || IsEcuDataChanged(2)) << "the pages show what was loaded";

    SetPopupHook(answer);
    std::remove(settings.c_str());
    fs::remove_all(dir);
}

// The start-up in the process the death test made for it: its failures go to stderr, which the test
// shows, and the exit code tells whether there were any.
[[noreturn]] void RunStartupAndExit(const Startup& s) {
    testing::TestPartResultArray failures;
    {
        const testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
        RunStartup(s);
    }
    for (int i = 0; i < failures.size(); ++i) {
        const testing::TestPartResult& r = failures.GetTestPartResult(i);
        std::fprintf(stderr, "%s:%d: %s\n", r.file_name() ? r.file_name() : "?", r.line_number(),
                     r.message());
    }
    std::fflush(nullptr);
    _exit(failures.size() == 0 ? 0 : 1);
}

} // namespace

TEST(StartupFiles, GoodFileLoadedAndNamedRefusedOneForgottenSilently) {
    char tmpl[] = "/tmp/orvane-startup-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path dir = tmpl;
    const std::string good = (dir / "circuit.ecd").string();
    const std::string shortFile = (dir / "short.emd").string();

    auto file = std::make_unique<EcuParData>();
    std::memset(file.get(), 0, sizeof *file);
    MakeDataHeader(file->header);
    file->notes[0] = 'k';
    ASSERT_EQ(ArrayToFile(good.c_str(), std::as_bytes(std::span(file.get(), 1))), FILE_OK);
    std::ofstream(shortFile, std::ios::binary) << "not an image";

    const std::string settings = RememberInSettings(good, shortFile);

    ScriptedPopups popups;
    RegisterScreenCallbacks();
    RegisterResource("screen.uir", kScreenUir);
    ASSERT_TRUE(StartOrvane());
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
    EXPECT_EQ(ShownName(1), "circuit");
    EXPECT_EQ(ecuParData.notes[0], 'k');
    EXPECT_FALSE(IsEcuDataChanged(1));
    EXPECT_EQ(ShownName(2), "");
    EXPECT_STREQ(cfg.parFile, good.c_str());
    EXPECT_STREQ(cfg.mapFile, "") << "the refused file is not tried again";

    EXPECT_STREQ(SavedSettings(settings).mapFile, "") << "forgotten in the settings file too";
    std::remove(settings.c_str());
    fs::remove_all(dir);
}

TEST(StartupFiles, RememberedFilesOfAnotherVersionOrApplicationAreAskedAboutOverTheMainWindow) {
    const Startup startups[] = {
        {"a configuration of another version taken, a mapping of another application refused",
         Stored::OtherVersion, Stored::OtherApplication, true},
        {"a mapping of another version declined beside a configuration of this version", Stored::Here,
         Stored::OtherVersion, false},
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // each start-up in a fresh process
    for (const Startup& s : startups)
        EXPECT_EXIT(RunStartupAndExit(s), testing::ExitedWithCode(0), "") << s.what;
}
