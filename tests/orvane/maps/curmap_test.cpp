#include "mapfixture.h"

#include <utility>
#include <vector>

namespace {

using CurMap = MapImages;

MapMatrix& Current() {
    CurMapInfo info;
    EXPECT_TRUE(GetCurMapInfo(&info));
    return *info.matrix;
}

TEST_F(CurMap, CellArithmetic) {
    struct Case {
        int id;
        std::int16_t before;
        double add, factor;
        std::int16_t after;
    };
    const Case cases[] = {
        {5, 1000, 0, 1.5, 1500},   // multiply
        {5, 1500, 0, 1.5, 2000},   // clamped to the map's 2 (x1000)
        {5, 333, 0, 1.5, 499},     // 499.5 cut toward zero
        {6, 100, 0, 1.5, 100},     // add-only map: the factor means nothing
        {1, 2000, 5, 0, 2005},     // factor 0 with an addend adds raw steps
        {1, 2000, 0, 0, 0},        // factor 0 without an addend gives 0
        {1, 2000, 5, 2, 4000},     // a factor other than 0 multiplies, the addend is not used
        {3, 0, -7200.7, 0, -7200}, // clamped before the cut
        {3, 0, -3.9, 0, -3},       // cut toward zero
        {3, 7100, 250, 0, 7200},   {13, 0, -5, 0, 0},
    };
    for (const Case& c : cases) {
        idCurMap = static_cast<std::uint8_t>(c.id);
        Current()[4][7] = c.before;
        ASSERT_TRUE(ChangeCurMapCells(7, 4, c.add, c.factor, false, false, false)) << "map " << c.id;
        EXPECT_EQ(Current()[4][7], c.after) << "map " << c.id << " from " << c.before;
    }
}

TEST_F(CurMap, WholeRowsColumnsAndMatrixOfTheCurrentMatrixOnly) {
    idCurMap = 5;
    aCurMatSel[kSelMap5Gear] = 2;
    ASSERT_TRUE(ChangeCurMapCells(-1, -1, 0, 1.5, false, false, false));
    for (int g = 0; g < kMapGears; ++g)
        EXPECT_EQ(Block(5).cells[g][19][31], g == 2 ? 1500 : 1000) << "gear " << g;
    ASSERT_TRUE(ChangeCurMapCells(3, -1, 0, 0, false, false, false));
    EXPECT_EQ(Current()[0][3], 0);
    EXPECT_EQ(Current()[19][3], 0);
    EXPECT_EQ(Current()[0][4], 1500);
    ASSERT_TRUE(ChangeCurMapCells(-1, 19, 0, 0, false, false, false));
    EXPECT_EQ(Current()[19][31], 0);
    EXPECT_EQ(Current()[18][31], 1500);
}

TEST_F(CurMap, RestoreFromTheReference) {
    idCurMap = 4;
    RefBlock(4).cells[0][2][3] = 1777;
    RefBlock(4).x[5] = 300;
    RefBlock(4).y[6] = 40;
    Current()[2][4] = 999;
    ASSERT_TRUE(ChangeCurMapCells(3, 2, 0, 0, true, true, false));
    EXPECT_EQ(Current()[2][3], 1777);
    EXPECT_EQ(Current()[2][4], 999); // only the addressed cell
    EXPECT_EQ(Block(4).x[5], 300);
    EXPECT_EQ(Block(4).y[6], 0); // Y not asked for
}

TEST_F(CurMap, OutOfRangeAddressChangesNothing) {
    idCurMap = 1;
    for (const auto& [col, row] : std::vector<std::pair<int, int>>{{32, 0}, {-2, 0}, {0, 20}, {0, -2}}) {
        EXPECT_FALSE(ChangeCurMapCells(col, row, 0, 0, false, true, true));
    }
    EXPECT_EQ(Current()[0][0], 0);
}

// While the single-matrix bit is set the first matrix is the one shown and edited, whatever is selected.
TEST_F(CurMap, SingleMatrixEditsTheFirstMatrix) {
    struct Case {
        int id;
        int selector, level;
        int index; // the matrix edited
    };
    const Case cases[] = {{1, 3, 0, 0}, {5, 4, 0, 0}, {17, 5, 0, 0}, {9, 2, 4, 4}, {10, 5, 1, 1}};
    Cylinders() = 4;
    for (const Case& c : cases) {
        idCurMap = static_cast<std::uint8_t>(c.id);
        const MapDesc& d = *CurMapDesc();
        aCurMatSel[d.selector] = static_cast<std::uint8_t>(c.selector);
        if (d.levelSelector != kNoSel) aCurMatSel[d.levelSelector] = static_cast<std::uint8_t>(c.level);
        SetSingle(c.id, true);
        EXPECT_EQ(&Current(), &Block(c.id).cells[c.index]) << "map " << c.id;
        EXPECT_EQ(CurMatrixNumber(d), 1) << "map " << c.id;
        SetSingle(c.id, false);
        EXPECT_NE(&Current(), &Block(c.id).cells[c.index]) << "map " << c.id;
    }
}

TEST_F(CurMap, SelectorsBeyondTheirCountStayInsideTheBlock) {
    idCurMap = 2;
    Cylinders() = 9;
    aCurMatSel[kSelMap2Cyl] = 7;
    EXPECT_EQ(&Current(), &Block(2).cells[3]);
    Cylinders() = 1;
    EXPECT_EQ(&Current(), &Block(2).cells[0]);
    idCurMap = 14;
    aCurMatSel[kSelMap14Gear] = 200;
    EXPECT_EQ(&Current(), &Block(14).cells[5]);
}

TEST_F(CurMap, CurrentZBreakpointsAreTheCurrentGears) {
    idCurMap = 10;
    aCurMatSel[kSelMap10Gear] = 3;
    CurMapInfo info;
    ASSERT_TRUE(GetCurMapInfo(&info));
    EXPECT_EQ(info.z, Block(10).z[3]);
    EXPECT_EQ(info.refZ, RefBlock(10).z[3]);
    EXPECT_EQ(info.single, 0);
    idCurMap = 15;
    ASSERT_TRUE(GetCurMapInfo(&info));
    EXPECT_EQ(info.z, nullptr);
    EXPECT_EQ(info.refZ, nullptr);
    idCurMap = 8;
    ASSERT_TRUE(GetCurMapInfo(&info));
    EXPECT_EQ(info.single, 1);
    EXPECT_EQ(info.valScale, 10);
}

std::vector<std::pair<unsigned, unsigned>> progressSeen;
void RecordProgress(unsigned done, unsigned total) {
    progressSeen.emplace_back(done, total);
}

TEST_F(CurMap, AlignmentCopiesTheFirstMatrixOverThoseInUse) {
    struct Case {
        int id;
        std::uint8_t cylinders;
        int copies; // matrices that take matrix 0 (unit: a matrix, or the six levels of a gear)
        int unit;
        int stored;
    };
    const Case cases[] = {{1, 3, 2, 1, 4}, {1, 1, 0, 1, 4}, {1, 0, 0, 1, 4},
                          {2, 9, 3, 1, 4}, {5, 0, 5, 1, 6}, {9, 0, 5, 6, 36}};
    for (const Case& c : cases) {
        SetUp();
        Cylinders() = c.cylinders;
        MapBlock b = Block(c.id);
        for (int m = 0; m < b.matrices; ++m)
            b.cells[m][0][0] = static_cast<std::int16_t>(100 + m);
        const int next = c.id == 1   ? 2
                         : c.id == 2 ? 3
                         : c.id == 5 ? 6
                                     : 10; // the block that follows in the image
        Block(next).cells[0][0][0] = 4321;
        progressSeen.clear();
        AlignMapMatrixes(static_cast<std::uint8_t>(c.id), RecordProgress);
        for (int m = 0; m < c.stored; ++m) {
            const bool copied = m >= c.unit && m < c.unit * (c.copies + 1);
            EXPECT_EQ(b.cells[m][0][0], copied ? 100 + m % c.unit : 100 + m)
                << "map " << c.id << " matrix " << m;
        }
        EXPECT_EQ(Block(next).cells[0][0][0], 4321);
        const unsigned bytes = 1280u * c.unit;
        ASSERT_EQ(progressSeen.size(), static_cast<std::size_t>(c.copies + 2)) << "map " << c.id;
        EXPECT_EQ(progressSeen.front(), std::make_pair(0u, bytes * c.copies));
        EXPECT_EQ(progressSeen.back(), std::make_pair(0u, 0u));
        if (c.copies > 0) {
            EXPECT_EQ(progressSeen[1], std::make_pair(bytes, bytes * c.copies));
        }
    }
}

TEST_F(CurMap, AlignmentOfMapsWithOneMatrixDoesNothing) {
    progressSeen.clear();
    AlignMapMatrixes(3, RecordProgress);
    AlignMapMatrixes(0, RecordProgress);
    EXPECT_TRUE(progressSeen.empty());
}

TEST_F(CurMap, ZAlignmentCopiesGearZero) {
    MapBlock b = Block(9);
    for (int g = 0; g < kMapGears; ++g)
        for (int l = 0; l < kMapLevels; ++l)
            b.z[g][l] = static_cast<std::int16_t>(g * 10 + l);
    AlignCurMapZBreakpoints(9);
    for (int g = 1; g < kMapGears; ++g)
        for (int l = 0; l < kMapLevels; ++l)
            EXPECT_EQ(b.z[g][l], l);
    AlignCurMapZBreakpoints(5); // no Z axis: nothing
}

TEST_F(CurMap, BreakpointRepair) {
    idCurMap = 9;
    aCurMatSel[kSelMap9Gear] = 1;
    MapBlock b = Block(9);
    const std::int16_t x[] = {0, 500, 400, 600};
    std::copy(std::begin(x), std::end(x), b.x);
    std::fill_n(b.x + 4, kMapCols - 4, std::int16_t{600});
    b.y[3] = -5; // below its predecessor 0
    b.z[1][2] = -100;
    b.z[0][2] = -100; // another gear: not repaired
    EXPECT_TRUE(FixCurMapBreakpoints());
    EXPECT_EQ(b.x[2], 500);
    EXPECT_EQ(b.x[3], 600);
    EXPECT_EQ(b.y[3], 0);
    EXPECT_EQ(b.z[1][2], 0);
    EXPECT_EQ(b.z[0][2], -100);
    EXPECT_FALSE(FixCurMapBreakpoints());
}

TEST_F(CurMap, MatricesWrittenForAllAndCopy) {
    struct Case {
        int id;
        std::uint8_t cylinders;
        int level;
        std::vector<int> matrices;
    };
    const std::vector<Case> cases = {
        {1, 3, 0, {0, 1, 2}}, {2, 9, 0, {0, 1, 2, 3}},       {2, 0, 0, {0}},
        {3, 4, 0, {0}},       {5, 4, 0, {0, 1, 2, 3, 4, 5}}, {10, 4, 2, {2, 8, 14, 20, 26, 32}},
    };
    for (const Case& c : cases) {
        Cylinders() = c.cylinders;
        idCurMap = static_cast<std::uint8_t>(c.id);
        if (c.id == 10) aCurMatSel[kSelMap10Level] = static_cast<std::uint8_t>(c.level);
        MatrixList list;
        const int n = AllMatrixIndexes(*FindMapDesc(c.id), list);
        EXPECT_EQ(std::vector<int>(list.begin(), list.begin() + n), c.matrices) << "map " << c.id;
    }
}

} // namespace
