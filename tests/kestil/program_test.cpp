// The programming run from the button to the boot loader's new application, and the runs that must
// end without touching the flash, or with the failure shown and nothing left behind.
#include "bytes.h"
#include "kestil/program.h"
#include "kestilfixture.h"
#include "platform/ui/uitest.h"

#include <fcntl.h>

namespace {

struct ProgramTest : KestilFixture {
    // Connects to sim, presses the button, chooses path; the run's result.
    int Program(const std::string& path) {
        link = ConnectBootSim(sim);
        if (link == nullptr) return -2;
        fBloadKnown = true; // as the timer leaves it once the boot loader is identified
        popups.AnswerFile(path);
        uitest::Click(hMainPanel, KESTIL::CBprogram);
        const int result = lastResult;
        MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_NONE, nullptr, 0, 0); // shows the result
        return result;
    }
    // Requests of the write command: block number and data bytes.
    std::vector<std::pair<int, std::size_t>> Blocks() const {
        std::vector<std::pair<int, std::size_t>> blocks;
        for (const Bytes& r : link->requests)
            if (r.size() >= 6 && r[2] == 6) blocks.emplace_back(GetBE16(r, 4), r.size() - 6);
        return blocks;
    }
    // The areas of the erase requests, in order.
    std::vector<int> ErasedAreas() const {
        std::vector<int> areas;
        for (const Bytes& r : link->requests)
            if (r[2] == 5) areas.push_back(r[4]);
        return areas;
    }
    bool EndFrameSent() const {
        return std::ranges::any_of(link->requests, [](const Bytes& r) { return r[2] == 6 && r.size() == 6; });
    }
    int Erases() const {
        return static_cast<int>(
            std::ranges::count_if(link->requests, [](const Bytes& r) { return r[2] == 5; }));
    }

    ecusim::EcuSim sim;
    SimLink* link = nullptr;
    FirmwareDir files;
};

TEST_F(ProgramTest, WholeRunInstallsTheImageTheBootLoaderTakes) {
    struct Case {
        std::uint16_t type;
        bool oldPing;
        const char* fileTag;
        const char* sentTag;
        int erases;
    };
    const Case cases[] = {
        {0x5600, false, "DrvlnTmk", "DrvlnTmk", 7},
        {0x5534, false, "DvlTmk55", "DvlTmk55", 1},
        {0x5600, true, "DvlTmk55", "DrvlnKap", 7},
        {0x5534, true, "DvlKap55", "DvlKap55", 1},
    };
    const std::vector<std::uint8_t> image = FirmwareDir::Image(3000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileTag);
        ResetState();
        sim.boot = {};
        sim.boot.sysType = c.type;
        sim.boot.oldPing = c.oldPing;
        const std::string path = files.Write("image.kbf", ecusim::MakeFirmwareFile(c.fileTag, image));
        ASSERT_EQ(Program(path), RESULT_DONE);
        EXPECT_EQ(Text(KESTIL::TMstatus), "Done!");
        EXPECT_EQ(Erases(), c.erases);
        std::vector<std::uint8_t> sent(c.sentTag, c.sentTag + 8);
        sent.insert(sent.end(), image.begin(), image.end());
        EXPECT_EQ(sim.boot.programmed, sent) << "the temporary copy: the tag, then the image";
        EXPECT_DOUBLE_EQ(Progress(), static_cast<double>(sent.size()) / 1024.0);
        EXPECT_EQ(files.CopiesLeft(), 0u);
        EXPECT_FALSE(Dimmed(KESTIL::CBprogram));
        EXPECT_STREQ(cfg.lastDir, (std::filesystem::path(path).parent_path().string() + "/").c_str());

        Tick(); // the application information is read again after the run
        EXPECT_EQ(Text(KESTIL::TBOXfirmware), "TEST APP v3.7rc\n(bench - build 42)");
    }
}

