#include "mapfixture.h"

#include <algorithm>
#include <cstddef>
#include <set>
#include <string>

namespace {

using Catalogue = MapImages;

bool AllEqual(const std::int16_t* a, int n, std::int16_t v) {
    return std::all_of(a, a + n, [v](auto x) { return x == v; });
}

bool AllCells(const MapBlock& b, std::int16_t v) {
    for (int m = 0; m < b.matrices; ++m)
        if (!AllEqual(&b.cells[m][0][0], kMapRows * kMapCols, v)) return false;
    return true;
}

// Every record, field by field, as the catalogue's own tables give it (not as the resource has it).
TEST_F(Catalogue, RecordsMatchTheTables) {
    struct Row {
        int id;
        const char* tab;
        int matrices;
        int flagByte;
        std::uint8_t flagBit;
        int decimals;
        double min, max, scale;
        bool addOnly;
        std::int16_t cell;
        ParCond inactiveWhen;
    };
    constexpr ParCond kNever = ParCond::Never;
    const Row rows[] = {
        {1, "Inj. by Throttle", 4, 0, 0x80, 3, 0, 32, 1000, false, 0, ParCond::TurboOn},
        {2, "Inj. by MAP", 4, 0, 0x40, 3, 0, 32, 1000, false, 0, kNever},
        {3, "Adv.", 1, 0, 0, 1, -720, 720, 10, true, 0, kNever},
        {4, "Cranking", 1, 0, 0, 3, 0, 32, 1000, false, 1000, kNever},
        {5, "Inj. [Gear]", 6, 0, 0x10, 3, 0, 2, 1000, false, 1000, kNever},
        {6, "Adv. [Gear]", 6, 0, 0x20, 1, -720, 720, 10, true, 0, kNever},
        {7, "Inj. [Velocity]", 1, 0, 0, 3, 0, 2, 1000, false, 1000, kNever},
        {8, "Adv. [Velocity]", 1, 0, 0, 1, -720, 720, 10, true, 0, kNever},
        {9, "Inj. [Acceleration]", 36, 0, 0x02, 3, 0, 2, 1000, false, 1000, kNever},
        {10, "Adv. [Acceleration]", 36, 0, 0x04, 1, -720, 720, 10, true, 0, kNever},
        {11, "Inj. Low", 1, 0, 0, 3, 0, 2, 1000, false, 1000, ParCond::InjKindNot1},
        {12, "Inj. High", 1, 0, 0, 3, 0, 2, 1000, false, 1000, ParCond::InjKindNot1},
        {13, "Injection Partition", 1, 0, 0, 1, 0, 100, 10, true, 500, ParCond::InjKindNot1},
        {14, "Auxiliary Throttle", 6, 0, 0x08, 1, 0, 100, 10, true, 0, ParCond::StepperNot1},
        {15, "PWM Out", 6, 0, 0x01, 1, 0, 100, 10, true, 0, kNever},
        {16, "DriveByWire 1", 6, 1, 0x02, 1, 0, 100, 10, true, 0, ParCond::ExtDbwOff},
        {17, "DriveByWire 2", 6, 1, 0x01, 1, 0, 100, 10, true, 0, ParCond::ExtDbwOff},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "map " << r.id);
        const MapDesc* d = FindMapDesc(r.id);
        ASSERT_NE(d, nullptr);
        EXPECT_STREQ(d->tabCaption, r.tab);
        EXPECT_EQ(Block(r.id).matrices, r.matrices);
        if (r.flagBit != 0) {
            EXPECT_EQ(d->flagByte, r.flagByte);
        }
        EXPECT_EQ(d->flagBit, r.flagBit);
        EXPECT_EQ(d->valDecimals, r.decimals);
        EXPECT_EQ(d->valMin, r.min);
        EXPECT_EQ(d->valMax, r.max);
        EXPECT_EQ(d->valScale, r.scale);
        EXPECT_EQ(d->addOnly, r.addOnly);
        EXPECT_EQ(d->defaultCell, r.cell);
        EXPECT_EQ(d->inactiveWhen, r.inactiveWhen);
    }
}

