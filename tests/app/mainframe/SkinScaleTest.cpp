#include "app/mainframe/SkinScale.h"

#include <gtest/gtest.h>

#include "app/dialogs/DialogResources.h"
#include "app/mainframe/ImageEx.h"
#include "platform/ui/UiGdiplusSession.h"

namespace {

TEST(SkinScaleTest, ScreensFrom120DpiUpGetTheLargeSet) {
    const struct {
        int screenDpi, dpi;
        UINT closeButton;
    } cases[] = {{72, 96, 157}, {96, 96, 157}, {119, 96, 157}, {120, 120, 1157}, {144, 120, 1157}, {192, 120, 1157}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screenDpi);
        const CSkinScale scale(c.screenDpi);
        EXPECT_EQ(c.dpi, scale.Dpi());
        EXPECT_EQ(c.closeButton, scale.SkinId(157));
        EXPECT_EQ(0u, scale.SkinId(0));
    }
}

TEST(SkinScaleTest, LayoutAndScreenPixelsAt120Dpi) {
    const CSkinScale scale(120);
    EXPECT_EQ(333, scale.ToScreen(266));
    EXPECT_EQ(665, scale.ToScreen(532));
    // A control keeps its image's size wherever it sits: 80 wide is 100, though 429 and 509 map to
    // 536 and 636.
    const RECT syncNow = scale.ToScreen(RECT{429, 168, 509, 190});
    EXPECT_EQ(536, syncNow.left);
    EXPECT_EQ(100, syncNow.right - syncNow.left);
    EXPECT_EQ(28, syncNow.bottom - syncNow.top);
    const RECT preset = scale.ToScreen(RECT{421, 100, 510, 118});
    EXPECT_EQ(111, preset.right - preset.left);
    const struct {
        POINT screen, layout;
    } points[] = {{{0, 0}, {0, 0}}, {{4, 4}, {3, 3}}, {{5, 5}, {4, 4}}, {{227, 36}, {181, 28}},
                  {{228, 37}, {182, 29}}, {{-1, -2}, {-1, -2}}, {{-5, -6}, {-4, -5}}};
    for (const auto& p : points) {
        SCOPED_TRACE(testing::Message() << p.screen.x << "," << p.screen.y);
        const POINT layout = scale.ToLayout(p.screen);
        EXPECT_EQ(p.layout.x, layout.x);
        EXPECT_EQ(p.layout.y, layout.y);
    }
    const POINT same = CSkinScale(96).ToLayout({-7, 181});
    EXPECT_EQ(-7, same.x);
    EXPECT_EQ(181, same.y);
}

// Every image of the skin is drawn for both DPIs, the larger a quarter larger in each direction.
TEST(SkinScaleTest, EverySkinImageHasItsTwinDrawnFor120Dpi) {
    CUiGdiplusSession gdiplus;
    const HMODULE module = GetModuleHandleW(nullptr);
    const CSkinScale large(120);
    int twins = 0;
    for (UINT id = 141; id <= 389; ++id) {
        CImageEx base;
        // The analysis dialog's picture, linked in with the dialogs, is not part of the skin.
        if (id == IDR_QB_ANALYSIS_PICTURE || FAILED(LoadPngResource(module, base, id))) {
            continue;
        }
        SCOPED_TRACE(id);
        CImageEx twin;
        ASSERT_EQ(S_OK, LoadPngResource(module, twin, large.SkinId(id)));
        EXPECT_EQ(large.ToScreen(base.GetWidth()), twin.GetWidth());
        EXPECT_EQ(large.ToScreen(base.GetHeight()), twin.GetHeight());
        ++twins;
    }
    // The window's backgrounds, buttons, pictures and animation: well over a hundred images.
    EXPECT_GT(twins, 100);
}

}  // namespace
