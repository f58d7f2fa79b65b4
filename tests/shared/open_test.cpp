// Opening the link by port choice: a COM port by its label, the USB adapter replaced by the simulator
// socket when no adapter is plugged in.
#include "ecusim/server.h"
#include "orvane/core/logic/com.h"
#include "platform/sys/bytelink.h"
#include "wire.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The in-process simulator serving the default adapter socket from its own thread.
class SimOnAdapterSocket {
  public:
    SimOnAdapterSocket() : listener_(ecusim::ListenUnixSocket(SimulatorSocketPath())) {
        EXPECT_GE(listener_, 0);
        options_.stop = &stop_;
        thread_ = std::thread([this] { ecusim::ServeClients(listener_, sim_, options_); });
    }
    ~SimOnAdapterSocket() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }

  private:
    int listener_;
    ecusim::EcuSim sim_;
    ecusim::ServeOptions options_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

TEST(OpenPortLink, UsbWithoutAdapterReachesTheSimulator) {
    const RuntimeDir runtime;
    const SimOnAdapterSocket sim;
    ASSERT_TRUE(OpenPortLink(-1, "USB"));
    EXPECT_EQ(isComOpen, 1);
    ASSERT_TRUE(TxCommand(0x01, nullptr, 0));
    std::uint8_t text[255];
    std::uint8_t len = 0;
    EXPECT_EQ(RxResponse(0x01, text, sizeof text, &len), 0);
    EXPECT_EQ(std::string(text, text + len), ecusim::EcuModel().versionText);
    CloseComPort();
    EXPECT_EQ(isComOpen, 0);
    CloseComPort();
    EXPECT_EQ(isComOpen, 0);
}

TEST(OpenPortLink, UsbWithNeitherAdapterNorSimulatorFails) {
    const RuntimeDir runtime;
    EXPECT_FALSE(OpenPortLink(-1, "USB"));
    EXPECT_EQ(isComOpen, 0);
}

TEST(OpenPortLink, ComPortByDevicePath) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    ASSERT_TRUE(OpenPortLink(0, ::ptsname(master)));
    ASSERT_TRUE(TxCommand(0x01, nullptr, 0));
    std::uint8_t frame[4] = {};
    EXPECT_EQ(::read(master, frame, sizeof frame), 4);
    EXPECT_EQ(frame[0], 0x55);
    CloseComPort();
    ::close(master);
    EXPECT_FALSE(OpenPortLink(0, "/nonexistent/tty"));
    EXPECT_EQ(isComOpen, 0);
}

TEST(OpenPortLink, PortLabelsNameDevices) {
    EXPECT_EQ(ComDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(ComDevicePath("COM12"), "/dev/ttyS11");
    EXPECT_EQ(ComDevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ComDevicePath("COM0"), "COM0");
    EXPECT_EQ(ComDevicePath("COM1x"), "COM1x");
}

TEST(SimulatorSocketPath, FollowsTheRuntimeDirectory) {
    const RuntimeDir runtime;
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
    EXPECT_EQ(SimulatorSocketPath(), "/run/user/1234/usb-can-dervalon.sock");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SimulatorSocketPath(), "/tmp/usb-can-dervalon-" + std::to_string(::getuid()) + ".sock");
}
