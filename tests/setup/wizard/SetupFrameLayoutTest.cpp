#include "setup/wizard/SetupFrameLayout.h"

#include <gtest/gtest.h>

namespace {

struct SizeCase {
    LANGID language;
    int width;
    int height;
};

TEST(SetupFrameLayoutTest, FrameSizeFollowsTheUserInterfaceLanguage) {
    const SizeCase cases[] = {
        {0x0404, 440, 260}, {0x0411, 440, 260}, {0x0804, 440, 260}, {0x0C04, 440, 260},
        {0x1004, 440, 260}, {0x1404, 440, 260}, {0x0410, 460, 285}, {0x0412, 460, 285},
        {0x0809, 460, 285}, {0x080A, 460, 285}, {0x0C0A, 460, 285}, {0x2C0A, 460, 285},
        {0x500A, 460, 285}, {0x040A, 500, 300}, {0x0409, 500, 300}, {0x0407, 500, 300},
        {0x040C, 500, 300}, {0x0416, 500, 300}, {0x0816, 500, 300}, {0x0419, 500, 300},
        // Neighbours of the listed ids that are not in the lists.
        {0x0C09, 500, 300}, {0x0810, 500, 300}, {0x0812, 500, 300}, {0x540A, 500, 300},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.language);
        const SetupFrameLayout layout = ComputeFrameLayout(c.language, 96, 96);
        EXPECT_EQ(c.width, layout.frameWidth);
        EXPECT_EQ(c.height, layout.frameHeight);
        EXPECT_EQ(90, layout.buttonWidth);
        EXPECT_EQ(21, layout.buttonHeight);
        EXPECT_EQ(14, layout.lineHeight);
        EXPECT_EQ(15, layout.progressHeight);
    }
}

TEST(SetupFrameLayoutTest, OnlyOneHundredTwentyDpiInBothDirectionsScales) {
    const SetupFrameLayout scaled = ComputeFrameLayout(0x0C0A, 120, 120);
    EXPECT_EQ(575, scaled.frameWidth);
    EXPECT_EQ(356, scaled.frameHeight);
    EXPECT_EQ(112, scaled.buttonWidth);
    EXPECT_EQ(26, scaled.buttonHeight);
    EXPECT_EQ(18, scaled.lineHeight);
    EXPECT_EQ(18, scaled.progressHeight);

    const SetupFrameLayout compact = ComputeFrameLayout(0x0411, 120, 120);
    EXPECT_EQ(550, compact.frameWidth);
    EXPECT_EQ(325, compact.frameHeight);

    const int unscaled[][2] = {{144, 144}, {120, 96}, {96, 120}, {72, 72}};
    for (const auto& dpi : unscaled) {
        SCOPED_TRACE(testing::Message() << dpi[0] << "x" << dpi[1]);
        const SetupFrameLayout layout = ComputeFrameLayout(0x0C0A, dpi[0], dpi[1]);
        EXPECT_EQ(460, layout.frameWidth);
        EXPECT_EQ(285, layout.frameHeight);
        EXPECT_EQ(14, layout.lineHeight);
        EXPECT_EQ(90, layout.buttonWidth);
    }
}

}  // namespace
