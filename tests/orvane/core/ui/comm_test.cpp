// The connect toggle on the main window: connection, version text, the incompatible-firmware message, the
// connection light and the watchdog, against scripted ECUs, the in-process simulator and the ecusim
// program, all found where the program looks for the USB adapter.
#include "ecusim/ecu.h"
#include "mainwindow.h"
#include "orvane/core/logic/com.h"
#include "orvane/core/ui/comport.h"
#include "orvane/core/ui/connect.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/settings.h"
#include "orvane/ui/screen.h"
#include "platform/sys/bytelink.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"
#include "wire.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

Bytes Frame(std::uint8_t cmd, const Bytes& data) {
    return ecusim::EncodeFrame(cmd, data);
}

FakeEcu::Respond Simulator(ecusim::EcuSim& sim) {
    return [&sim](const ecusim::Frame& f) { return sim.Feed(Frame(f.cmd, f.data)); };
}

// "abc" as the login keys of the protection button: key bytes at the even places.
void LogInAsAbc() {
    SetProtectKeys(std::array<std::uint8_t, kPasswordLength>{0xC2, 0xC4, 0xC6}, false);
}

class CommOnOffTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        LoadMainWindowOnce();
        DisplayPanel(hMainPanel);
    }

    void SetUp() override {
        secTimeOut = 0.1;
        SetCurPanel(hMainPanel);
        SetSettingsPort(0);
        InitPortList();
        ClearProtectKeys();
        fwVariant = 0;
    }

    void TearDown() override {
        CloseComPort();
        secTimeOut = savedTimeOut_;
        EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    }

    static void Toggle() { ASSERT_EQ(uitest::Click(hMainPanel, MAIN::TBcom), 0); }
    static void Tick() { ASSERT_EQ(uitest::FireTimer(hMainPanel, MAIN::TIMglobal), 1); }
    static std::string Text(int control) {
        char text[300] = "";
        GetCtrlVal(hMainPanel, control, text);
        return text;
    }
    static int Light() {
        int color = 0;
        GetCtrlAttribute(hMainPanel, MAIN::TBcom, ATTR_ON_COLOR, &color);
        return color;
    }

    const RuntimeDir runtime;
    ScriptedPopups popups;

  private:
    double savedTimeOut_ = secTimeOut;
};

} // namespace

TEST_F(CommOnOffTest, PortListOffersTheAdapterEvenForAnUnknownPort) {
    for (const std::int16_t port : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{7}}) {
        cfg.port = port;
        InitPortList();
        int index = -1;
        EXPECT_EQ(GetCtrlIndex(hMainPanel, MAIN::RINGport, &index), 0);
        EXPECT_EQ(index, 0) << "port " << port;
    }
}

TEST_F(CommOnOffTest, ConnectsReadsTheVersionAndDisconnects) {
    ecusim::EcuSim sim;
    const FakeEcu ecu(Simulator(sim), SimulatorSocketPath());
    Toggle();
    ASSERT_EQ(isComOpen, 1);
    EXPECT_EQ(cfg.port, -1);
    EXPECT_EQ(Text(MAIN::TMversion), sim.model.versionText);
    Tick();
    EXPECT_EQ(Light(), VAL_GREEN);
    Toggle();
    EXPECT_EQ(isComOpen, 0);
}

TEST_F(CommOnOffTest, ProtectedEcuShowsRedUntilTheRightKeysArrive) {
    ecusim::EcuSim sim({"abc"});
    const FakeEcu ecu(Simulator(sim), SimulatorSocketPath());
    Toggle();
    ASSERT_EQ(isComOpen, 1);
    Tick();
    EXPECT_EQ(fEcuProtected, 1);
    EXPECT_EQ(Light(), VAL_RED);
    LogInAsAbc();
    Tick();
    EXPECT_EQ(fEcuProtected, 0);
    EXPECT_EQ(Light(), VAL_GREEN);
}

TEST_F(CommOnOffTest, NoVersionReplyLeavesTheLinkClosedWithoutMessage) {
    const FakeEcu ecu([](const ecusim::Frame&) { return Bytes{}; }, SimulatorSocketPath());
    Toggle();
    EXPECT_EQ(isComOpen, 0);
    EXPECT_EQ(Text(MAIN::TMversion), ">Connection?<");
}

TEST_F(CommOnOffTest, NothingToConnectToLeavesThePortReset) {
    cfg.port = -1;
    Toggle();
    EXPECT_EQ(isComOpen, 0);
    EXPECT_EQ(cfg.port, 0);
    EXPECT_EQ(Text(MAIN::TMversion), ">Connection?<");
}

