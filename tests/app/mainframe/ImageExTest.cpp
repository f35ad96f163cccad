#include "app/mainframe/ImageEx.h"

#include <gtest/gtest.h>

#include "app/mainframe/TextImageEx.h"
#include "platform/ui/UiGdiplusSession.h"

namespace {

constexpr UINT kAlphaPixels = 9001;  // (B,G,R,A) (255,128,1,128), (0,0,0,7), (0,0,9,0)
constexpr UINT kOpaqueRgb = 9002;    // 24-bit: (30,20,10), (50,100,200)

class ImageExTest : public ::testing::Test {
protected:
    CUiGdiplusSession gdiplus_;
    HMODULE module_ = GetModuleHandleW(nullptr);
};

std::vector<int> Bgra(const CImageEx& image, int x) {
    const BYTE* p = image.GetPixelAddress(x, 0);
    return {p[0], p[1], p[2], p[3]};
}

TEST_F(ImageExTest, LoadsPngWithAlphaAs32BitsUnpremultiplied) {
    CImageEx image;
    ASSERT_EQ(S_OK, LoadPngResource(module_, image, kAlphaPixels));
    EXPECT_EQ(32, image.GetBPP());
    EXPECT_EQ(3, image.GetWidth());
    EXPECT_EQ((std::vector<int>{255, 128, 1, 128}), Bgra(image, 0));
}

TEST_F(ImageExTest, PremultiplyTruncatesEachColourByAlpha) {
    CImageEx image;
    ASSERT_EQ(S_OK, LoadPngResource(module_, image, kAlphaPixels));
    ASSERT_EQ(S_OK, image.PremultiplyAlpha());
    EXPECT_EQ((std::vector<int>{128, 64, 0, 128}), Bgra(image, 0));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 7}), Bgra(image, 1));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), Bgra(image, 2));
}

TEST_F(ImageExTest, FixAlphaMakesColouredPixelsOpaqueAndKeepsBlackAlpha) {
    CImageEx image;
    ASSERT_EQ(S_OK, LoadPngResource(module_, image, kAlphaPixels));
    ASSERT_EQ(S_OK, image.FixAlpha());
    EXPECT_EQ((std::vector<int>{255, 128, 1, 255}), Bgra(image, 0));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 7}), Bgra(image, 1));
    EXPECT_EQ((std::vector<int>{0, 0, 9, 255}), Bgra(image, 2));
}

TEST_F(ImageExTest, TwentyFourBitPngLoadsButRefusesAlphaWorkUnchanged) {
    CImageEx image;
    ASSERT_EQ(S_OK, LoadPngResource(module_, image, kOpaqueRgb));
    EXPECT_EQ(24, image.GetBPP());
    const BYTE* p = image.GetPixelAddress(0, 0);
    const std::vector<int> before = {p[0], p[1], p[2], p[3], p[4], p[5]};
    EXPECT_EQ((std::vector<int>{30, 20, 10, 50, 100, 200}), before);
    EXPECT_EQ(E_FAIL, image.PremultiplyAlpha());
    EXPECT_EQ(E_FAIL, image.FixAlpha());
    EXPECT_EQ(before, (std::vector<int>{p[0], p[1], p[2], p[3], p[4], p[5]}));
}

TEST_F(ImageExTest, MissingOrUndecodableResourcesFail) {
    CImageEx image;
    EXPECT_EQ(E_FAIL, LoadPngResource(module_, image, 9999));
    EXPECT_TRUE(image.IsNull());
    const char notAPicture[] = "definitely not a PNG";
    EXPECT_EQ(E_FAIL, image.LoadFromMemory(notAPicture, sizeof(notAPicture)));
    EXPECT_EQ(E_FAIL, image.LoadFromMemory(nullptr, 0));
}

TEST_F(ImageExTest, TextImageLeavesOnlyLettersOpaque) {
    CTextImageEx text;
    ASSERT_TRUE(text.Create(80, 16, 32));
    EXPECT_EQ(RGB(1, 1, 1), text.textColour);
    EXPECT_EQ(static_cast<UINT>(DT_CENTER), text.format);
    EXPECT_EQ(14, text.fontHeight);
    text.SetText(L"Ready.");
    EXPECT_EQ(L"Ready.", text.Text());
    int opaque = 0, transparent = 0, partial = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 80; ++x) {
            const BYTE alpha = text.GetPixelAddress(x, y)[3];
            alpha == 255 ? ++opaque : alpha == 0 ? ++transparent : ++partial;
        }
    }
    EXPECT_GT(opaque, 10);
    EXPECT_GT(transparent, opaque);
    EXPECT_EQ(0, partial);
    // Without an image only the text is stored.
    CTextImageEx empty;
    empty.SetText(L"kept");
    EXPECT_EQ(L"kept", empty.Text());
    EXPECT_TRUE(empty.IsNull());
}

}  // namespace
