// Both catalogues, every record as the ECU must receive it: the bytes each pick writes into the image and
// the text its ring shows.
#include "configfixture.h"
#include "orvane/config/catalogue.h"

#include <array>
#include <string>
#include <vector>

namespace {

using namespace CONFIG1;

struct EngineRow {
    const char* name;
    int cylinders, kind;
    std::array<int, 4> tdc, trigger, inj1, inj2;
    std::array<int, 10> settings;
};

constexpr int N = -1;   // no injector
constexpr int X = 0xFF; // no trigger output

// One record a line, as the catalogue is written down.
// clang-format off
const EngineRow kEngines[] = {
    {"<undefined>", 0, 0, {0, 0, 0, 0}, {X, X, X, X}, {N, N, N, N}, {N, N, N, N}, {0xff, 0xff, 0xff, 0xff, 1, 1, 1, 1, 1, 1}},
    {"1cyl 1trig Sinj", 1, 0, {0, 0, 0, 0}, {0, X, X, X}, {0, N, N, N}, {N, N, N, N}, {0, 0xff, 0, 0xff, 0, 1, 0, 1, 1, 1}},
    {"1cyl 1trig Dinj", 1, 1, {0, 0, 0, 0}, {0, X, X, X}, {0, N, N, N}, {1, N, N, N}, {0, 0xff, 0, 0xff, 0, 1, 0, 0, 1, 1}},
    {"1cyl 1trig Cinj", 1, 2, {0, 0, 0, 0}, {0, X, X, X}, {0, N, N, N}, {1, N, N, N}, {0, 0xff, 0, 0xff, 0, 1, 0, 0, 1, 1}},
    {"2cyl 2trig Sinj (odd)", 2, 0, {0, 1800, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {N, N, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl 2trig Dinj (odd)", 2, 1, {0, 1800, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Cinj (odd)", 2, 2, {0, 1800, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Sinj (even)", 2, 0, {0, 3600, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {N, N, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl 2trig Dinj (even)", 2, 1, {0, 3600, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Cinj (even)", 2, 2, {0, 3600, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Dinj (HD)", 2, 1, {0, 3150, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Cinj (HD)", 2, 2, {0, 3150, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl_Ducati 2trig Sinj", 2, 0, {0, 2700, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {N, N, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl_Ducati 2trig Dinj", 2, 1, {0, 2700, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl_Ducati 2trig Cinj", 2, 2, {0, 2700, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl-V75 2trig Sinj", 2, 0, {0, 2850, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {N, N, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl-V75 2trig Dinj", 2, 1, {0, 2850, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl-V75 2trig Cinj", 2, 2, {0, 2850, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl-V77 2trig Sinj", 2, 0, {0, 2830, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {N, N, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl-V77 2trig Dinj", 2, 1, {0, 2830, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl-V77 2trig Cinj", 2, 2, {0, 2830, 0, 0}, {0, 1, X, X}, {0, 1, N, N}, {2, 3, N, N}, {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"4cyl (1-3-4-2)", 4, 0, {0, 5400, 1800, 3600}, {0, 1, 1, 0}, {0, 1, 2, 3}, {N, N, N, N}, {0, 2, 3, 1, 0, 0, 0, 0, 0, 0}},
    {"4cyl (1-3-4-2) FG", 4, 3, {0, 5400, 1800, 3600}, {0, 1, 1, 0}, {0, 1, 2, 3}, {N, N, N, N}, {0, 2, 3, 1, 0, 0, 0, 0, 0, 0}},
    {"4cyl (1-2-4-3)", 4, 0, {0, 1800, 5400, 3600}, {0, 1, 1, 0}, {0, 1, 2, 3}, {N, N, N, N}, {0, 1, 3, 2, 0, 0, 0, 0, 0, 0}},
    {"4cyl (1-2-4-3) FG", 4, 3, {0, 1800, 5400, 3600}, {0, 1, 1, 0}, {0, 1, 2, 3}, {N, N, N, N}, {0, 1, 3, 2, 0, 0, 0, 0, 0, 0}},
    {"4cyl-V90 (1-2-3-4)", 4, 0, {0, 2700, 3600, 6300}, {0, 1, 1, 0}, {0, 1, 2, 3}, {N, N, N, N}, {0, 1, 3, 2, 0, 0, 0, 0, 0, 0}},
    {"T-Max", 2, 0, {0, 3600, 0, 0}, {0, 0, X, X}, {0, 1, N, N}, {N, N, N, N}, {0, 0xff, 1, 0xff, 0, 1, 0, 0, 1, 1}},
};
// clang-format on
static_assert(std::size(kEngines) == 27);

struct WheelRow {
    const char* name; // null: no ring entry
    std::array<int, 6> bytes;
};

// The "fas" wheels are the "smf" wheels twenty places earlier, on two revolutions with a cam sensor.
constexpr WheelRow Fas(const char* name, WheelRow smf) {
    return {name, {smf.bytes[0], smf.bytes[1], 1, 0, smf.bytes[4], smf.bytes[5]}};
}

constexpr WheelRow kSmf[] = {
    {"smf 8-1", {8, 1, 0, 1, 13, 4}},  {"smf12-1", {12, 1, 0, 1, 7, 4}},  {"smf12-2", {12, 2, 0, 1, 5, 2}},
    {"smf12-3", {12, 3, 0, 1, 13, 4}}, {"smf16-1", {16, 1, 0, 1, 7, 4}},  {"smf16-2", {16, 2, 0, 1, 5, 2}},
    {"smf16-3", {16, 3, 0, 1, 13, 4}}, {"smf18-1", {18, 1, 0, 1, 7, 4}},  {"smf18-2", {18, 2, 0, 1, 5, 2}},
    {"smf18-3", {18, 3, 0, 1, 13, 4}}, {"smf22-2", {22, 2, 0, 1, 5, 2}},  {"smf24-1", {24, 1, 0, 1, 7, 4}},
    {"smf24-2", {24, 2, 0, 1, 5, 2}},  {"smf24-3", {24, 3, 0, 1, 13, 4}}, {"smf30-2", {30, 2, 0, 1, 5, 2}},
    {"smf32-2", {32, 2, 0, 1, 5, 2}},  {"smf36-1", {36, 1, 0, 1, 7, 4}},  {"smf36-2", {36, 2, 0, 1, 5, 2}},
    {"smf48-2", {48, 2, 0, 1, 5, 2}},  {"smf60-2", {60, 2, 0, 1, 5, 2}},
};
constexpr const char* kFasNames[] = {"fas 8-1", "fas12-1", "fas12-2", "fas12-3", "fas16-1",
                                     "fas16-2", "fas16-3", "fas18-1", "fas18-2", "fas18-3",
                                     "fas22-2", "fas24-1", "fas24-2", "fas24-3", "fas30-2",
                                     "fas32-2", "fas36-1", "fas36-2", "fas48-2", "fas60-2"};
constexpr WheelRow kOthers[] = {
    {"cam4", {4, 0, 1, 0, 1, 1}},          {"cam6", {6, 0, 1, 0, 1, 1}},
    {"cam8", {8, 0, 1, 0, 1, 1}},          {"cam48-2", {48, 2, 1, 1, 5, 2}},
    {"harley cam2", {0, 1, 1, 0, 10, 12}}, {"3cam12", {0, 2, 1, 0, 1, 1}},
    {"smf ClioRS", {0, 170, 1, 0, 3, 2}},  {"fas ClioRS", {0, 3, 0, 1, 2, 1}},
    {nullptr, {0, 3, 1, 0, 2, 1}},
};

std::vector<WheelRow> Wheels() {
    std::vector<WheelRow> rows{{"<undefined>", {0, 0, 0, 1, 1, 1}}};
    rows.insert(rows.end(), std::begin(kSmf), std::end(kSmf));
    for (std::size_t i = 0; i < std::size(kSmf); ++i)
        rows.push_back(Fas(kFasNames[i], kSmf[i]));
    rows.insert(rows.end(), std::begin(kOthers), std::end(kOthers));
    return rows;
}

std::int64_t Signed(std::size_t offset) {
    return ReadField(Image::Par, offset, Raw::I8);
}

TEST_F(ConfigTest, EveryEngineRecordWritesItsFieldsAndIsFoundAgain) {
    const std::vector<std::string> ring = RingLabels(hCg1Panel, RINGengType);
    ASSERT_EQ(ring.size(), std::size(kEngines));
    for (std::size_t i = 0; i < std::size(kEngines); ++i) {
        const EngineRow& row = kEngines[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ring[i], row.name);
        SetEngType(static_cast<std::uint8_t>(i));
        EXPECT_EQ(ParByte(0x6E2), row.cylinders);
        EXPECT_EQ(ParByte(0x6E0), row.kind);
        for (std::size_t c = 0; c < 4; ++c) {
            EXPECT_EQ(ParWord(0x6C2 + 2 * c), row.tdc[c]) << "cylinder " << c + 1;
            EXPECT_EQ(ParByte(0x6CA + c), row.trigger[c]) << "cylinder " << c + 1;
            EXPECT_EQ(Signed(0x6CE + c), row.inj1[c]) << "cylinder " << c + 1;
            EXPECT_EQ(Signed(0x6D2 + c), row.inj2[c]) << "cylinder " << c + 1;
        }
        for (std::size_t b = 0; b < 10; ++b)
            EXPECT_EQ(ParByte(0x6E3 + b), row.settings[b]) << "byte " << 22 + b;
        if (i > 0) {
            EXPECT_EQ(GetEngType(), i); // record 0 is only ever "none"
        }
    }
}

TEST_F(ConfigTest, EveryWheelRecordWritesItsBytesAndIsFoundAgain) {
    const std::vector<WheelRow> wheels = Wheels();
    ASSERT_EQ(wheels.size(), 50u);
    const std::vector<std::string> ring = RingLabels(hCg1Panel, RINGquadroSegnali);
    ASSERT_EQ(ring.size(), 49u);
    for (std::size_t i = 0; i < wheels.size(); ++i) {
        SCOPED_TRACE(i);
        if (wheels[i].name != nullptr) {
            EXPECT_EQ(ring[i], wheels[i].name);
        }
        SetTwa(static_cast<std::uint8_t>(i));
        for (std::size_t b = 0; b < 6; ++b)
            EXPECT_EQ(ParByte(0x6ED + b), wheels[i].bytes[b]) << "byte " << b;
        if (i > 0) {
            EXPECT_EQ(GetQuadro(), i);
        }
    }
}

} // namespace
