#include "library/media/decode/AudioFormatProbe.h"

#include <dshow.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "library/media/decode/ITranscode2.h"
#include "library/media/decode/MPEGAudioFile.h"
#include "library/media/decode/MPEGFrame.h"
#include "library/media/decode/SplitterAudioFormat.h"
#include "library/util/ScopedWin.h"
#include "platform/dshow/MediaType.h"

namespace {

constexpr size_t kWaveFormatBytes = sizeof(WAVEFORMATEX);

bool IsMpegAudio(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_MPEGLAYER3 || format.wFormatTag == WAVE_FORMAT_MPEG;
}

// The rate in the first frame's header: what a splitter that leaves the average rate out (Wine's)
// would have given, as Windows' splitter does.
DWORD FirstFrameBytesPerSecond(const wchar_t* path) {
    CScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid()) return 0;
    MPEGAudioFile audio;
    uint8_t header[4];
    MPEGFrame frame;
    if (FAILED(audio.Parse(file.Get())) || FAILED(ReadAt(file.Get(), audio.firstFrame, sizeof(header), header)) ||
        FAILED(frame.ParseHeader(header, sizeof(header)))) {
        return 0;
    }
    return frame.bitRate / 8;
}

// Builds and drops the decoder graph; the format stays zeroed unless the input type is a wave format.
HRESULT ProbeDecoderInput(const wchar_t* path, int32_t sourceKind, WAVEFORMATEX* format, int64_t* durationMs) {
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(nullptr));
    if (!graph) return E_OUTOFMEMORY;
    HRESULT hr = graph->SetFile(path, sourceKind);
    if (SUCCEEDED(hr)) {
        AM_MEDIA_TYPE type{};
        hr = graph->GetInputMediaType(&type);
        if (SUCCEEDED(hr)) {
            if (IsEqualGUID(type.formattype, FORMAT_WaveFormatEx) && type.pbFormat != nullptr) {
                std::memcpy(format, type.pbFormat, std::min<size_t>(type.cbFormat, kWaveFormatBytes));
            } else if (IsEqualGUID(type.majortype, MEDIATYPE_Stream) &&
                       IsEqualGUID(type.subtype, MEDIASUBTYPE_MPEG1Audio)) {
                // Where one filter parses and decodes the stream (Wine's), the decoder's input is
                // the bare byte stream; the stream splitter still tells the compressed format a
                // separate layer-3 decoder is handed, as on Windows.
                hr = GetSplitterAudioFormat(path, format);
                if (FAILED(hr)) std::memset(format, 0, kWaveFormatBytes);
            } else {
                hr = E_FAIL;
            }
        }
        FreeMediaTypeContents(type);
        if (SUCCEEDED(hr) && IsMpegAudio(*format) && format->nAvgBytesPerSec == 0)
            format->nAvgBytesPerSec = FirstFrameBytesPerSecond(path);
        LONGLONG duration = 0;
        if (SUCCEEDED(graph->GetDuration(&duration))) *durationMs = duration;
    }
    // Gives the single-decode token back.
    graph->Release();
    return hr;
}

}  // namespace

int32_t GetTranscodeSourceKind(int32_t mediaType, int32_t* sourceKind) {
    if (sourceKind == nullptr) return -1;
    if (mediaType == kMediaMp3) {
        *sourceKind = 1;
    } else if (mediaType == kMediaWma) {
        *sourceKind = 2;
    } else if (mediaType >= kMediaM4a && mediaType <= kMediaMp4) {
        *sourceKind = 3;
    } else if (mediaType >= kMediaCodecFamilyFirst && mediaType <= kMediaCodecFamilyLast) {
        *sourceKind = 4;
    } else {
        *sourceKind = 0;
        return -1;
    }
    return 0;
}

int32_t GetAudioFormatAndDuration(const wchar_t* path, int32_t mediaType, WAVEFORMATEX* format, int64_t* durationMs) {
    if (format == nullptr || durationMs == nullptr) return -1;
    std::memset(format, 0, kWaveFormatBytes);
    int32_t sourceKind = 0;
    GetTranscodeSourceKind(mediaType, &sourceKind);
    return ProbeDecoderInput(path, sourceKind, format, durationMs) == S_OK ? 0 : -1;
}

int32_t GetAudioFormatAndDurationW(const std::wstring& path, int32_t mediaType, MediaAudioInfo* info) {
    if (info == nullptr) return -1;
    WAVEFORMATEX format;
    int64_t durationMs = 0;
    const int32_t result = GetAudioFormatAndDuration(path.c_str(), mediaType, &format, &durationMs);
    if (result == 0) {
        info->bitRate = static_cast<int32_t>(format.nAvgBytesPerSec * 8);
        info->sampleRate = static_cast<int32_t>(format.nSamplesPerSec);
        info->channelCount = format.nChannels;
        info->formatTag = format.wFormatTag;
    }
    info->durationMs = durationMs;
    return result;
}

HRESULT GetMediaDurationMs(const wchar_t* path, int64_t* durationMs) {
    if (durationMs == nullptr) return E_POINTER;
    IGraphBuilder* graph = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(&graph));
    if (FAILED(hr)) return hr;
    hr = graph->RenderFile(path, nullptr);
    IMediaSeeking* seeking = nullptr;
    if (SUCCEEDED(hr)) hr = graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking));
    LONGLONG duration = 0;
    if (SUCCEEDED(hr)) hr = seeking->GetDuration(&duration);
    // 100-nanosecond units.
    if (SUCCEEDED(hr)) *durationMs = duration / 10000;
    if (seeking != nullptr) seeking->Release();
    graph->Release();
    return hr;
}
