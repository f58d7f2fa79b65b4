#include "orvane/core/logic/utils.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---- paths --------------------------------------------------------------------------------------------

struct ExtCase {
    const char* path;
    const char* extension;
};

TEST(Paths, GetFileExtension) {
    const ExtCase cases[] = {
        {"C:\\data\\bike.ecd", "ecd"},
        {"/home/u/bike.emd", "emd"},
        {"bike.abcd", "abcd"},
        {"bike.abcde", ""},       // more than 4 characters: no extension
        {"C:\\my.dir\\bike", ""}, // the last dot lies in a directory name
        {"/my.dir/bike", ""},
        {"bike.", ""},
        {"", ""},
        {"a.b.c", "c"},
    };
    for (const ExtCase& c : cases)
        EXPECT_STREQ(GetFileExtension(c.path), c.extension) << c.path;
}

TEST(Paths, GetFileExtensionPointsIntoThePath) {
    const char* path = "dir/name.ecd";
    EXPECT_EQ(GetFileExtension(path), path + 9);
    const char* none = "dir.x/name";
    EXPECT_EQ(GetFileExtension(none), none + std::strlen(none));
}

struct SetExtCase {
    const char* path;
    const char* result;
};

TEST(Paths, SetFileExtension) {
    const SetExtCase cases[] = {
        {"C:\\data\\bike.txt", "C:\\data\\bike.emd"},
        {"/data/bike", "/data/bike.emd"},
        {"/data/bike.", "/data/bike.emd"},              // no second dot
        {"/data/bike.abcdef", "/data/bike.abcdef.emd"}, // only extensions up to 4 characters are replaced
        {"/da.ta/bike", "/da.ta/bike.emd"},
        {"bike.emd", "bike.emd"},
        {"", ""},
    };
    for (const SetExtCase& c : cases) {
        std::array<char, 64> buf{};
        std::strcpy(buf.data(), c.path);
        EXPECT_EQ(SetFileExtension(buf, "emd"), buf.data()) << c.path;
        EXPECT_STREQ(buf.data(), c.result) << c.path;
    }
}

TEST(Paths, SetFileExtensionRefusesWhatDoesNotFit) {
    std::array<char, 9> buf{};
    std::strcpy(buf.data(), "abcdefg"); // "abcdefg.ecd" needs 12 bytes
    EXPECT_EQ(SetFileExtension(buf, "ecd"), nullptr);
    EXPECT_STREQ(buf.data(), "abcdefg");
    std::strcpy(buf.data(), "abcd.xy"); // "abcd.ecd" needs 9: fits exactly
    EXPECT_EQ(SetFileExtension(buf, "ecd"), buf.data());
    EXPECT_STREQ(buf.data(), "abcd.ecd");
}

struct SplitCase {
    const char* path;
    const char* name;
    const char* extension;
};

TEST(Paths, SplitFileName) {
    const SplitCase cases[] = {
        {"C:\\data\\bike.ecd", "bike", "ecd"},
        {"/data/bike.ecd", "bike", "ecd"},
        {"/data/bike.", "bike", ""},
        {"/data/bike.toolong", "bike.toolong", ""},
        {"/da.ta/bike", "bike", ""},
        {"bike", "bike", ""},
        {"", "", ""},
        {"/data/", "", ""},
        {"/data/.ecd", "", "ecd"},
    };
    for (const SplitCase& c : cases) {
        std::array<char, 32> name{};
        name.fill('#');
        EXPECT_STREQ(SplitFileName(c.path, name), c.extension) << c.path;
        EXPECT_STREQ(name.data(), c.name) << c.path;
    }
}

TEST(Paths, SplitFileNameCutsToTheBuffer) {
    std::array<char, 4> name{};
    SplitFileName("/x/longname.ecd", name);
    EXPECT_STREQ(name.data(), "lon");
}

// ---- byte order and checksum --------------------------------------------------------------------------

TEST(ByteOrder, Swaps) {
    static_assert(Swap16(0x1234) == 0x3412);
    static_assert(Swap32(0x12345678) == 0x78563412);
    EXPECT_EQ(Swap16(Swap16(0xE0B5)), 0xE0B5);
    EXPECT_EQ(Swap32(0x000000FF), 0xFF000000u);
}

