#include "orvane/core/logic/fieldvalue.h"

#include <gtest/gtest.h>

namespace {

struct StoreCase {
    double typed;
    double divisor;
    Raw raw;
    std::int64_t stored;
};

// Signed fields round half away from zero; unsigned fields store 0 for a product of 0 or below and
// otherwise the product + 0.5 truncated; nothing wraps past the field type.
const StoreCase kStoreCases[] = {
    {2.5, 10, Raw::U16, 25},       {-12.5, 10, Raw::I16, -125},     {-0.05, 10, Raw::I16, -1},
    {0.05, 10, Raw::I16, 1},       {-0.04, 10, Raw::I16, 0},        {-3.2, 10, Raw::U16, 0},
    {0, 10, Raw::U16, 0},          {0.049, 1, Raw::U16, 0},         {0.5, 1, Raw::U16, 1},
    {1.005, 1000, Raw::U16, 1005}, {32.0, 1000, Raw::U16, 32000},   {-720.0, 10, Raw::I16, -7200},
    {720.0, 10, Raw::I16, 7200},   {1.23, 100, Raw::I16, 123},      {-1.235, 100, Raw::I16, -124},
    {1.5, 256, Raw::U16, 384},     {250.0, 256, Raw::U16, 64000},   {1.50390625, 256, Raw::U16, 385},
    {1.5, 65536, Raw::I32, 98304}, {-0.5, 65536, Raw::I32, -32768}, {1000.0, 65536, Raw::I32, 65536000},
    {70000, 1, Raw::U16, 65535},   {-40000, 1, Raw::I16, -32768},   {300, 1, Raw::U8, 255},
    {-1, 1, Raw::I8, -1},          {2047, 1, Raw::U16, 2047},
};

TEST(FieldValue, TypedValuesStoreByTheRoundingOfTheirFieldType) {
    for (const StoreCase& c : kStoreCases)
        EXPECT_EQ(StoredValue(c.typed, c.divisor, c.raw), c.stored)
            << c.typed << " x " << c.divisor << " as raw type " << int(c.raw);
}

// Whatever a control shows, the exact number goes back: raw 385 of an 8.8 gain shows 1.50 (two
// decimals) but is 1.50390625 inside, and stores 385 again. Every raw value of the common divisors
// makes the round trip.
TEST(FieldValue, ShownValuesStoreBackUnchanged) {
    for (double divisor : {1.0, 10.0, 100.0, 1000.0, 256.0, 65536.0})
        for (std::int64_t raw : {-32768, -7201, -1, 0, 1, 385, 4999, 32767}) {
            const Raw type = raw < 0 ? Raw::I32 : Raw::U16;
            EXPECT_EQ(StoredValue(ShownValue(raw, divisor), divisor, type), raw) << raw << " / " << divisor;
        }
}

TEST(FieldValue, DecimalsFollowTheDivisor) {
    EXPECT_EQ(DecimalsOf(1), 0);
    EXPECT_EQ(DecimalsOf(10), 1);
    EXPECT_EQ(DecimalsOf(100), 2);
    EXPECT_EQ(DecimalsOf(1000), 3);
}

} // namespace
