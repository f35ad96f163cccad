#include "standins/wmf/Ac3SourceStandin.h"

#include <cstring>

#include "platform/wmf/WindowsMedia.h"

namespace {

constexpr LONG kHeaderBytes = 24;
constexpr uint32_t kMaxChannels = 8;
constexpr uint32_t kMinRate = 8000;
constexpr uint32_t kMaxRate = 192000;
constexpr uint32_t kMaxPauseMs = 5000;

}  // namespace

std::atomic<long> CAc3SourceStandin::alive_{0};

CAc3SourceStandin::CAc3SourceStandin(IUnknown* outer, REFCLSID clsid)
    : CWavPullFilter(L"AC-3 source stand-in", outer, clsid, L"In", L"Out", MEDIASUBTYPE_DolbyAc3) {
    ++alive_;
}

CAc3SourceStandin::~CAc3SourceStandin() { --alive_; }

HRESULT CAc3SourceStandin::ReadHeader(IAsyncReader* reader) {
    BYTE header[kHeaderBytes] = {};
    HRESULT hr = ReadStreamStart(reader, header, kHeaderBytes);
    if (FAILED(hr)) return hr;
    const uint32_t channels = ReadLe32(header + 4);
    const uint32_t rate = ReadLe32(header + 8);
    const uint32_t bits = ReadLe32(header + 12);
    const uint32_t dataBytes = ReadLe32(header + 16);
    const uint32_t pauseMs = ReadLe32(header + 20);
    if (std::memcmp(header, "QBA3", 4) != 0 || channels == 0 || channels > kMaxChannels || rate < kMinRate ||
        rate > kMaxRate || (bits != 8 && bits != 16 && bits != 24) || pauseMs > kMaxPauseMs) {
        return E_FAIL;
    }
    format_ = {};
    format_.wFormatTag = WAVE_FORMAT_PCM;
    format_.nChannels = static_cast<WORD>(channels);
    format_.nSamplesPerSec = rate;
    format_.wBitsPerSample = static_cast<WORD>(bits);
    format_.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format_.nAvgBytesPerSec = rate * format_.nBlockAlign;
    const uint32_t whole = dataBytes - dataBytes % format_.nBlockAlign;
    if (whole == 0) return E_FAIL;
    // The header's length holds even when the file is shorter: reading past its end is the error.
    dataOffset_ = kHeaderBytes;
    dataSize_ = whole;
    pauseMs_ = pauseMs;
    return S_OK;
}