// A "Tmk" file whose image carries no application header (its block of 548 zero bytes, then data) is
// programmed as any other, and leaves the ECU as it was: the boot loader reports the application it ran
// before, and the text box shows that again after the run.
TEST_F(ProgramTest, AnImageWithoutTheHeaderLeavesTheApplicationInstalled) {
    std::vector<std::uint8_t> headerless(8 + 548, 0);
    std::ranges::copy(std::string_view("DrvlnTmk"), headerless.begin());
    headerless.insert(headerless.end(), 3000, 0x5A);
    const std::string plain = files.Write("plain.kbf", headerless);
    struct Case {
        const char* what;
        bool testAppFirst; // the test application programmed before
        const char* shown;
    };
    const Case cases[] = {
        {"the application the ECU came with", false, "T484 v1.13\n(ecusim - factory image)"},
        {"an application programmed before", true, "TEST APP v3.7rc\n(bench - build 42)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetState();
        sim.boot = {};
        if (c.testAppFirst) {
            ASSERT_EQ(Program(files.WriteFirmware("app.kbf", "DrvlnTmk", 3000)), RESULT_DONE);
        }
        ASSERT_EQ(Program(plain), RESULT_DONE);
        EXPECT_EQ(Text(KESTIL::TMstatus), "Done!");
        Tick(); // the application information is read again after the run
        EXPECT_EQ(Text(KESTIL::TBOXfirmware), c.shown);
    }
}

// Refused before anything is erased, and the window no longer shows the size of the run before.
TEST_F(ProgramTest, FilesThatCannotBeWholeAreRefusedBeforeAnythingIsErased) {
    std::vector<std::uint8_t> tmk = ecusim::MakeFirmwareFile("DrvlnTmk", FirmwareDir::Image(500));
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        int result;
        const char* status;
    };
    const Case cases[] = {
        {"no known tag", std::vector<std::uint8_t>(600, 'x'), RESULT_INVALID_FILE,
         "Invalid firmware file..."},
        {"open image to a new boot loader", ecusim::MakeFirmwareFile("DrvlnKap", FirmwareDir::Image(500)),
         RESULT_INVALID_FILE, "Invalid firmware file..."},
        {"tag and block without image",
         {tmk.begin(), tmk.begin() + 556},
         RESULT_INVALID_FILE,
         "Invalid firmware file..."},
        {"shorter than tag and block",
         {tmk.begin(), tmk.begin() + 555},
         RESULT_ERROR,
         "Programming error..."},
        {"shorter than the tag", {tmk.begin(), tmk.begin() + 5}, RESULT_ERROR, "Programming error..."},
    };
    const std::string good = files.Write("good.kbf", tmk);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetState();
        sim.boot = {};
        ASSERT_EQ(Program(good), RESULT_DONE); // the window shows this run's size
        ASSERT_GT(Progress(), 0.0);
        sim.boot = {};
        EXPECT_EQ(Program(files.Write("bad.kbf", c.bytes)), c.result);
        EXPECT_EQ(Text(KESTIL::TMstatus), c.status);
        EXPECT_EQ(Progress(), 0.0) << "the size of the run before is still shown";
        EXPECT_EQ(Erases(), 0);
        EXPECT_TRUE(sim.boot.app) << "the installed application is untouched";
        EXPECT_EQ(files.CopiesLeft(), 0u);
    }
}

TEST_F(ProgramTest, CopyTooLargeForTheBlockNumbersIsRefusedBeforeTheErase) {
    // Tag and image one byte more than 65535 blocks hold: the end frame's number would not fit.
    const std::string path = files.WriteFirmware("huge.kbf", "DrvlnTmk", 1000);
    std::filesystem::resize_file(path, 556 + 65535 * kBlockData + 1 - 8);
    EXPECT_EQ(Program(path), RESULT_INVALID_FILE);
    EXPECT_EQ(Erases(), 0);
    EXPECT_EQ(files.CopiesLeft(), 0u);
}

TEST_F(ProgramTest, LinkLostMidRunEndsWithTheFailureAndNoCopyLeft) {
    const std::string path = files.WriteFirmware("image.kbf", "DrvlnTmk", 5000);
    link = ConnectBootSim(sim);
    ASSERT_NE(link, nullptr);
    link->writesLeft = 2 + 7 + 5; // ping and system type, the erases, five blocks
    popups.AnswerFile(path);
    uitest::Click(hMainPanel, KESTIL::CBprogram);
    EXPECT_EQ(lastResult, RESULT_ERROR);
    MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_NONE, nullptr, 0, 0);
    EXPECT_EQ(Text(KESTIL::TMstatus), "Programming error...");
    EXPECT_EQ(Progress(), 0.0) << "a failed run leaves the progress at 0";
    EXPECT_EQ(Label(KESTIL::NUMprogress), "");
    EXPECT_EQ(files.CopiesLeft(), 0u);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(fProgramming);
}