TEST_F(CommOnOffTest, IncompatibleFirmwareIsReported) {
    struct Case {
        Bytes ping;
        const char* message;
    };
    const Case cases[] = {
        {{0x01, 0x0D, 'T', '4', '8', '4', 0, 0, 0, 0, 3, 0},
         "The ECU firmware version (T484 9.9 - KQ9)\nis incompatible with this monitor."},
        {{0x01, 0x0D, 'T', '4', '8', '5', 0, 0, 0, 0, 0, 0},
         "The ECU firmware version (T484 9.9)\nis incompatible with this monitor."},
    };
    for (const Case& c : cases) {
        const FakeEcu ecu(
            [&c](const ecusim::Frame& f) {
                return f.cmd == 0x01 ? Frame(0x01, {'T', '4', '8', '4', ' ', '9', '.', '9'})
                                     : Frame(f.cmd, c.ping);
            },
            SimulatorSocketPath());
        fwVariant = 0;
        const std::size_t before = popups.Records().size();
        popups.ExpectMessage();
        Toggle();
        EXPECT_EQ(isComOpen, 0);
        ASSERT_EQ(popups.Records().size(), before + 1);
        EXPECT_EQ(popups.Records().back().title, "Failure ECU connect");
        EXPECT_EQ(popups.Records().back().text, c.message);
    }
}

TEST_F(CommOnOffTest, TuningEcuShowsTheMapUnderTuning) {
    ecusim::EcuSim sim;
    sim.model.tuning = true;
    const FakeEcu ecu(Simulator(sim), SimulatorSocketPath());
    Toggle();
    ASSERT_EQ(isComOpen, 1);
    EXPECT_EQ(Text(MAIN::TMecuMapName), "*Default mapping 1");
}

TEST_F(CommOnOffTest, WatchdogClosesTheLinkOnTheSixthSilentTick) {
    ecusim::EcuSim sim;
    std::atomic<bool> answering{true};
    const FakeEcu ecu(
        [&](const ecusim::Frame& f) { return answering ? sim.Feed(Frame(f.cmd, f.data)) : Bytes{}; },
        SimulatorSocketPath());
    Toggle();
    ASSERT_EQ(isComOpen, 1);
    answering = false;
    for (int tick = 1; tick <= 5; ++tick) {
        Tick();
        EXPECT_EQ(isComOpen, 1) << "tick " << tick;
    }
    Tick();
    EXPECT_EQ(isComOpen, 0);
    Tick();
    EXPECT_EQ(Text(MAIN::TMversion), sim.model.versionText) << "the version text stays";
}

// Whether the program started as pid answers a version request at socket within bound: on a loaded
// machine (or under a sanitizer) it may take seconds to come up; false at once when it exited.
bool AnswersWithin(pid_t pid, const std::string& socket, std::chrono::seconds bound) {
    const Bytes request = Frame(0x01, {});
    const auto end = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < end) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return false;
        if (const auto link = OpenSocketLink(socket.c_str(), 100);
            link && link->Write(request) == static_cast<int>(request.size())) {
            ecusim::FrameParser parser;
            std::uint8_t byte = 0;
            while (std::chrono::steady_clock::now() < end && link->Read(std::span(&byte, 1)) == 1) {
                parser.Push(std::span(&byte, 1));
                if (parser.Next()) return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// The ecusim program, as a user runs it, on the socket where the program looks for the adapter.
TEST_F(CommOnOffTest, ConnectsToTheSimulatorProgram) {
    const std::string socket = SimulatorSocketPath();
    std::string program = ORVANE_ECUSIM_PATH;
    std::string socketOption = "--socket", password = "--password", abc = "abc";
    std::string socketPath = socket;
    char* argv[] = {program.data(),  socketOption.data(), socketPath.data(),
                    password.data(), abc.data(),          nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    ASSERT_TRUE(AnswersWithin(pid, socket, std::chrono::seconds(60))) << "the simulator program came up";

    Toggle();
    EXPECT_EQ(isComOpen, 1);
    EXPECT_EQ(Text(MAIN::TMversion), "ECUSIM T484 v1.13");
    EXPECT_EQ(fEcuProtected, 1);
    LogInAsAbc();
    Tick();
    EXPECT_EQ(fEcuProtected, 0);
    EXPECT_EQ(Light(), VAL_GREEN);
    Toggle();
    EXPECT_EQ(isComOpen, 0);

    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::exists(socket)) << "the simulator removes its socket";
}
