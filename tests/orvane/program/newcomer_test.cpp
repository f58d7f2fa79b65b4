// What a newcomer's images hold: the program started without settings or data files, every field of every
// editor page at the default its page gives it, read straight from the two images.
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/fields.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/params/cocedit.h"
#include "orvane/ui/screen.h"
#include "orvanefixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <span>

namespace {

using enum Raw;

// count fields of type raw from offset, stride bytes apart (0: back to back), field i holding
// value + i * step.
struct Want {
    std::size_t offset;
    Raw raw;
    int count;
    std::int64_t value;
    std::size_t stride = 0;
    std::int64_t step = 0;
};

void ExpectImage(Image image, std::span<const Want> wants) {
    for (const Want& w : wants) {
        const std::size_t stride = w.stride != 0 ? w.stride : RawSize(w.raw);
        for (int i = 0; i < w.count; ++i) {
            const std::size_t at = w.offset + i * stride;
            EXPECT_EQ(ReadField(image, at, w.raw), w.value + i * w.step)
                << std::hex << "field at +0x" << at << std::dec << " (" << i << " of the run at +0x"
                << std::hex << w.offset << ")";
        }
    }
}

struct Newcomer : testing::Test {
    static void SetUpTestSuite() { StartOrvaneOnce(); }
};

} // namespace

TEST_F(Newcomer, EngineConfigurationPage1) {
    const Want wants[] = {
        {0x040, U8, 400, 0},   {0x6BE, I16, 1, 0},    {0x6C0, U16, 1, 0},    {0x6F3, U8, 1, 0},
        {0x6F6, I16, 2, 0},    {0x6F4, U16, 1, 0},    {0x6D8, U16, 1, 1000}, {0x6D6, U16, 1, 0},
        {0x6DA, U16, 3, 0},    {0x6B0, I16, 1, 1000}, {0x6FA, U16, 7, 0},    {0x7AE, U8, 1, 1},
        {0x770, U16, 1, 1000}, {0x772, U8, 1, 0},     {0x773, U8, 1, 1},     {0x774, U8, 5, 0},
        {0x779, U8, 1, 0},     {0x77A, U8, 2, 0},     {0x77D, U8, 2, 0},     {0x7B7, U8, 1, 0},
        {0x786, U16, 1, 100},  {0x784, U16, 1, 0},    {0x7B4, U8, 1, 0},     {0x6E1, U8, 1, 0},
        {0x7AC, I16, 1, 7200},
    };
    ExpectImage(Image::Par, wants);
}

TEST_F(Newcomer, EngineConfigurationPage2) {
    const Want wants[] = {
        {0x6A4, I32, 3, 0},
        {0x6B6, U16, 2, 10},
        {0x6BA, U16, 2, 0},
        {0x708, U16, 2, 0},
        {0x77C, U8, 1, 0},
        {0x77F, U8, 4, 0},
        {0x788, U16, 7, 100},
        {0x796, U16, 2, 0x300, 0, 4},
        {0x79A, U16, 3, 0x310, 0, 4},
        {0x7A0, U16, 5, 0x320, 0, 4},
        {0x7AA, U16, 1, 10},
        {0x7AF, U8, 4, 0},
        {0x7B5, U8, 1, 0},
        {0x7B6, U8, 1, 1},
        {0x7C5, U8, 1, 0},
    };
    ExpectImage(Image::Par, wants);
}

TEST_F(Newcomer, EngineConfigurationPage3) {
    const Want wants[] = {
        {0x684, I16, 16, 0},  {0x644, I16, 32, 0}, {0x310, I16, 16, 0}, {0x330, I16, 10, 0},
        {0x1D0, I16, 160, 0}, {0x384, I16, 32, 0}, {0x344, I16, 32, 0},
    };
    ExpectImage(Image::Par, wants);
}

TEST_F(Newcomer, DriveByWireConfigurationPage) {
    const Want wants[] = {
        {0x7B3, U8, 1, 0},   {0x7BF, U8, 4, 1},     {0x7C3, U8, 2, 0},
        {0x7BC, U8, 3, 0},   {0x764, U16, 6, 0},    {0x724, U16, 20, 0},
        {0x74C, U16, 10, 0}, {0x760, U16, 2, 1000}, {0x7B8, U8, 4, 0},
    };
    ExpectImage(Image::Par, wants);
}