TEST_F(ProgramTest, ImageOfWholeBlocksEndsWithTheNextNumberAlone) {
    // 8 tag bytes and 4 * 253 - 8 image bytes: four full blocks.
    const std::string path = files.WriteFirmware("whole.kbf", "DrvlnTmk", 4 * kBlockData - 8);
    ASSERT_EQ(Program(path), RESULT_DONE);
    const std::vector<std::pair<int, std::size_t>> expected = {
        {0, 253}, {1, 253}, {2, 253}, {3, 253}, {4, 0}};
    EXPECT_EQ(Blocks(), expected);
}

TEST_F(ProgramTest, ProgressAndSpinnerDuringTheRun) {
    const std::string path = files.WriteFirmware("image.kbf", "DrvlnTmk", 40000);
    struct Seen {
        double progress;
        std::string label;
        std::string status;
        bool dimmed;
    };
    std::vector<Seen> seen;
    link = ConnectBootSim(sim);
    ASSERT_NE(link, nullptr);
    ASSERT_TRUE(ShowBloadInfo() && ShowFirmwareInfo()); // what the window shows when the run starts
    link->tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 6) {
            seen.push_back({Progress(), Label(KESTIL::NUMprogress), Text(KESTIL::TMstatus),
                            Dimmed(KESTIL::CBprogram) && Dimmed(KESTIL::CBexit) && Dimmed(KESTIL::RINGport)});
            if (seen.size() == 60) uitest::GrabPanelToPng(hMainPanel, KESTIL_SHOT_PATH);
        }
        return reply;
    };
    popups.AnswerFile(path);
    uitest::Click(hMainPanel, KESTIL::CBprogram);
    ASSERT_EQ(lastResult, RESULT_DONE);
    const std::size_t blocks = (40008 + kBlockData - 1) / kBlockData;
    ASSERT_EQ(seen.size(), blocks + 1);
    // The spinner runs "|", ")", "|", "(" from wherever an earlier run left it.
    const std::string spinner = "|)|(";
    const auto spins = [&](std::size_t k) {
        for (std::size_t i = 1; i < seen.size(); ++i)
            if (seen[i].label != std::string(1, spinner[(i - 1 + k) % 4])) return false;
        return true;
    };
    std::size_t start = 0;
    while (start < 4 && !spins(start))
        ++start;
    ASSERT_LT(start, 4u) << "the spinner turns one step a block";
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_DOUBLE_EQ(seen[i].progress, static_cast<double>((i - 1) * kBlockData) / 1024.0) << i;
        EXPECT_EQ(seen[i].status, "Programming...");
        EXPECT_TRUE(seen[i].dimmed);
    }

    // The next run's spinner goes on where this one stopped.
    seen.clear();
    popups.AnswerFile(path);
    uitest::Click(hMainPanel, KESTIL::CBprogram);
    ASSERT_EQ(seen.size(), blocks + 1);
    EXPECT_EQ(seen[1].label, std::string(1, spinner[(blocks + start) % 4]));
}

// The descriptor through which the run reads its temporary copy; -1 while it has none open.
int CopyDescriptor() {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && target.filename().string().starts_with("kestil-"))
            return std::stoi(entry.path().filename().string());
    }
    return -1;
}

TEST_F(ProgramTest, ReadErrorOfTheCopyEndsTheRunWithoutTheEndFrame) {
    const std::string path = files.WriteFirmware("image.kbf", "DrvlnTmk", 20000);
    int blocks = 0;
    link = ConnectBootSim(sim);
    ASSERT_NE(link, nullptr);
    link->tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 6 && ++blocks == 2) {
            // From here on every read of the copy fails, as on a disk that gives up.
            const int fd = CopyDescriptor();
            EXPECT_GE(fd, 0);
            const int directory = ::open("/", O_RDONLY | O_DIRECTORY);
            ::dup2(directory, fd);
            ::close(directory);
        }
        return reply;
    };
    popups.AnswerFile(path);
    uitest::Click(hMainPanel, KESTIL::CBprogram);
    EXPECT_EQ(lastResult, RESULT_ERROR);
    EXPECT_FALSE(EndFrameSent());
    MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_NONE, nullptr, 0, 0);
    EXPECT_EQ(Text(KESTIL::TMstatus), "Programming error...");
    EXPECT_EQ(files.CopiesLeft(), 0u);
}

