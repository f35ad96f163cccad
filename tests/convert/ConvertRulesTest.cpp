// The encode size and the converted name of a movie.
#include <gtest/gtest.h>

#include "library/media/convert/EncodeSize.h"
#include "library/media/convert/MovieOutputName.h"

namespace {

struct SizeCase {
    uint32_t width, height, boxWidth, boxHeight, expectedWidth, expectedHeight;
};

TEST(EncodeSizeTest, FitsScalesAndAligns) {
    const SizeCase cases[] = {
        {176, 144, 320, 240, 176, 144},  // fits, already aligned
        {320, 180, 320, 240, 320, 176},  // fits, remainder 4 rounds down
        {640, 480, 320, 240, 320, 240},  // exact halving
        {720, 480, 320, 240, 320, 208},  // 320 x 213 before alignment
        {480, 720, 320, 240, 160, 240},  // tall: the height limits
        {1920, 1080, 480, 272, 480, 272},  // 480 x 270, remainder 14 rounds up to the box
        {313, 100, 320, 240, 320, 96},   // remainder 9 rounds up within the box
        {313, 100, 316, 240, 304, 96},   // ... and down when up would leave it
        {0, 480, 320, 240, 320, 240},    // unknown size: the box
        {640, 0, 480, 272, 480, 272},
        {4, 4, 320, 240, 16, 16},        // never a side of 0
    };
    for (const SizeCase& c : cases) {
        const EncodeSize size = FitEncodeSize(c.width, c.height, c.boxWidth, c.boxHeight);
        EXPECT_EQ(c.expectedWidth, size.width) << c.width << "x" << c.height << " in " << c.boxWidth << "x" << c.boxHeight;
        EXPECT_EQ(c.expectedHeight, size.height) << c.width << "x" << c.height << " in " << c.boxWidth << "x" << c.boxHeight;
    }
}

TEST(EncodeSizeTest, AlignmentAgainstTheBoxSide) {
    EXPECT_EQ(320u, AlignToSixteen(313, 320));
    EXPECT_EQ(304u, AlignToSixteen(313, 316));
    EXPECT_EQ(304u, AlignToSixteen(312, 320));
    EXPECT_EQ(16u, AlignToSixteen(8, 320));
    EXPECT_EQ(16u, AlignToSixteen(10, 12));
    EXPECT_EQ(240u, AlignToSixteen(240, 240));
}

TEST(MovieOutputNameTest, ReplacesOnlyTheFileNamesExtension) {
    EXPECT_EQ(L"Video\\clip.wmv", ConvertedRelativePath(L"Video\\clip.mp4"));
    EXPECT_EQ(L"Video\\clip.v1.wmv", ConvertedRelativePath(L"Video\\clip.v1.avi"));
    EXPECT_EQ(L"My.Videos\\clip.wmv", ConvertedRelativePath(L"My.Videos\\clip"));
    EXPECT_EQ(L"clip.wmv", ConvertedRelativePath(L"clip.mov"));
    EXPECT_EQ(L"clip.wmv", ConvertedRelativePath(L"clip."));
    EXPECT_EQ(L".wmv", ConvertedRelativePath(L""));
}

}  // namespace