struct ChecksumCase {
    std::vector<std::uint8_t> bytes;
    std::uint16_t checksum;
};

TEST(Checksum, Cases) {
    const ChecksumCase cases[] = {
        {std::vector<std::uint8_t>(10, 0), 0xFFFF},
        {{0x00, 0x00, 0x01, 0x02, 0x03, 0x04}, 0xF9FB},
        {{0xAA, 0xBB}, 0xFFFF},                   // the first two bytes are not summed
        {{0, 0, 0xFF, 0xFF, 0x01, 0x00}, 0xFFFE}, // 0xFFFF + 1 folds its carry back: 0x0001
        {{0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, 0x0000}, // 0x1FFFE folds to 0xFFFF
        {{0, 0, 0x34, 0x12, 0x56}, static_cast<std::uint16_t>(~(0x1234 + 0x0056))}, // odd tail: high byte 0
        {{}, 0xFFFF},
    };
    for (const ChecksumCase& c : cases)
        EXPECT_EQ(GetChecksum(std::span<const std::uint8_t>(c.bytes)), c.checksum);
}

// ---- texts --------------------------------------------------------------------------------------------

struct PadCase {
    const char* text;
    int length;
    char fill;
    const char* result;
};

TEST(Texts, Padr) {
    const PadCase cases[] = {
        {"abc", 6, '*', "abc***"}, {"abcdefgh", 4, '*', "abcd"}, {"", 3, '-', "---"},
        {"abc", 0, '*', ""},       {"abc", 3, '*', "abc"},
    };
    for (const PadCase& c : cases) {
        std::array<char, 16> buf{};
        std::strcpy(buf.data(), c.text);
        Padr(buf, c.length, c.fill);
        EXPECT_STREQ(buf.data(), c.result) << c.text << " " << c.length;
    }
}

TEST(Texts, PadrWithZeroFillClearsTheTail) {
    std::array<char, 16> buf{};
    buf.fill('x');
    std::memcpy(buf.data(), "pw\0", 3);
    Padr(buf, 15, '\0');
    for (int i = 2; i < 16; ++i)
        EXPECT_EQ(buf[i], '\0') << i;
}

TEST(Texts, PadrStaysInsideTheBuffer) {
    std::array<char, 5> buf{};
    std::strcpy(buf.data(), "ab");
    Padr(std::span(buf).first(4), 10, '*'); // length bounded to 3 characters
    EXPECT_STREQ(buf.data(), "ab*");
    EXPECT_EQ(buf[4], '\0');
}

TEST(Texts, Byte2Bin) {
    const std::pair<std::uint8_t, const char*> cases[] = {
        {0, "00000000"}, {0xFF, "11111111"}, {0xA5, "10100101"}, {1, "00000001"}, {0x80, "10000000"}};
    for (const auto& [value, bits] : cases) {
        std::array<char, 9> text{};
        text.fill('#');
        Byte2Bin(value, text);
        EXPECT_STREQ(text.data(), bits);
    }
}

// ---- breakpoint search --------------------------------------------------------------------------------

struct SearchCase {
    std::vector<std::int16_t> axis;
    std::int16_t x;
    std::uint16_t lo;
    std::uint16_t hi;
};

std::vector<std::int16_t> Ramp(int n, int step, int from = 0) {
    std::vector<std::int16_t> axis;
    for (int i = 0; i < n; ++i)
        axis.push_back(static_cast<std::int16_t>(from + i * step));
    return axis;
}

TEST(Search, SignedCases) {
    const SearchCase cases[] = {
        {{0, 10, 10, 20}, 10, 1, 1}, // an exact hit on a repeated breakpoint: the first of the run
        {{0, 10, 20, 20}, 25, 2, 2}, // beyond the end: the first of the last run
        {{0, 10, 20, 20}, 20, 2, 2},
        {{0, 10, 20, 30}, -5, 0, 0}, // below the start
        {{0, 10, 20, 30}, 0, 0, 0},
        {{0, 10, 20, 30}, 15, 1, 2},
        {{0, 10, 20, 30}, 29, 2, 3},
        {{0, 10, 10, 20}, 5, 0, 1},
        {{0, 10, 10, 20}, 15, 2, 3},
        {{-100, -50, 0, 50, 100}, -60, 0, 1},
        {{-100, -50, 0, 50, 100}, 50, 3, 3},
        {{7}, 3, 0, 0},
        {{7}, 9, 0, 0},
        {{}, 9, 0, 0},               // an empty axis reads nothing
        {Ramp(16, 10), 145, 14, 15}, // 16 points: the stepped search
        {Ramp(16, 10), 5, 0, 1},
        {Ramp(16, 10), 70, 7, 7},
        {Ramp(16, 10), 71, 7, 8},
        {Ramp(16, 10), 69, 6, 7},
        {Ramp(32, 10), 305, 30, 31}, // 32 points: the stepped search
        {Ramp(32, 10), 5, 0, 1},
        {Ramp(32, 10), 150, 15, 15},
        {Ramp(32, 10), 151, 15, 16},
        {Ramp(20, 10), 105, 10, 11}, // 20 points: the halving search
        {Ramp(20, 10), 190, 19, 19},
        {Ramp(20, 10), 185, 18, 19},
    };
    for (const SearchCase& c : cases) {
        std::uint16_t lo = 99;
        std::uint16_t hi = 99;
        SearchInterval_S16(lo, hi, c.x, c.axis);
        EXPECT_EQ(lo, c.lo) << "x=" << c.x << " n=" << c.axis.size();
        EXPECT_EQ(hi, c.hi) << "x=" << c.x << " n=" << c.axis.size();
    }
}

// Every value on a 16- and a 32-point axis with repeated breakpoints brackets consistently.
TEST(Search, SteppedSearchBracketsEveryValue) {
    for (int n : {16, 32}) {
        std::vector<std::int16_t> axis;
        for (int i = 0; i < n; ++i)
            axis.push_back(static_cast<std::int16_t>((i / 3) * 100)); // runs of three
        for (int x = -10; x <= axis.back() + 10; ++x) {
            std::uint16_t lo = 0;
            std::uint16_t hi = 0;
            SearchInterval_S16(lo, hi, static_cast<std::int16_t>(x), axis);
            ASSERT_LT(hi, n);
            if (lo == hi) {
                const bool outside = x <= axis.front() || x >= axis.back();
                EXPECT_TRUE(outside || axis[lo] == x) << n << " " << x;
                EXPECT_TRUE(lo == 0 || axis[lo - 1] != axis[lo]) << n << " " << x; // first of its run
            } else {
                EXPECT_LT(axis[lo], x) << n << " " << x;
                EXPECT_GT(axis[hi], x) << n << " " << x;
            }
        }
    }
}

TEST(Search, UnsignedReadsTheAxisUnsigned) {
    const std::vector<std::int16_t> axis{0, 1000, 30000, -30000 /* 35536 unsigned */, -1 /* 65535 */};
    std::uint16_t lo = 0;
    std::uint16_t hi = 0;
    CercaIntervallo(lo, hi, static_cast<std::int16_t>(-20000) /* 45536 */, axis, 0);
    EXPECT_EQ(lo, 3);
    EXPECT_EQ(hi, 4);
    const std::vector<std::int16_t> signedAxis{-30000, -1000, 0};
    CercaIntervallo(lo, hi, static_cast<std::int16_t>(-20000), signedAxis, 1);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 1);
    const std::vector<std::uint16_t> uaxis{0, 1000, 40000, 60000};
    SearchInterval_U16(lo, hi, 50000, uaxis);
    EXPECT_EQ(lo, 2);
    EXPECT_EQ(hi, 3);
}