// Which maps the engine configuration leaves inactive, for every map, from the configuration bytes alone:
// map 1 while turbo is enabled (0x77D not 0), maps 11, 12 and 13 unless the injection kind (0x6E0) is 1
// (double injectors), map 14 unless the stepper type (0x7AF) is 1 (auxiliary throttle), maps 16 and 17
// while external drive-by-wire (0x7B3) is 0; the PWM-output-by-pressure byte (0x77E) and every other map
// never.
TEST_F(Catalogue, ConfigurationBytesLeaveTheRightMapsInactive) {
    struct Config {
        std::uint8_t injKind, turbo, pwmByPressure, stepper, extDbw;
    };
    struct Case {
        const char* what;
        Config config;
        std::set<int> inactive;
    };
    constexpr Config kAllOn{1, 0, 0, 1, 1};
    const Case cases[] = {
        {"everything the maps need", kAllOn, {}},
        {"turbo", {1, 1, 0, 1, 1}, {1}},
        {"turbo, any nonzero byte", {1, 0x80, 0, 1, 1}, {1}},
        {"PWM output by pressure", {1, 0, 1, 1, 1}, {}},
        {"single injectors", {0, 0, 0, 1, 1}, {11, 12, 13}},
        {"compound injection", {2, 0, 0, 1, 1}, {11, 12, 13}},
        {"full-group injection", {3, 0, 0, 1, 1}, {11, 12, 13}},
        {"no stepper", {1, 0, 0, 0, 1}, {14}},
        {"stepper for the idle", {1, 0, 0, 2, 1}, {14}},
        {"stepper as engine brake", {1, 0, 0, 4, 1}, {14}},
        {"no drive-by-wire", {1, 0, 0, 1, 0}, {16, 17}},
        {"drive-by-wire, any nonzero byte", {1, 0, 0, 1, 2}, {}},
        {"everything off", {0, 1, 1, 0, 0}, {1, 11, 12, 13, 14, 16, 17}},
    };
    auto* par = reinterpret_cast<std::uint8_t*>(&ecuParData);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        par[0x6E0] = c.config.injKind;
        par[0x77D] = c.config.turbo;
        par[0x77E] = c.config.pwmByPressure;
        par[0x7AF] = c.config.stepper;
        par[0x7B3] = c.config.extDbw;
        for (int id = 1; id <= kMapCount; ++id)
            EXPECT_EQ(IsMapInactive(*FindMapDesc(id)), c.inactive.contains(id)) << "map " << id;
    }
}

