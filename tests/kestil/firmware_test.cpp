// Firmware files: the tag check and the copy that the connected boot loader takes.
#include "bootlink.h"
#include "firmwarefiles.h"
#include "kestil/firmware.h"

#include <gtest/gtest.h>

namespace {

struct FirmwareTest : testing::Test {
    void SetUp() override { ResetBootLink(); }
    void TearDown() override { ResetBootLink(); }

    FirmwareDir files;
};

TEST_F(FirmwareTest, EachTagHasItsKind) {
    struct Case {
        const char* tag;
        int kind;
    };
    const Case cases[] = {
        {"DrvlnKap", 3}, {"DvlKap55", 4}, {"DrvlnTmk", 5},         {"DvlTmk55", 6},
        {"DrvlnKaX", 1}, {"drvlnkap", 1}, {"\0\0\0\0\0\0\0\0", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IdentifyPreamble(c.tag), c.kind) << c.tag;
}

TEST_F(FirmwareTest, CheckNeedsTheBootLoaderAndAWholeTag) {
    const std::string good = files.WriteFirmware("good.kbf", "DvlTmk55", 600);
    const std::string foreign = files.Write("foreign.kbf", std::vector<std::uint8_t>(64, 'x'));
    const std::string shortFile = files.Write("short.kbf", std::vector<std::uint8_t>{'D', 'r', 'v'});
    EXPECT_EQ(CheckPreambolo(good.c_str()), KIND_CHECK_FAILED) << "no boot loader: the link is closed";

    ecusim::EcuSim sim;
    AttachBootSim(sim);
    Ping(); // the old form goes unanswered: the check's own ping then uses the new one
    EXPECT_EQ(CheckPreambolo(good.c_str()), KIND_TMK_5534);
    EXPECT_EQ(CheckPreambolo(foreign.c_str()), KIND_NOT_FIRMWARE);
    EXPECT_EQ(CheckPreambolo(shortFile.c_str()), KIND_CHECK_FAILED) << "shorter than the tag";
    EXPECT_EQ(CheckPreambolo(files.Write("gone", {}).append("x").c_str()), KIND_CHECK_FAILED);
}

TEST_F(FirmwareTest, TmkCopyDropsTheBlockAndTakesTheTagOfTheBootLoader) {
    struct Case {
        const char* fileTag;
        std::uint16_t type;
        bool oldLoader;
        const char* sentTag;
    };
    const Case cases[] = {
        {"DrvlnTmk", 0x5600, false, "DrvlnTmk"}, {"DvlTmk55", 0x5534, false, "DvlTmk55"},
        {"DrvlnTmk", 0x5600, true, "DrvlnKap"},  {"DvlTmk55", 0x5600, true, "DrvlnKap"},
        {"DrvlnTmk", 0x5534, true, "DvlKap55"},
    };
    const std::vector<std::uint8_t> image = FirmwareDir::Image(2000);
    for (const Case& c : cases) {
        const std::string path = files.Write("tmk.kbf", ecusim::MakeFirmwareFile(c.fileTag, image));
        fOldBload = c.oldLoader;
        const TempCopy copy = AdjustPreambolo(path.c_str(), c.type);
        ASSERT_TRUE(copy) << c.fileTag;
        std::vector<std::uint8_t> expected(c.sentTag, c.sentTag + 8);
        expected.insert(expected.end(), image.begin(), image.end());
        EXPECT_EQ(ReadFileBytes(copy.path()), expected) << c.fileTag << " to " << std::hex << c.type;
    }
    EXPECT_EQ(files.CopiesLeft(), 0u);
}

TEST_F(FirmwareTest, CopiesThatCannotBeMadeLeaveNothingBehind) {
    const std::string tmk = files.WriteFirmware("tmk.kbf", "DrvlnTmk", 100);
    std::vector<std::uint8_t> cut = ReadFileBytes(tmk);
    cut.resize(555);
    const std::string shortTmk = files.Write("short.kbf", cut);
    EXPECT_FALSE(AdjustPreambolo(shortTmk.c_str(), 0x5600)) << "shorter than tag and block";
    EXPECT_FALSE(AdjustPreambolo(tmk.c_str(), 0x1234)) << "unknown system type";
    EXPECT_FALSE(AdjustPreambolo((tmk + ".missing").c_str(), 0x5600));
    EXPECT_FALSE(CopyFirmware((tmk + ".missing").c_str()));
    EXPECT_EQ(files.CopiesLeft(), 0u);

    cut.resize(556);
    const std::string bare = files.Write("bare.kbf", cut);
    const TempCopy tagOnly = AdjustPreambolo(bare.c_str(), 0x5600);
    ASSERT_TRUE(tagOnly);
    EXPECT_EQ(ReadFileBytes(tagOnly.path()).size(), 8u)
        << "a file of tag and block alone gives the tag alone";
}

TEST_F(FirmwareTest, OpenImageIsCopiedWholeAndTheCopyGoesWithItsOwner) {
    const std::string open = files.WriteFirmware("open.kbf", "DvlKap55", 3000);
    std::string copyPath;
    {
        const TempCopy copy = CopyFirmware(open.c_str());
        ASSERT_TRUE(copy);
        copyPath = copy.path();
        EXPECT_EQ(ReadFileBytes(copyPath), ReadFileBytes(open));
    }
    EXPECT_FALSE(std::filesystem::exists(copyPath));
    EXPECT_TRUE(std::filesystem::exists(open)) << "never the chosen file";
}

} // namespace
