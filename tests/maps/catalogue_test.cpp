#include "mapfixture.h"

#include <algorithm>
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