// Where each map lies in the mapping image, its axes and its default breakpoints with the load-axis
// switches clear and set, and its value captions, through the current-map queries, for every map as the
// catalogue's tables give them.
TEST_F(Catalogue, EveryMapsStorageAxesAndCaptions) {
    struct Axis {
        const char* caption;
        int decimals;
        double min, max, scale;
    };
    constexpr Axis kSpeed{" EngineSpeed [rpm]", 0, 0, 20000, 1};
    constexpr Axis kRevs{" Revolutions", 0, 0, 32767, 1};
    constexpr Axis kVelocity{"Velocity [Km/h]", 0, 0, 500, 1};
    constexpr Axis kThrottle{"Throttle [°]", 1, 0, 100, 10};
    constexpr Axis kPressure{"Air Pressure [mBar]", 0, 0, 10000, 1};
    constexpr Axis kWater{"Water Temperature [°C]", 1, -30, 250, 10};
    struct Row {
        int id;
        std::ptrdiff_t block, x, y, z; // offsets in EcuMapData; z 0: none
        Axis xAxis, yClear, ySet;      // Y with the map's switch byte 0 and not 0
        std::int16_t yDefaultClear, yDefaultSet;
        const char* plain;
        const char* second; // the per-matrix caption of the second cylinder or gear (null: one matrix)
    };
    const Row rows[] = {
        {1, 0x16B30, 0x17F30, 0x17F70, 0, kSpeed, kThrottle, kThrottle, 0, 0, "TerogBase [ms]",
         "TerogBase(2) [ms]"},
        {2, 0x17F98, 0x19398, 0x193D8, 0, kSpeed, kPressure, kPressure, 1000, 1000, "TerogBase [ms]",
         "TerogBase(2) [ms]"},
        {3, 0x19400, 0x19900, 0x19940, 0, kSpeed, kThrottle, kPressure, 0, 1000, "TetaBase [°]", nullptr},
        {4, 0x26010, 0x26510, 0x26550, 0, kRevs, kWater, kWater, 0, 0, "KJCrank", nullptr},
        {5, 0x19968, 0x1B768, 0x1B7A8, 0, kSpeed, kThrottle, kThrottle, 0, 0, "KJGear", "KJGear(2)"},
        {6, 0x1B7D0, 0x1D5D0, 0x1D610, 0, kSpeed, kThrottle, kThrottle, 0, 0, "KAGear", "KAGear(2) [°]"},
        {7, 0x25540, 0x25A40, 0x25A80, 0, kVelocity, kThrottle, kThrottle, 0, 0, "KJVel", nullptr},
        {8, 0x25AA8, 0x25FA8, 0x25FE8, 0, kVelocity, kThrottle, kThrottle, 0, 0, "KAVel [°]", nullptr},
        {9, 0x001D0, 0x0B5D0, 0x0B610, 0x0B638, kSpeed, kThrottle, kThrottle, 0, 0, "KJAcc",
         "KJAcc(A7,G2) [°]"},
        {10, 0x0B680, 0x16A80, 0x16AC0, 0x16AE8, kSpeed, kThrottle, kThrottle, 0, 0, "KAAcc",
         "KAAcc(A7,G2) [°]"},
        {11, 0x26578, 0x26A78, 0x26AB8, 0, kSpeed, kThrottle, kPressure, 0, 1000, "KJRipLow", nullptr},
        {12, 0x26AE0, 0x26FE0, 0x27020, 0, kSpeed, kThrottle, kPressure, 0, 1000, "KJRipHigh", nullptr},
        {13, 0x24FD8, 0x254D8, 0x25518, 0, kSpeed, kThrottle, kPressure, 0, 1000, "KJRipBase [%]", nullptr},
        {14, 0x1D638, 0x1F438, 0x1F478, 0, kSpeed, kThrottle, kThrottle, 0, 0, "AuxThrottle [%]",
         "AuxThrottle(gear2) [%]"},
        {15, 0x1F4A0, 0x212A0, 0x212E0, 0, kSpeed, kThrottle, kPressure, 0, 1000, "PWM [%]",
         "PWM(gear2) [%]"},
        {16, 0x21308, 0x23108, 0x23148, 0, kSpeed, kThrottle, kThrottle, 0, 0, "Drive-by-Wire 1 [%]",
         "Drive-by-Wire 1(gear2) [%]"},
        {17, 0x23170, 0x24F70, 0x24FB0, 0, kSpeed, kThrottle, kThrottle, 0, 0, "Drive-by-Wire 2 [%]",
         "Drive-by-Wire 2(gear2) [%]"},
    };
    const auto offset = [](const void* p) {
        return static_cast<const std::uint8_t*>(p) - reinterpret_cast<const std::uint8_t*>(&ecuMapData);
    };
    const auto expectAxis = [](const Axis& a, const char* caption, int decimals, double min, double max,
                               double scale) {
        EXPECT_STREQ(caption, a.caption);
        EXPECT_EQ(decimals, a.decimals);
        EXPECT_EQ(min, a.min);
        EXPECT_EQ(max, a.max);
        EXPECT_EQ(scale, a.scale);
    };
    Cylinders() = 4;
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "map " << r.id);
        idCurMap = static_cast<std::uint8_t>(r.id);
        const MapDesc& d = *CurMapDesc();
        // The first matrix, then the second cylinder or gear (maps 9 and 10: of level 0, whose Z is 7).
        CurMapInfo info{};
        ASSERT_TRUE(GetCurMapInfo(&info));
        EXPECT_EQ(offset(info.matrix), r.block);
        EXPECT_EQ(offset(info.x), r.x);
        EXPECT_EQ(offset(info.y), r.y);
        EXPECT_EQ(info.z == nullptr ? 0 : offset(info.z), r.z);
        EXPECT_EQ(info.zScale, 1);
        if (d.selector != kNoSel) {
            aCurMatSel[d.selector] = 1;
            if (r.z != 0) Block(r.id).z[1][0] = 7;
            ASSERT_TRUE(GetCurMapInfo(&info));
            EXPECT_EQ(offset(info.matrix), r.block + (r.z != 0 ? 6 : 1) * 1280);
            EXPECT_EQ(info.z == nullptr ? 0 : offset(info.z), r.z == 0 ? 0 : r.z + 12);
        }
        EXPECT_EQ(GetCurMapValLabel(), std::string(r.second != nullptr ? r.second : r.plain));
        if (d.flagBit != 0) {
            SetSingle(r.id, true);
            EXPECT_EQ(GetCurMapValLabel(), std::string(r.plain));
        }
        // Both switch bytes clear, then the turbo byte alone, then the PWM-output-by-pressure byte alone:
        // the Y axis and its default follow the map's own switch only.
        for (const int byte : {0, 0x77D, 0x77E}) {
            SCOPED_TRACE(testing::Message() << "switch byte " << byte);
            Turbo() = byte == 0x77D ? 1 : 0;
            ecuParData.b772[0x77E - 0x772] = byte == 0x77E ? 1 : 0;
            const bool set = byte != 0 && byte == (r.id == 15 ? 0x77E : 0x77D);
            const Axis& y = set ? r.ySet : r.yClear;
            CurMapAttr a{};
            ASSERT_TRUE(GetCurMapAttribute(&a));
            ASSERT_TRUE(GetCurMapInfo(&info));
            expectAxis(r.xAxis, GetCurMapXlabel(), a.xDecimals, a.xMin, a.xMax, info.xScale);
            expectAxis(y, GetCurMapYlabel(), a.yDecimals, a.yMin, a.yMax, info.yScale);
            InitMp1Data(static_cast<std::uint8_t>(r.id));
            EXPECT_TRUE(AllEqual(Block(r.id).x, kMapCols, 0));
            EXPECT_TRUE(AllEqual(Block(r.id).y, kMapRows, set ? r.yDefaultSet : r.yDefaultClear));
        }
        Turbo() = 0;
        ecuParData.b772[0x77E - 0x772] = 0;
    }
}