TEST_F(Newcomer, CanAcquisitionPage) {
    const Want wants[] = {{0xB62, U16, 58, 0x200, 0, 4}};
    ExpectImage(Image::Par, wants);
}

TEST_F(Newcomer, LinearizationPages) {
    const Want wants[] = {
        {0x3C4, I16, 96, 0}, {0x484, I16, 16, 1000}, {0x4A4, I16, 16, 0}, {0x604, I16, 16, 1000},
        {0x624, I16, 16, 0}, {0x6B2, U16, 2, 0},     {0x70C, U16, 12, 0}, {0x4C4, I16, 160, 0},
    };
    ExpectImage(Image::Par, wants);
}

TEST_F(Newcomer, InjectionAndAdvancePages) {
    const Want wants[] = {
        // injection corrections: values, then breakpoints (barometric ones at 1000 mbar)
        {0x28A48, I16, 16, 1000},
        {0x28A68, I16, 16, 0},
        {0x28A88, I16, 16, 1000},
        {0x28AA8, I16, 16, 0},
        {0x28AC8, I16, 16, 1000},
        {0x28AE8, I16, 16, 1000},
        {0x28B08, I16, 16, 1000},
        {0x28B28, I16, 16, 0},
        {0x27048, I16, 512, 1000},
        {0x27448, I16, 24, 0},
        // advance corrections
        {0x28B48, I16, 64, 0},
        {0x28BC8, I16, 16, 0},
        {0x28BE8, I16, 16, 1000},
        {0x28C08, I16, 16, 1000},
        {0x28C28, I16, 16, 0},
        // injection phase maps: cells 180, axes 0
        {0x28468, I16, 128, 180},
        {0x28568, I16, 24, 0},
        {0x28598, I16, 128, 180},
        {0x28698, I16, 24, 0},
    };
    ExpectImage(Image::Map, wants);
}

TEST_F(Newcomer, CoCorrPage) {
    const Want wants[] = {
        {0x29B24, U16, 6, 0}, {0x29B30, U16, 1, 100}, {0x29B32, U16, 5, 0},
        {0x29B3C, U8, 11, 0}, {0x28D28, I16, 16, 0},  {0x278A8, I16, 372, 0},
    };
    ExpectImage(Image::Map, wants);
    // The edit record: every cell 1.000, both axes 0, the throttle as load reference.
    for (const ExtMiniMap* map : {&cocEditData.mapA, &cocEditData.mapB}) {
        for (const auto& row : map->cells)
            for (const std::int16_t cell : row)
                EXPECT_EQ(cell, 1000);
        for (const std::int16_t x : map->x)
            EXPECT_EQ(x, 0);
        for (const std::int16_t y : map->y)
            EXPECT_EQ(y, 0);
    }
    EXPECT_EQ(cocEditData.loadRef, 0);
}

TEST_F(Newcomer, AntiLagPage) {
    const Want wants[] = {
        {0x29C28, U8, 1, 0}, {0x29C22, U8, 2, 0}, {0x29C24, U16, 2, 0}, {0x280D8, I16, 456, 0}};
    ExpectImage(Image::Map, wants);
}

TEST_F(Newcomer, Misc1Page) {
    const Want wants[] = {
        {0x28C48, I16, 32, 0},   {0x29B70, I16, 5, 0},  {0x29B9D, U8, 2, 0},     {0x29B7A, I16, 14, 0},
        {0x29B96, I16, 2, 1000}, {0x29B9A, U8, 2, 0},   {0x29998, U16, 2, 2000}, {0x2999C, U16, 2, 1},
        {0x299A0, U16, 3, 100},  {0x29BA0, I16, 10, 0}, {0x29BB4, I16, 10, 500}, {0x29BC8, I16, 20, 0},
        {0x29BF0, I16, 4, 0},    {0x29BF8, U16, 1, 5},  {0x29BFC, U16, 1, 100},  {0x29BFA, U8, 1, 1},
        {0x29C02, U16, 3, 0},    {0x29BFE, U16, 2, 0},  {0x29C08, I16, 11, 0},   {0x29C1E, U16, 2, 10000},
    };
    ExpectImage(Image::Map, wants);
}