TEST(Search, GetFirstEqual) {
    const std::vector<std::int16_t> axis{0, 5, 5, 5, 9};
    EXPECT_EQ(GetFirstEqual(3, axis), 1);
    EXPECT_EQ(GetFirstEqual(1, axis), 1);
    EXPECT_EQ(GetFirstEqual(4, axis), 4);
    EXPECT_EQ(GetFirstEqual(0, axis), 0);
}

TEST(Search, GetNearest) {
    const std::vector<std::int16_t> axis{0, 10, 20, 40};
    const std::pair<std::int16_t, std::uint16_t> cases[] = {{-5, 0}, {4, 0},  {5, 1},  {6, 1}, {29, 2},
                                                            {30, 3}, {31, 3}, {99, 3}, {20, 2}};
    for (const auto& [x, index] : cases)
        EXPECT_EQ(GetNearest_S16(x, axis), index) << x;
    EXPECT_EQ(GetNearest_S16(5, {}), 0);
}

// ---- interpolation ------------------------------------------------------------------------------------

struct Interp1Case {
    std::vector<std::int16_t> axis;
    std::vector<std::int16_t> values;
    std::int16_t x;
    std::int16_t result;
};

TEST(Interpolation, OneD) {
    const Interp1Case cases[] = {
        {{0, 100}, {0, 1}, 25, 0},    // a quarter of the way
        {{0, 100}, {0, 1}, 75, 1},    // three quarters
        {{0, 100}, {0, 1}, 50, 1},    // a half rounds up
        {{0, 100}, {100, 0}, 25, 76}, // -25 + 0.5 truncates toward zero: 100 - 24
        {{0, 100}, {10, 20}, -5, 10},
        {{0, 100}, {10, 20}, 200, 20},
        {{0, 100, 200}, {0, 1000, 3000}, 150, 2000},
        {{0, 10, 10, 20}, {0, 5, 9, 9}, 10, 5}, // exact hit: the first of the run
        {{}, {}, 5, 0},
        {{-1000, 1000}, {-32000, 32000}, 0, 0},
    };
    for (const Interp1Case& c : cases)
        EXPECT_EQ(Interp1D(c.x, c.axis, c.values), c.result) << c.x;
}

