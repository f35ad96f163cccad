#include "standins/decoders/Yuy2PullFilter.h"

#include <amvideo.h>

#include <cstring>

namespace {

constexpr LONGLONG kHeaderBytes = 16;
// Sides of at most 2048 and at most 60 frames a second keep every size within 32 bits.
constexpr uint32_t kMaxSide = 2048;
constexpr uint32_t kMaxRate = 60;

}  // namespace

CYuy2PullFilter::CYuy2PullFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid)
    : CWavPullFilter(name, outer, clsid, L"In", L"Out", MEDIASUBTYPE_YUY2) {}

HRESULT CYuy2PullFilter::ReadHeader(IAsyncReader* reader) {
    BYTE header[kHeaderBytes] = {};
    HRESULT hr = ReadStreamStart(reader, header, kHeaderBytes);
    LONGLONG total = 0, available = 0;
    if (FAILED(hr) || FAILED(hr = reader->Length(&total, &available))) return hr;
    const uint32_t width = ReadLe32(header + 4);
    const uint32_t height = ReadLe32(header + 8);
    const uint32_t rate = ReadLe32(header + 12);
    if (std::memcmp(header, "QBY2", 4) != 0 || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        width % 2 != 0 || rate == 0 || rate > kMaxRate) {
        return E_FAIL;
    }
    const uint32_t frameBytes = width * height * 2;
    const LONGLONG frames = (total - kHeaderBytes) / frameBytes;
    if (frames == 0) return E_FAIL;
    width_ = static_cast<LONG>(width);
    height_ = static_cast<LONG>(height);
    framesPerSecond_ = rate;
    // The pull filter times samples by block size and byte rate: one block is one frame.
    format_ = {};
    format_.nAvgBytesPerSec = frameBytes * rate;
    frameBytes_ = static_cast<LONG>(frameBytes);
    dataOffset_ = kHeaderBytes;
    dataSize_ = frames * frameBytes;
    return S_OK;
}

HRESULT CYuy2PullFilter::OutputType(CMediaType* type) {
    if (dataSize_ == 0) return VFW_E_NOT_CONNECTED;
    VIDEOINFOHEADER header = {};
    header.rcSource = {0, 0, width_, height_};
    header.rcTarget = header.rcSource;
    header.dwBitRate = format_.nAvgBytesPerSec * 8;
    header.AvgTimePerFrame = 10000000 / framesPerSecond_;
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width_;
    header.bmiHeader.biHeight = height_;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 16;
    header.bmiHeader.biCompression = MAKEFOURCC('Y', 'U', 'Y', '2');
    header.bmiHeader.biSizeImage = static_cast<DWORD>(frameBytes_);
    type->Clear();
    type->majortype = MEDIATYPE_Video;
    type->subtype = MEDIASUBTYPE_YUY2;
    type->formattype = FORMAT_VideoInfo;
    type->bFixedSizeSamples = TRUE;
    type->lSampleSize = static_cast<ULONG>(frameBytes_);
    return type->SetFormat(&header, sizeof(header)) ? S_OK : E_OUTOFMEMORY;
}