TEST_F(Newcomer, TractionCtrlPage) {
    const Want wants[] = {
        {0x27B90, I16, 160, 1000},    {0x27CD0, I16, 26, 0},        {0x27D04, I16, 186, 0},
        {0x29C38, U16, 64, 1000, 20}, {0x29C3A, U16, 64, 1000, 20}, {0x2A138, U8, 1, 0},
    };
    ExpectImage(Image::Map, wants);
    for (std::size_t level = 0; level < 64; ++level) {
        const Want flags[] = {{0x29C3C + 20 * level, U8, 16, 0}}; // injection and spark cuts per level
        ExpectImage(Image::Map, flags);
    }
}

TEST_F(Newcomer, Misc3Page) {
    const Want wants[] = {
        {0x29AF0, U8, 2, 0},     {0x29ADA, U16, 1, 1000}, {0x29ADC, I16, 2, 0}, {0x29AE0, I16, 8, 0},
        {0x29A7A, U16, 48, 0},   {0x29AF2, I16, 2, 0},    {0x29B06, U8, 1, 0},  {0x29AF6, I16, 6, 0},
        {0x29B02, U16, 1, 1000}, {0x29B04, I16, 1, 0},
    };
    ExpectImage(Image::Map, wants);
}

TEST_F(Newcomer, CutOffPage) {
    const Want wants[] = {
        {0x28D48, I16, 192, 0},
        {0x28D48 + 0x180, U16, 384, 1000},
        {0x28D48 + 0x480, U16, 192, 0},
        {0x29348, I16, 192, 0},
        {0x29348 + 0x180, U16, 384, 1000},
        {0x29348 + 0x480, U16, 192, 0},
        {0x29B08, I16, 2, 0},
        {0x29B0C, U8, 24, 0},
        {0x29B9C, U8, 1, 32},
    };
    ExpectImage(Image::Map, wants);
}

TEST_F(Newcomer, TransientPage) {
    const Want wants[] = {
        {0x299A6, U16, 2, 1},  {0x299AA, U16, 51, 0},  {0x29A10, U16, 2, 1},
        {0x29A14, U16, 51, 0}, {0x286C8, I16, 192, 0}, {0x28CC8, I16, 48, 0},
    };
    ExpectImage(Image::Map, wants);
}

TEST_F(Newcomer, GearAndShiftPage) {
    const Want wants[] = {
        {0x29948, U16, 6, 78, 0, 156}, {0x29954, U16, 6, 0, 0, 156}, {0x29960, U16, 1, 10},
        {0x29962, U16, 9, 0},          {0x29974, I16, 1, 0},         {0x29976, U16, 1, 1000},
        {0x29978, U16, 1, 0},          {0x2997A, U16, 1, 11},        {0x2997C, U16, 13, 0},
        {0x29996, U8, 2, 0},           {0x27E78, I16, 128, 1000},    {0x27F78, I16, 24, 0},
        {0x27FA8, I16, 152, 0},
    };
    ExpectImage(Image::Map, wants);
}

TEST_F(Newcomer, BlippingPage) {
    const Want wants[] = {
        {0x2A13A, I16, 5, 0},   {0x2A144, U16, 10, 512}, {0x2A158, U16, 15, 0},
        {0x2A176, I16, 192, 0}, {0x2A2F6, U8, 11, 0},
    };
    ExpectImage(Image::Map, wants);
}

TEST_F(Newcomer, Misc2Page) {
    const Want wants[] = {
        {0x28848, I16, 256, 0}, {0x28C88, I16, 32, 0}, {0x29B48, U16, 3, 0},
        {0x29B4E, U16, 1, 1},   {0x29B50, U16, 14, 0},
    };
    ExpectImage(Image::Map, wants);
}