TEST(Interpolation, TwoD) {
    const std::vector<std::int16_t> xAxis{0, 10, 20};
    const std::vector<std::int16_t> yAxis{0, 100};
    const std::vector<std::int16_t> table{0,   10,  20,   // y = 0
                                          100, 110, 120}; // y = 100
    struct Case {
        std::int16_t x, y, result;
    };
    const Case cases[] = {
        {10, 0, 10}, {10, 100, 110}, // corners
        {5, 0, 5},   {15, 100, 115}, // along x only
        {0, 50, 50}, {20, 25, 45},   // along y only
        {5, 50, 55}, {15, 75, 90},   // bilinear
        {-5, -5, 0}, {99, 999, 120}, // clamped
        {1, 1, 2}, // 1 + 1 = 2 exactly: (0*9+10*1)*99 + (100*9+110*1)*1 = 990 + 1010 = 2000 / 1000
    };
    for (const Case& c : cases)
        EXPECT_EQ(Interp2D(c.x, c.y, xAxis, yAxis, table), c.result) << c.x << "," << c.y;
}

TEST(Interpolation, TwoDRoundsHalvesAwayFromZero) {
    const std::vector<std::int16_t> xAxis{0, 2};
    const std::vector<std::int16_t> yAxis{0, 2};
    const std::vector<std::int16_t> pos{0, 1, 0, 1};
    const std::vector<std::int16_t> neg{0, -1, 0, -1};
    EXPECT_EQ(Interp2D(1, 1, xAxis, yAxis, pos), 1);  // 0.5 -> 1
    EXPECT_EQ(Interp2D(1, 1, xAxis, yAxis, neg), -1); // -0.5 -> -1
}

TEST(Interpolation, TwoDRefusesShortTables) {
    const std::vector<std::int16_t> axis{0, 10};
    const std::vector<std::int16_t> table{1, 2, 3};
    EXPECT_EQ(Interp2D(5, 5, axis, axis, table), 0);
    EXPECT_EQ(Interp2D(5, 5, {}, axis, table), 0);
}

TEST(Interpolation, ThreeD) {
    const std::vector<std::int16_t> axis{0, 10};
    // table[z][y][x]
    const std::vector<std::int16_t> table{0, 10, 20, 30, 100, 110, 120, 130};
    struct Case {
        std::int16_t x, y, z, result;
    };
    const Case cases[] = {
        {0, 0, 0, 0},    {10, 10, 10, 130}, {10, 0, 0, 10}, {0, 10, 0, 20},
        {0, 0, 10, 100}, {5, 5, 5, 65},     {5, 0, 0, 5},   {-3, 20, 5, 70}, // clamped x and y, halfway in z
        {2, 0, 0, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Interp3D(c.x, c.y, c.z, axis, axis, axis, table), c.result)
            << c.x << "," << c.y << "," << c.z;
    EXPECT_EQ(Interp3D(1, 1, 1, axis, axis, {}, table), 0);
}

} // namespace