TEST_F(Catalogue, DefaultsAfterReset) {
    struct Case {
        int id;
        std::int16_t cell, x, y;
    };
    const Case cases[] = {{1, 0, 0, 0},    {2, 0, 0, 1000}, {3, 0, 0, 0},    {4, 1000, 0, 0}, {5, 1000, 0, 0},
                          {9, 1000, 0, 0}, {10, 0, 0, 0},   {13, 500, 0, 0}, {15, 0, 0, 0},   {17, 0, 0, 0}};
    for (const Case& c : cases) {
        const MapBlock b = Block(c.id);
        EXPECT_TRUE(AllCells(b, c.cell)) << "map " << c.id;
        EXPECT_TRUE(AllEqual(b.x, kMapCols, c.x)) << "map " << c.id;
        EXPECT_TRUE(AllEqual(b.y, kMapRows, c.y)) << "map " << c.id;
    }
    EXPECT_TRUE(AllEqual(&Block(9).z[0][0], kMapGears * kMapLevels, 0));
    EXPECT_EQ(Block(1).matrices, 4);
    EXPECT_EQ(Block(9).matrices, 36);
}

TEST_F(Catalogue, SwitchBytesChooseTheAirPressureAxisAtTheMomentOfTheCall) {
    Turbo() = 1;
    ecuParData.b772[0x77E - 0x772] = 1; // PWM output by pressure
    for (int id : {3, 11, 12, 13, 15}) {
        InitMp1Data(static_cast<std::uint8_t>(id));
        EXPECT_TRUE(AllEqual(Block(id).y, kMapRows, 1000)) << "map " << id;
        EXPECT_EQ(YAxisOf(*FindMapDesc(id)).scale, 1) << "map " << id;
    }
    InitMp1Data(1); // map 1 has no switch: its Y axis stays on the throttle
    EXPECT_TRUE(AllEqual(Block(1).y, kMapRows, 0));
    Turbo() = 0;
    EXPECT_EQ(YAxisOf(*FindMapDesc(3)).scale, 10); // stored breakpoints are not converted
    EXPECT_EQ(Block(3).y[0], 1000);
}

TEST_F(Catalogue, ResetOfAnyIdClearsTheFlagsAndTheNotesFirst) {
    for (int id : {0, 7, 18}) {
        ecuMapData.singleMatFlags[0] = 0xFF;
        ecuMapData.singleMatFlags[1] = 0x03;
        std::strcpy(ecuMapData.notes, "tuned on the dyno");
        Block(7).cells[0][0][0] = 1234;
        InitMp1Data(static_cast<std::uint8_t>(id));
        EXPECT_EQ(ecuMapData.singleMatFlags[0], 0) << id;
        EXPECT_EQ(ecuMapData.singleMatFlags[1], 0) << id;
        EXPECT_EQ(ecuMapData.notes[0], '\0') << id;
        EXPECT_EQ(Block(7).cells[0][0][0], id == 7 ? 1000 : 1234) << id;
    }
}

