#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "library/media/decode/WMStreamFormat.h"

#include <dvdmedia.h>

namespace {

WM_MEDIA_TYPE MakeType(const GUID& formatType, std::vector<BYTE>& block) {
    WM_MEDIA_TYPE type = {};
    type.formattype = formatType;
    type.cbFormat = static_cast<ULONG>(block.size());
    type.pbFormat = block.data();
    return type;
}

template <typename T>
std::vector<BYTE> BytesOf(const T& value, size_t size = sizeof(T)) {
    std::vector<BYTE> bytes(size, 0xEE);
    memcpy(bytes.data(), &value, size < sizeof(T) ? size : sizeof(T));
    return bytes;
}

// The destination sits inside a larger buffer so a write past its end shows.
template <typename T>
struct Guarded {
    Guarded() { memset(bytes, 0, sizeof(bytes)); }
    T* Get() { return reinterpret_cast<T*>(bytes); }
    bool TailUntouched() const {
        for (size_t i = sizeof(T); i < sizeof(bytes); ++i) {
            if (bytes[i] != 0) return false;
        }
        return true;
    }
    alignas(8) BYTE bytes[sizeof(T) + 64];
};

WAVEFORMATEX Stereo44100() {
    WAVEFORMATEX wave = {};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = 2;
    wave.nSamplesPerSec = 44100;
    wave.wBitsPerSample = 16;
    wave.nBlockAlign = 4;
    wave.nAvgBytesPerSec = 176400;
    return wave;
}

TEST(CopyAudioFormat, CopiesAtMostTheWaveFormatOfTheBlock) {
    struct Case {
        const char* name;
        size_t blockSize;
        size_t expectedCopied;
    };
    const Case cases[] = {
        {"exact", sizeof(WAVEFORMATEX), sizeof(WAVEFORMATEX)},
        {"with codec data after it", sizeof(WAVEFORMATEX) + 10, sizeof(WAVEFORMATEX)},
        {"a PCMWAVEFORMAT without cbSize", 16, 16},
        {"empty", 0, 0},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        std::vector<BYTE> block = BytesOf(Stereo44100(), sizeof(WAVEFORMATEX) + 10);
        WM_MEDIA_TYPE type = MakeType(FORMAT_WaveFormatEx, block);
        type.cbFormat = static_cast<ULONG>(testCase.blockSize);
        Guarded<WAVEFORMATEX> out;
        EXPECT_TRUE(CopyAudioFormat(type, out.Get()));
        EXPECT_EQ(0, memcmp(out.bytes, block.data(), testCase.expectedCopied));
        for (size_t i = testCase.expectedCopied; i < sizeof(WAVEFORMATEX); ++i) {
            EXPECT_EQ(0, out.bytes[i]) << "byte " << i;
        }
        EXPECT_TRUE(out.TailUntouched());
    }
}

TEST(CopyAudioFormat, LeavesTheFormatAloneForOtherBlocks) {
    std::vector<BYTE> block = BytesOf(Stereo44100());
    const GUID others[] = {FORMAT_VideoInfo, FORMAT_None, GUID_NULL};
    for (const GUID& formatType : others) {
        WM_MEDIA_TYPE type = MakeType(formatType, block);
        Guarded<WAVEFORMATEX> out;
        EXPECT_FALSE(CopyAudioFormat(type, out.Get()));
        EXPECT_EQ(0, out.Get()->nChannels);
    }
    WM_MEDIA_TYPE noBlock = MakeType(FORMAT_WaveFormatEx, block);
    noBlock.pbFormat = nullptr;
    Guarded<WAVEFORMATEX> out;
    EXPECT_FALSE(CopyAudioFormat(noBlock, out.Get()));
    EXPECT_TRUE(out.TailUntouched());
    EXPECT_EQ(0, out.Get()->nChannels);
}

VIDEOINFOHEADER Video(LONG width, LONG height) {
    VIDEOINFOHEADER video = {};
    video.rcSource = {0, 0, width, height};
    video.dwBitRate = 100000;
    video.AvgTimePerFrame = 1000000;
    video.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    video.bmiHeader.biWidth = width;
    video.bmiHeader.biHeight = height;
    video.bmiHeader.biBitCount = 24;
    return video;
}

TEST(CopyVideoFormat, CopiesAVideoInfoBlockAsItStands) {
    VIDEOINFOHEADER expected = Video(160, 120);
    std::vector<BYTE> block = BytesOf(expected, sizeof(expected) + 12);
    WM_MEDIA_TYPE type = MakeType(FORMAT_VideoInfo, block);
    Guarded<VIDEOINFOHEADER> out;
    EXPECT_TRUE(CopyVideoFormat(type, out.Get()));
    EXPECT_EQ(0, memcmp(out.Get(), &expected, sizeof(expected)));
    EXPECT_TRUE(out.TailUntouched());
}

VIDEOINFOHEADER2 Video2(LONG width, LONG height) {
    VIDEOINFOHEADER2 video = {};
    video.rcSource = {0, 0, width, height};
    video.dwBitRate = 250000;
    video.AvgTimePerFrame = 400000;
    video.dwInterlaceFlags = 0x81;
    video.dwCopyProtectFlags = 0;
    video.dwPictAspectRatioX = 4;
    video.dwPictAspectRatioY = 3;
    video.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    video.bmiHeader.biWidth = width;
    video.bmiHeader.biHeight = height;
    video.bmiHeader.biBitCount = 12;
    return video;
}

// Taking a VIDEOINFOHEADER2 block byte for byte would report the aspect ratio as the height.
TEST(CopyVideoFormat, TakesTheBitmapHeaderOfAVideoInfo2BlockFromItsOwnPlace) {
    VIDEOINFOHEADER2 source = Video2(320, 240);
    std::vector<BYTE> block = BytesOf(source);
    WM_MEDIA_TYPE type = MakeType(FORMAT_VideoInfo2, block);
    Guarded<VIDEOINFOHEADER> out;
    EXPECT_TRUE(CopyVideoFormat(type, out.Get()));
    const VIDEOINFOHEADER& video = *out.Get();
    EXPECT_EQ(320, video.rcSource.right);
    EXPECT_EQ(240, video.rcSource.bottom);
    EXPECT_EQ(250000u, video.dwBitRate);
    EXPECT_EQ(400000, video.AvgTimePerFrame);
    EXPECT_EQ(0, memcmp(&video.bmiHeader, &source.bmiHeader, sizeof(BITMAPINFOHEADER)));
    EXPECT_TRUE(out.TailUntouched());
}

TEST(CopyVideoFormat, ATruncatedVideoInfo2BlockGivesOnlyWhatItHolds) {
    VIDEOINFOHEADER2 source = Video2(320, 240);
    const size_t sizes[] = {20, offsetof(VIDEOINFOHEADER2, bmiHeader),
                            offsetof(VIDEOINFOHEADER2, bmiHeader) + 8};
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        std::vector<BYTE> block = BytesOf(source, size);
        WM_MEDIA_TYPE type = MakeType(FORMAT_VideoInfo2, block);
        Guarded<VIDEOINFOHEADER> out;
        EXPECT_TRUE(CopyVideoFormat(type, out.Get()));
        const VIDEOINFOHEADER& video = *out.Get();
        EXPECT_EQ(size > 12 ? 320 : 0, video.rcSource.right);
        EXPECT_EQ(size >= offsetof(VIDEOINFOHEADER2, bmiHeader) + 8 ? 320 : 0, video.bmiHeader.biWidth);
        EXPECT_EQ(size >= offsetof(VIDEOINFOHEADER2, bmiHeader) + 4 ? sizeof(BITMAPINFOHEADER) : 0u,
                  video.bmiHeader.biSize);
        EXPECT_EQ(0, video.bmiHeader.biHeight);
        EXPECT_TRUE(out.TailUntouched());
    }
}

TEST(CopyVideoFormat, LeavesTheFormatAloneForOtherBlocks) {
    std::vector<BYTE> block = BytesOf(Video(160, 120));
    const GUID others[] = {FORMAT_WaveFormatEx, FORMAT_MPEGVideo, FORMAT_None};
    for (const GUID& formatType : others) {
        WM_MEDIA_TYPE type = MakeType(formatType, block);
        Guarded<VIDEOINFOHEADER> out;
        EXPECT_FALSE(CopyVideoFormat(type, out.Get()));
        EXPECT_EQ(0, out.Get()->bmiHeader.biWidth);
    }
}

}  // namespace
