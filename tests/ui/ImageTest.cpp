#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "library/util/ScopedCom.h"
#include "platform/ui/UiGdiplusSession.h"
#include "platform/ui/UiImage.h"

namespace {

// A 3 x 2 BMP file in memory, bottom-up rows of 24-bit pixels; every pixel the given colour.
std::vector<BYTE> BmpFile(COLORREF colour) {
    const int width = 3, height = 2, stride = 12;  // rows padded to 4 bytes
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    std::vector<BYTE> bytes(file.bfSize, 0);
    memcpy(bytes.data(), &file, sizeof(file));
    memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* pixel = bytes.data() + file.bfOffBits + y * stride + x * 3;
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
        }
    }
    return bytes;
}

// The same kind of picture encoded as PNG by GDI+, 5 x 4.
std::vector<BYTE> PngFile(COLORREF colour) {
    static const CLSID kPng = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    Gdiplus::Bitmap bitmap(5, 4, PixelFormat32bppARGB);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            bitmap.SetPixel(x, y, Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
        }
    }
    CScopedComPtr<IStream> stream(SHCreateMemStream(nullptr, 0));
    if (!stream || bitmap.Save(stream.Get(), &kPng, nullptr) != Gdiplus::Ok) return {};
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return bytes;
}

COLORREF TopLeftOf(HBITMAP bitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

class ImageTest : public ::testing::Test {
protected:
    CUiGdiplusSession gdiplus_;
};

}  // namespace

TEST_F(ImageTest, BmpAndPngDecodeFromMemoryIntoBitmaps) {
    ASSERT_TRUE(gdiplus_.IsStarted());
    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
        UINT width, height;
    } cases[] = {{"bmp", BmpFile(RGB(200, 30, 60)), 3, 2}, {"png", PngFile(RGB(200, 30, 60)), 5, 4}};
    for (Case& test : cases) {
        SCOPED_TRACE(test.name);
        ASSERT_FALSE(test.bytes.empty());
        CUiImage image;
        ASSERT_TRUE(image.LoadMemory(test.bytes.data(), test.bytes.size()));
        // The image keeps its own copy of the encoded bytes.
        std::fill(test.bytes.begin(), test.bytes.end(), 0);
        EXPECT_EQ(image.Width(), test.width);
        EXPECT_EQ(image.Height(), test.height);
        HBITMAP bitmap = image.CreateHbitmap();
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(TopLeftOf(bitmap), RGB(200, 30, 60));
        DeleteObject(bitmap);
    }
}

TEST_F(ImageTest, FilesLoadAndStayUnlocked) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"qb_ui_image_" + std::to_wstring(GetCurrentProcessId()) + L".png";
    const std::vector<BYTE> png = PngFile(RGB(10, 120, 240));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);

    CUiImage image;
    ASSERT_TRUE(image.LoadFile(path));
    EXPECT_EQ(image.Width(), 5u);
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_TRUE(image.IsLoaded());
    EXPECT_FALSE(image.LoadFile(path));
    EXPECT_FALSE(image.IsLoaded());
}

TEST_F(ImageTest, BytesThatAreNoPictureLeaveTheImageEmpty) {
    std::vector<BYTE> truncated = PngFile(RGB(1, 2, 3));
    ASSERT_GT(truncated.size(), 40u);
    truncated.resize(30);
    std::vector<BYTE> lyingBmp = BmpFile(RGB(1, 2, 3));
    lyingBmp[sizeof(BITMAPFILEHEADER) + 4] = 0xFF;  // width far beyond the pixel data
    lyingBmp[sizeof(BITMAPFILEHEADER) + 7] = 0x7F;
    const std::string text = "not an image at all";
    CUiImage image;
    EXPECT_FALSE(image.LoadMemory(truncated.data(), truncated.size()));
    EXPECT_FALSE(image.LoadMemory(lyingBmp.data(), lyingBmp.size()));
    EXPECT_FALSE(image.LoadMemory(text.data(), text.size()));
    EXPECT_FALSE(image.LoadMemory(nullptr, 10));
    EXPECT_FALSE(image.LoadMemory(text.data(), 0));
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_EQ(image.CreateHbitmap(), nullptr);
    EXPECT_FALSE(image.LoadResource(GetModuleHandleW(nullptr), 999, L"PNG"));
}
