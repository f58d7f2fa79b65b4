// Identity, data-set names and the password lock of the simulated ECU.
#include "simclient.h"

#include <gtest/gtest.h>

#include <string>

using Bytes = std::vector<std::uint8_t>;

namespace {

enum class Layout { Even, Odd, Mixed };

// Login keys of a password as the program builds them: each character rotated left by one bit, at the
// even (Even) or the odd (Odd) byte of its pair; Mixed puts alternate characters in alternate layouts.
Bytes KeysOf(const std::string& password, Layout layout) {
    Bytes keys(30, 0);
    for (std::size_t i = 0; i < password.size() && i < 15; ++i) {
        const auto c = static_cast<std::uint8_t>(password[i]);
        const bool odd = layout == Layout::Odd || (layout == Layout::Mixed && i % 2 == 1);
        keys[2 * i + (odd ? 1 : 0)] = static_cast<std::uint8_t>(c << 1 | c >> 7);
    }
    return keys;
}

bool ReportsProtected(SimClient& client, const Bytes& keys) {
    const auto reply = client.Exchange(0x03, keys);
    EXPECT_TRUE(reply && reply->data.size() == 12);
    return reply && reply->data.size() == 12 && (reply->data[11] & 0x80) != 0;
}

std::string NameOf(SimClient& client, std::uint8_t kind) {
    const auto reply = client.Exchange(0x0E, Bytes{kind});
    return reply ? std::string(reply->data.begin(), reply->data.end()) : "<silent>";
}

} // namespace

TEST(SimIdentity, PingReportsProtocolFirmwareVariantAndState) {
    SimClient client;
    client.sim.model.variant = 7;
    client.sim.model.tuning = true;
    client.sim.model.tuningAuto = true;
    const auto reply = client.Exchange(0x03, Bytes(30, 0));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data, (Bytes{0x01, 0x0D, 'T', '4', '8', '4', 0, 0, 0, 0, 7, 0x60}));
    EXPECT_FALSE(client.Exchange(0x03, Bytes(29, 0))) << "a Ping without its 30 key bytes is not answered";
}

TEST(SimIdentity, VersionTextAndDataSetNames) {
    SimClient client;
    const auto version = client.Exchange(0x01, {});
    ASSERT_TRUE(version);
    EXPECT_EQ(std::string(version->data.begin(), version->data.end()), client.sim.model.versionText);
    EXPECT_EQ(NameOf(client, 0), "Default configuration");
    EXPECT_EQ(NameOf(client, 1), "Default mapping 1");
    EXPECT_EQ(NameOf(client, 2), "Default mapping 2");
    EXPECT_EQ(NameOf(client, 8), "Default mapping 1");
    client.sim.model.tuningSlot = ecusim::Store::Slot2;
    EXPECT_EQ(NameOf(client, 8), "Default mapping 2");
    EXPECT_EQ(NameOf(client, 3), "<silent>");
}

struct LoginCase {
    const char* what;
    const char* password; // of the ECU
    const char* typed;    // what the keys were built from
    Layout layout;
    bool protectedAfter;
};

class SimLogin : public testing::TestWithParam<LoginCase> {};

TEST_P(SimLogin, ProtectionFollowsTheKeys) {
    const LoginCase& c = GetParam();
    SimClient client{ecusim::EcuSim({c.password})};
    const bool locked = *c.password != '\0';
    EXPECT_EQ(ReportsProtected(client, Bytes(30, 0)), locked);
    EXPECT_EQ(ReportsProtected(client, KeysOf(c.typed, c.layout)), c.protectedAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, SimLogin,
                         testing::Values(LoginCase{"even layout", "abc", "abc", Layout::Even, false},
                                         LoginCase{"odd layout", "abc", "abc", Layout::Odd, false},
                                         LoginCase{"full length, high characters", "\xC1ZZZZZZZZZZZZZ\xFF",
                                                   "\xC1ZZZZZZZZZZZZZ\xFF", Layout::Odd, false},
                                         LoginCase{"wrong password", "abc", "abd", Layout::Even, true},
                                         LoginCase{"prefix only", "abc", "ab", Layout::Even, true},
                                         LoginCase{"layouts mixed", "abc", "abc", Layout::Mixed, true},
                                         LoginCase{"no password", "", "", Layout::Even, false}),
                         [](const testing::TestParamInfo<LoginCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(SimPassword, SetPasswordErasesDataSetsAndLocksWithTheNewPassword) {
    SimClient client;
    std::vector<std::uint8_t> mine = ecusim::MakeDefaultImage(ecusim::kParImageSize, "Mine");
    ASSERT_TRUE(client.WriteArea(1, mine));
    ASSERT_EQ(NameOf(client, 0), "Mine");

    Bytes password(15, 0);
    password[0] = 'a';
    password[1] = 'b';
    const auto reply = client.Exchange(0x02, password);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->data.empty());
    EXPECT_EQ(NameOf(client, 0), "Default configuration");
    EXPECT_TRUE(ReportsProtected(client, KeysOf("abc", Layout::Even)));
    EXPECT_FALSE(ReportsProtected(client, KeysOf("ab", Layout::Even)));
}
