// Clock, paths and files of the run-time.
#include "platform/sys/utility.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

struct SplitCase {
    const char* path;
    const char* dir;
    const char* file;
};

TEST(SysPaths, SplitPathTakesBothSeparators) {
    const SplitCase cases[] = {
        {"/home/u/a.ecd", "/home/u/", "a.ecd"},
        {"C:\\data\\maps\\b.emd", "C:\\data\\maps\\", "b.emd"},
        {"mixed/dir\\c.mtp", "mixed/dir\\", "c.mtp"},
        {"plain.ini", "", "plain.ini"},
        {"/trailing/", "/trailing/", ""},
    };
    for (const SplitCase& c : cases) {
        std::array<char, 64> drive{'x'}, dir{}, file{};
        ASSERT_EQ(SplitPath(c.path, drive, dir, file), 0);
        EXPECT_STREQ(drive.data(), "");
        EXPECT_STREQ(dir.data(), c.dir) << c.path;
        EXPECT_STREQ(file.data(), c.file) << c.path;
    }
    std::array<char, 4> tiny{};
    ASSERT_EQ(SplitPath("/abc/defgh", {}, {}, tiny), 0); // outputs may be skipped, and are cut to fit
    EXPECT_STREQ(tiny.data(), "def");
}

TEST(SysPaths, MakePathnameAddsOneSeparator) {
    std::array<char, 64> out{};
    MakePathname("/opt/orvane", "dervalon.ini", out);
    EXPECT_STREQ(out.data(), "/opt/orvane/dervalon.ini");
    MakePathname("/opt/orvane/", "dervalon.ini", out);
    EXPECT_STREQ(out.data(), "/opt/orvane/dervalon.ini");
    std::array<char, 64> dir{};
    ASSERT_EQ(GetProjectDir(dir), 0);
    EXPECT_EQ(std::filesystem::path(dir.data()),
              std::filesystem::read_symlink("/proc/self/exe").parent_path());
}

class SysFiles : public testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::path(testing::TempDir()) / ("sysfiles" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(SysFiles, ArrayRoundTripAndSizeMismatchLeavesTheBufferAlone) {
    const std::string path = (dir / "rec.bin").string();
    const std::array<std::byte, 4> data{std::byte{1}, std::byte{2}, std::byte{3}, std::byte{4}};
    ASSERT_EQ(ArrayToFile(path.c_str(), data), FILE_OK);
    std::array<std::byte, 4> back{};
    ASSERT_EQ(FileToArray(path.c_str(), back), FILE_OK);
    EXPECT_EQ(back, data);
    std::array<std::byte, 5> bigger{};
    bigger.fill(std::byte{0x55});
    EXPECT_EQ(FileToArray(path.c_str(), bigger), FILE_SIZE_ERROR);
    EXPECT_EQ(bigger[0], std::byte{0x55});
    std::array<std::byte, 3> smaller{};
    EXPECT_EQ(FileToArray(path.c_str(), smaller), FILE_SIZE_ERROR);
    EXPECT_EQ(FileToArray((dir / "none").string().c_str(), back), FILE_OPEN_ERROR);
    // Only the file itself is left: the temporary was renamed over it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(ArrayToFile((dir / "no/such/dir/x").string().c_str(), data), FILE_OPEN_ERROR);
}

TEST_F(SysFiles, HeadOfALongerFileReadsAShortOneIsRefused) {
    const std::string path = (dir / "rec.bin").string();
    const std::array<std::byte, 4> data{std::byte{1}, std::byte{2}, std::byte{3}, std::byte{4}};
    ASSERT_EQ(ArrayToFile(path.c_str(), data), FILE_OK);
    std::array<std::byte, 3> head{};
    ASSERT_EQ(FileHeadToArray(path.c_str(), head), FILE_OK);
    EXPECT_EQ(head[2], std::byte{3});
    std::array<std::byte, 4> exact{};
    EXPECT_EQ(FileHeadToArray(path.c_str(), exact), FILE_OK);
    std::array<std::byte, 5> longer{};
    longer.fill(std::byte{0x55});
    EXPECT_EQ(FileHeadToArray(path.c_str(), longer), FILE_SIZE_ERROR);
    EXPECT_EQ(longer[0], std::byte{0x55});
    EXPECT_EQ(FileHeadToArray((dir / "none").string().c_str(), head), FILE_OPEN_ERROR);
}

TEST_F(SysFiles, ReadLineStripsLineEndsCutsAndEnds) {
    const std::string path = (dir / "t.ini").string();
    std::ofstream(path, std::ios::binary) << "first\r\nsecond line\n\nlast";
    const int f = OpenFile(path.c_str());
    ASSERT_GT(f, 0);
    std::array<char, 8> line{};
    EXPECT_EQ(ReadLine(f, line), 5);
    EXPECT_STREQ(line.data(), "first");
    EXPECT_EQ(ReadLine(f, line), 7); // cut to fit
    EXPECT_STREQ(line.data(), "second ");
    EXPECT_EQ(ReadLine(f, line), 0);
    EXPECT_EQ(ReadLine(f, line), 4);
    EXPECT_EQ(ReadLine(f, line), -2);
    EXPECT_EQ(CloseFile(f), 0);
    EXPECT_EQ(ReadLine(f, line), -1);
    EXPECT_EQ(OpenFile((dir / "none").string().c_str()), -1);
}

TEST(SysClock, TimerIsMonotonic) {
    const double a = Timer();
    const double b = Timer();
    EXPECT_GE(a, 0.0);
    EXPECT_GE(b, a);
}

} // namespace