TEST_F(Catalogue, ResetTouchesOnlyItsOwnBlock) {
    EcuMapData before;
    std::memcpy(&before, &ecuMapData, sizeof before);
    std::memset(Block(5).cells, 0x11, sizeof(MapMatrix) * 6);
    InitMp1Data(5);
    EXPECT_EQ(std::memcmp(&before, &ecuMapData, sizeof before), 0);
}

TEST_F(Catalogue, CylinderCountNeverExceedsTheStoredMatrices) {
    const struct {
        std::uint8_t byte;
        int cylinders, pickable;
    } cases[] = {{0, 0, 0}, {1, 1, 0}, {2, 2, 2}, {4, 4, 4}, {9, 4, 4}, {255, 4, 4}};
    for (const auto& c : cases) {
        Cylinders() = c.byte;
        EXPECT_EQ(MapCylinders(), c.cylinders) << int(c.byte);
        EXPECT_EQ(PickableMatrices(*FindMapDesc(1)), c.pickable) << int(c.byte);
        EXPECT_EQ(ShowsOneMatrix(*FindMapDesc(2)), c.pickable == 0) << int(c.byte);
    }
}

TEST_F(Catalogue, ValueCaptions) {
    Cylinders() = 4;
    Block(9).z[2][4] = -150;
    struct Case {
        int id;
        int selector, level; // selector value of the map's cylinder or gear choice, level of maps 9/10
        bool single;
        std::string caption;
    };
    const Case cases[] = {
        {1, 2, 0, false, "TerogBase(3) [ms]"},
        {1, 2, 0, true, "TerogBase [ms]"},
        {3, 0, 0, false, "TetaBase [°]"},
        {5, 1, 0, false, "KJGear(2)"},
        {6, 5, 0, false, "KAGear(6) [°]"},
        {9, 2, 4, false, "KJAcc(A-150,G3) [°]"},
        {9, 2, 4, true, "KJAcc"},
        {13, 0, 0, false, "KJRipBase [%]"},
        {14, 0, 0, false, "AuxThrottle(gear1) [%]"},
        {17, 3, 0, true, "Drive-by-Wire 2 [%]"},
        {16, 3, 0, false, "Drive-by-Wire 1(gear4) [%]"},
    };
    for (const Case& c : cases) {
        idCurMap = static_cast<std::uint8_t>(c.id);
        const MapDesc& d = *CurMapDesc();
        if (d.selector != kNoSel) aCurMatSel[d.selector] = static_cast<std::uint8_t>(c.selector);
        if (d.levelSelector != kNoSel) aCurMatSel[d.levelSelector] = static_cast<std::uint8_t>(c.level);
        SetSingle(c.id, c.single);
        EXPECT_EQ(GetCurMapValLabel(), c.caption) << "map " << c.id;
    }
}

TEST_F(Catalogue, AxisCaptionsFollowTheTurboByte) {
    idCurMap = 13;
    EXPECT_STREQ(GetCurMapYlabel(), "Throttle [°]");
    Turbo() = 1;
    EXPECT_STREQ(GetCurMapYlabel(), "Air Pressure [mBar]");
    EXPECT_STREQ(GetCurMapValLabel(), "KJRipBase [%]");
    CurMapAttr a;
    ASSERT_TRUE(GetCurMapAttribute(&a));
    EXPECT_EQ(a.yDecimals, 0);
    EXPECT_EQ(a.yMax, 10000);
    EXPECT_STREQ(GetCurMapXlabel(), " EngineSpeed [rpm]");
    EXPECT_STREQ(GetCurMapZlabel(), "?");
    idCurMap = 10;
    EXPECT_STREQ(GetCurMapZlabel(), "Engine Acceleration [rpm/sec]");
    idCurMap = 7;
    EXPECT_STREQ(GetCurMapXlabel(), "Velocity [Km/h]");
}

TEST_F(Catalogue, InvalidCurrentMapAnswersNothing) {
    idCurMap = 18;
    CurMapInfo info{};
    CurMapAttr attr{};
    EXPECT_FALSE(GetCurMapInfo(&info));
    EXPECT_FALSE(GetCurMapAttribute(&attr));
    EXPECT_FALSE(IsSingleMat());
    EXPECT_EQ(GetCurMapValLabel(), nullptr);
    EXPECT_EQ(GetCurMapXlabel(), nullptr);
    EXPECT_FALSE(ChangeCurMapCells(-1, -1, 1, 0, false, false, false));
    EXPECT_FALSE(FixCurMapBreakpoints());
}

} // namespace
