// The bounds-checked image view: a run inside its image reads and repairs the image itself; a run that
// would leave it reports the failure instead of reaching past it.
#include "orvane/core/logic/imagerepairs.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/logic/imageview.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace {

struct ImageViewTest : testing::Test {
    void SetUp() override {
        std::memset(&ecuParData, 0, sizeof ecuParData);
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
    }
};

TEST_F(ImageViewTest, RunsInsideTheImageAreTheImageItself) {
    ecuParData.b7AE[0x7B3 - 0x7AE] = 1;
    ecuMapData.w29B24[0] = 1200;
    EXPECT_EQ(ImageValue<std::uint8_t>(Image::Par, 0x7B3), 1);
    EXPECT_EQ(ImageValue<std::uint16_t>(Image::Map, 0x29B24), 1200);

    const std::span<std::int16_t> limits = ImageSpan<std::int16_t>(Image::Map, 0x29B24, 2);
    ASSERT_EQ(limits.size(), 2u);
    limits[1] = -5; // a repair in place
    EXPECT_EQ(static_cast<std::int16_t>(ecuMapData.w29B24[1]), -5);

    // The last word of each image is still inside.
    EXPECT_EQ(ImageValue<std::uint16_t>(Image::Par, sizeof ecuParData - 2), ecuParData.endMarker);
    EXPECT_EQ(ImageSpan<std::uint16_t>(Image::Map, sizeof ecuMapData - 2, 1).data(), &ecuMapData.endMarker);
}

TEST_F(ImageViewTest, RunsLeavingTheImageReportFailure) {
    struct Case {
        const char* name;
        Image image;
        std::size_t offset, count;
    };
    const Case cases[] = {
        {"word across the end", Image::Par, sizeof ecuParData - 1, 1},
        {"run across the end", Image::Map, sizeof ecuMapData - 4, 3},
        {"past the end", Image::Par, sizeof ecuParData, 1},
        {"far past the end", Image::Map, std::numeric_limits<std::size_t>::max() - 1, 1},
        {"count that overflows the byte size", Image::Par, 0,
         std::numeric_limits<std::size_t>::max() / 2 + 1},
        {"nothing asked", Image::Par, 0x7B3, 0},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(ImageSpan<std::uint16_t>(c.image, c.offset, c.count).empty()) << c.name;
        EXPECT_TRUE(ImageBytes(c.image, c.offset, 2 * c.count).empty()) << c.name;
    }
    EXPECT_FALSE(ImageValue<std::uint16_t>(Image::Par, sizeof ecuParData - 1).has_value());
    EXPECT_FALSE(ImageValue<std::uint8_t>(Image::Map, sizeof ecuMapData).has_value());
}

// A word is viewed only where the image holds words; a value is read at any byte.
TEST_F(ImageViewTest, WordsAreViewedOnlyOnWordBoundaries) {
    ecuParData.b6CA[1] = 0x34;
    ecuParData.b6CA[2] = 0x12;
    EXPECT_TRUE(ImageSpan<std::uint16_t>(Image::Par, 0x6CB, 1).empty());
    EXPECT_EQ(ImageValue<std::uint16_t>(Image::Par, 0x6CB), 0x1234);
}

// The repairs by offset change the image in place, and a limit that is not in the image repairs nothing.
TEST_F(ImageViewTest, RepairsByOffsetWorkInPlaceOrNotAtAll) {
    ecuMapData.w29B24[0] = 900; // lower
    ecuMapData.w29B24[1] = 800; // upper
    EXPECT_TRUE(RaiseToLowerAt<std::uint16_t>(Image::Map, 0x29B26, 0x29B24));
    EXPECT_EQ(ecuMapData.w29B24[1], 900);
    EXPECT_FALSE(RaiseToLowerAt<std::uint16_t>(Image::Map, 0x29B26, 0x29B24));

    ecuMapData.w29B24[1] = 1000;
    EXPECT_TRUE(LowerToUpperAt<std::uint16_t>(Image::Map, 0x29B26, 0x29B24));
    EXPECT_EQ(ecuMapData.w29B24[1], 900);

    ecuMapData.b29B3C[0] = 9;
    EXPECT_TRUE(ResetOutsideAt<std::uint8_t>(Image::Map, 0x29B3C, 0, 4, 0));
    EXPECT_EQ(ecuMapData.b29B3C[0], 0);

    ecuParData.endMarker = 5;
    EXPECT_FALSE(RaiseToLowerAt<std::uint16_t>(Image::Par, sizeof ecuParData - 2, sizeof ecuParData));
    EXPECT_FALSE(LowerToUpperAt<std::uint16_t>(Image::Par, sizeof ecuParData, sizeof ecuParData - 2));
    EXPECT_FALSE(ResetOutsideAt<std::uint16_t>(Image::Par, sizeof ecuParData - 1, 0, 1, 0));
    EXPECT_EQ(ecuParData.endMarker, 5);
}

} // namespace
