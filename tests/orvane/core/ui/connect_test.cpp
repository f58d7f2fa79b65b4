// Ping and the data-set names against a scripted ECU and the simulator.
#include "bytes.h"
#include "ecusim/ecu.h"
#include "linktest.h"
#include "orvane/core/ui/connect.h"
#include "orvane/tuning/map2.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace {

Bytes Frame(std::uint8_t cmd, const Bytes& data) {
    return ecusim::EncodeFrame(cmd, data);
}

// A Ping reply's data: protocol version, firmware name (8 bytes as given), variant, flags.
Bytes PingData(std::uint16_t version, const char (&name)[9], std::uint8_t variant, std::uint8_t flags) {
    Bytes data(12);
    PutBE16(data, 0, version);
    std::copy_n(name, 8, data.begin() + 2);
    data[10] = variant;
    data[11] = flags;
    return data;
}

const Bytes kGoodPing = PingData(0x010D, "T484\0\0\0\0", 0, 0);

Bytes Resized(Bytes data, std::size_t size) {
    data.resize(size, 0);
    return data;
}

// Answers every request of cmd with the same data, and nothing else.
FakeEcu::Respond Always(std::uint8_t cmd, Bytes data) {
    return [cmd, data](const ecusim::Frame& f) { return f.cmd == cmd ? Frame(cmd, data) : Bytes{}; };
}

FakeEcu::Respond Simulator(ecusim::EcuSim& sim) {
    return [&sim](const ecusim::Frame& f) { return sim.Feed(Frame(f.cmd, f.data)); };
}

struct PingCase {
    const char* what;
    Bytes reply;
    bool ok;
    int variantAfter;   // fwVariant after the Ping
    int protectedAfter; // fEcuProtected after the Ping (it is 1 before)
};

const PingCase kPingCases[] = {
    {"accepted", kGoodPing, true, 0, 0},
    {"ECU protected", PingData(0x010D, "T484\0\0\0\0", 0, 0x80), true, 0, 1},
    {"variant 4", PingData(0x010D, "T484\0\0\0\0", 4, 0), true, 4, 0},
    {"variant 255", PingData(0x010D, "T484\0\0\0\0", 255, 0), true, 255, 0},
    {"11 bytes", Resized(kGoodPing, 11), false, 0xAA, 1},
    {"13 bytes", Resized(kGoodPing, 13), false, 0xAA, 1},
    {"other protocol version", PingData(0x010C, "T484\0\0\0\0", 0, 0), false, 0xAA, 1},
    {"name with a further letter", PingData(0x010D, "T484X\0\0\0", 0, 0), false, 0xAA, 1},
    {"name filling the field", PingData(0x010D, "T4840000", 0, 0), false, 0xAA, 1},
    {"shorter name", PingData(0x010D, "T48\0\0\0\0\0", 0, 0), false, 0xAA, 1},
    {"variant 1", PingData(0x010D, "T484\0\0\0\0", 1, 0), false, 1, 1},
    {"variant 2", PingData(0x010D, "T484\0\0\0\0", 2, 0), false, 2, 1},
    {"variant 3", PingData(0x010D, "T484\0\0\0\0", 3, 0x80), false, 3, 1},
};

} // namespace

class PingTest : public LinkTest {
  protected:
    void SetUp() override {
        LinkTest::SetUp();
        ClearProtectKeys();
    }
};

TEST_F(PingTest, SendsTheLoginKeys) {
    const Wire wire(Wire::Kind::Socket, secTimeOut);
    EXPECT_FALSE(Ping()) << "no answer";
    Bytes frame{0x55, 0x1E, 0x03};
    frame.resize(33, 0);
    frame.push_back(0x21);
    EXPECT_EQ(wire.Receive(34), frame);
}

TEST_F(PingTest, ChecksTheReply) {
    for (const PingCase& c : kPingCases) {
        SCOPED_TRACE(c.what);
        fwVariant = 0xAA;
        fEcuProtected = 1;
        const FakeEcu ecu(Always(0x03, c.reply));
        EXPECT_EQ(Ping(), c.ok);
        EXPECT_EQ(fwVariant, c.variantAfter);
        EXPECT_EQ(fEcuProtected, c.protectedAfter);
    }
}

TEST_F(PingTest, ReportsTheTuningState) {
    {
        const FakeEcu tuning(Always(0x03, PingData(0x010D, "T484\0\0\0\0", 0, 0x60)));
        ASSERT_TRUE(Ping());
        EXPECT_TRUE(IsMapTuning());
    }
    const FakeEcu idle(Always(0x03, kGoodPing));
    ASSERT_TRUE(Ping());
    EXPECT_FALSE(IsMapTuning());
}

TEST_F(PingTest, ClosedLinkAnswersAtOnceAndClearsProtection) {
    CloseComPort();
    fEcuProtected = 1;
    EXPECT_TRUE(Ping());
    EXPECT_EQ(fEcuProtected, 0);
}

TEST_F(PingTest, LoginKeysUnlockTheSimulator) {
    for (const bool fromLogo : {false, true}) {
        ecusim::EcuSim sim({"abc"});
        const FakeEcu ecu(Simulator(sim));
        ClearProtectKeys();
        ASSERT_TRUE(Ping());
        EXPECT_EQ(fEcuProtected, 1);
        const std::array<std::uint8_t, kPasswordLength> keys{0xC2, 0xC4,
                                                             0xC6}; // "abc" rotated left by one bit
        SetProtectKeys(keys, fromLogo);                             // the even key bytes, then the odd ones
        ASSERT_TRUE(Ping());
        EXPECT_EQ(fEcuProtected, 0) << "from the logo: " << fromLogo;
    }
}

class DataNameTest : public LinkTest {};

TEST_F(DataNameTest, AsksTwiceAndMarksTheTuningSet) {
    ecusim::EcuSim sim;
    const FakeEcu ecu(Simulator(sim));
    char name[64];
    ASSERT_TRUE(GetEcuDataName(name, sizeof name, 8));
    EXPECT_STREQ(name, "*Default mapping 1");
    ASSERT_TRUE(GetEcuDataName(name, sizeof name, 0));
    EXPECT_STREQ(name, "Default configuration");
    EXPECT_EQ(ecu.Requests().size(), 4u);
}

TEST_F(DataNameTest, OtherKindsSendNothing) {
    const FakeEcu ecu(Always(0x0E, Bytes{'x'}));
    char name[8] = "keep";
    EXPECT_FALSE(GetEcuDataName(name, sizeof name, 3));
    EXPECT_STREQ(name, "keep");
    EXPECT_TRUE(ecu.Requests().empty());
}

TEST_F(DataNameTest, CutsTheNameToTheBuffer) {
    const FakeEcu ecu(Always(0x0E, Bytes(255, 'n')));
    char name[256];
    ASSERT_TRUE(GetEcuDataName(name, sizeof name, 8));
    EXPECT_EQ(std::string(name), "*" + std::string(254, 'n'));
    char small[10];
    ASSERT_TRUE(GetEcuDataName(small, sizeof small, 1));
    EXPECT_EQ(std::string(small), std::string(9, 'n'));
}

TEST_F(DataNameTest, NoAnswerGivesAnEmptyName) {
    const FakeEcu ecu([](const ecusim::Frame&) { return Bytes{}; });
    char name[16] = "old";
    EXPECT_FALSE(GetEcuDataName(name, sizeof name, 2));
    EXPECT_STREQ(name, "");
}