TEST_F(ProgramTest, EraseFailingPartwayStopsThereAndSendsNoBlock) {
    const std::string path = files.WriteFirmware("image.kbf", "DrvlnTmk", 3000);
    link = ConnectBootSim(sim);
    ASSERT_NE(link, nullptr);
    link->tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        // Area 4 answered with data where an empty reply is due: a wrong answer.
        if (request.cmd == 5 && request.data == std::vector<std::uint8_t>{4})
            return std::optional<ecusim::Frame>({5, {0xFF}, true});
        return reply;
    };
    popups.AnswerFile(path);
    uitest::Click(hMainPanel, KESTIL::CBprogram);
    EXPECT_EQ(lastResult, RESULT_ERROR);
    EXPECT_EQ(ErasedAreas(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(Blocks().empty());
    EXPECT_EQ(files.CopiesLeft(), 0u);
}

TEST_F(ProgramTest, TimerTicksDuringTheRunSendNothing) {
    const std::string path = files.WriteFirmware("image.kbf", "DrvlnTmk", 3000);
    link = ConnectBootSim(sim);
    ASSERT_NE(link, nullptr);
    fBloadKnown = true;
    SetCtrlAttribute(hMainPanel, KESTIL::TIMtick, ATTR_ENABLED, 1);
    int blocks = 0;
    int ticksRun = 0;
    link->tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        // A tick that comes while the run pumps events after this block.
        if (request.cmd == 6 && ++blocks == 2)
            uitest::Later([&] { ticksRun += uitest::FireTimer(hMainPanel, KESTIL::TIMtick); });
        return reply;
    };
    popups.AnswerFile(path);
    uitest::Click(hMainPanel, KESTIL::CBprogram);
    SetCtrlAttribute(hMainPanel, KESTIL::TIMtick, ATTR_ENABLED, 0);
    ASSERT_EQ(lastResult, RESULT_DONE);
    ASSERT_EQ(ticksRun, 1) << "the tick reached the timer's callback";
    const auto first = std::ranges::find_if(link->requests, [](const Bytes& r) { return r[2] == 5; });
    ASSERT_NE(first, link->requests.end());
    for (auto r = first; r != link->requests.end(); ++r)
        EXPECT_TRUE((*r)[2] == 5 || (*r)[2] == 6) << "command " << int{(*r)[2]} << " during the run";
    EXPECT_TRUE(EndFrameSent());
}

TEST_F(ProgramTest, ButtonWithTheLinkClosedSaysSoAndAsksForNoFile) {
    popups.ExpectMessage();
    uitest::Click(hMainPanel, KESTIL::CBprogram);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Firmware Programming");
    EXPECT_EQ(popups.Records()[0].text, "Connection error...");
    EXPECT_EQ(lastResult, RESULT_NONE);
}

TEST_F(ProgramTest, NoFileChosenStartsNoRun) {
    const std::string missing = files.Write("gone.kbf", {});
    std::filesystem::remove(missing);
    struct Case {
        const char* what;
        std::function<void(ScriptedPopups&)> answer;
    };
    const Case cases[] = {
        {"cancelled", [](ScriptedPopups& p) { p.CancelFile(); }},
        {"a file that does not exist",
         [&](ScriptedPopups& p) { p.AnswerFile(missing, VAL_NEW_FILE_SELECTED); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetState();
        link = ConnectBootSim(sim);
        ASSERT_NE(link, nullptr);
        link->requests.clear();
        SetCtrlVal(hMainPanel, KESTIL::TMstatus, "before");
        c.answer(popups);
        uitest::Click(hMainPanel, KESTIL::CBprogram);
        EXPECT_TRUE(link->requests.empty()) << "nothing sent";
        EXPECT_EQ(lastResult, RESULT_NONE);
        EXPECT_FALSE(fProgramming);
        EXPECT_FALSE(fUpdUfwVersion);
        EXPECT_EQ(Text(KESTIL::TMstatus), "before");
        EXPECT_STREQ(cfg.lastDir, "");
    }
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

} // namespace
