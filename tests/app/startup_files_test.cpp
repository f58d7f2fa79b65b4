// Start-up with remembered data files: a good one is loaded and named, one of the wrong size is refused
// without a word and forgotten, so that the next start does not try it again. A program of its own, since
// the program starts once per process.
#include "orvane/core/ecudata.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/settings.h"
#include "orvane/ui/screen.h"
#include "platform/sys/utility.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/userint.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ShownName(std::uint8_t kind) {
    std::array<char, 64> name{};
    GetConfigName(name.data(), name.size(), kind);
    return name.data();
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

    ProgramSettings saved{};
    std::snprintf(saved.parFile, sizeof saved.parFile, "%s", good.c_str());
    std::snprintf(saved.mapFile, sizeof saved.mapFile, "%s", shortFile.c_str());
    saved.point = {20, 50};
    char settings[1100];
    char programDir[1024];
    GetProjectDir(programDir);
    MakePathname(programDir, "dervalon.ini", settings);
    ASSERT_EQ(ArrayToFile(settings, std::as_bytes(std::span(&saved, 1))), FILE_OK);

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

    ProgramSettings written{};
    ASSERT_EQ(FileToArray(settings, std::as_writable_bytes(std::span(&written, 1))), FILE_OK);
    EXPECT_STREQ(written.mapFile, "") << "forgotten in the settings file too";
    std::remove(settings);
    fs::remove_all(dir);
}
