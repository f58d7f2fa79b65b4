// Kestil's settings file beside the program (this test program has a folder of its own, so the file is
// its alone): its own record, Orvane's longer record of the same name, and a missing file.
#include "kestil/settings.h"
#include "platform/sys/utility.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string SettingsFile() {
    std::array<char, 1024> dir{};
    GetProjectDir(dir);
    return std::string(dir.data()) + "/dervalon.ini";
}

// One test, so that no other case of this program writes the file at the same time.
TEST(KestilSettings, ReadsTheFirst262BytesWithTheFolderTerminated) {
    const std::string file = SettingsFile();

    std::filesystem::remove(file);
    cfg.port = 7;
    std::strcpy(cfg.lastDir, "/old/");
    ReadInitFile();
    EXPECT_EQ(cfg.port, 0) << "no file: the defaults";
    EXPECT_STREQ(cfg.lastDir, "");

    // Orvane's record: the port, then its last mapping file path (260 bytes, here without a NUL).
    std::vector<char> orvane(1064, 'm');
    orvane[0] = static_cast<char>(0xFF);
    orvane[1] = static_cast<char>(0xFF);
    std::ofstream(file, std::ios::binary).write(orvane.data(), static_cast<std::streamsize>(orvane.size()));
    ReadInitFile();
    EXPECT_EQ(cfg.port, -1);
    EXPECT_EQ(std::strlen(cfg.lastDir), 259u) << "the folder ends inside its field";

    std::strcpy(cfg.lastDir, "/firmware/");
    cfg.port = 3;
    WriteInitFile();
    EXPECT_EQ(std::filesystem::file_size(file), 262u) << "Kestil's record replaces the file";
    cfg = {};
    ReadInitFile();
    EXPECT_EQ(cfg.port, 3);
    EXPECT_STREQ(cfg.lastDir, "/firmware/");

    std::ofstream(file, std::ios::binary | std::ios::trunc).write("\x01\x00/x", 4);
    ReadInitFile();
    EXPECT_EQ(cfg.port, 0) << "a short file gives the defaults";
    EXPECT_STREQ(cfg.lastDir, "");
    std::filesystem::remove(file);
}

TEST(KestilSettings, DirectoryOfAPathIsCutToFit) {
    char dir[260];
    GetDirPath("/home/tuner/firmware/new.kbf", dir);
    EXPECT_STREQ(dir, "/home/tuner/firmware/");
    GetDirPath("new.kbf", dir);
    EXPECT_STREQ(dir, "");
    const std::string deep = "/" + std::string(400, 'd') + "/f.kbf";
    GetDirPath(deep.c_str(), dir);
    EXPECT_EQ(std::strlen(dir), 259u);
    char small[8];
    GetDirPath("/home/tuner/f.kbf", small);
    EXPECT_STREQ(small, "/home/t");
}

} // namespace
