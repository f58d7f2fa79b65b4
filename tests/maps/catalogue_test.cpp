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
