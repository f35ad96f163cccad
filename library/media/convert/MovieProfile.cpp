// The Windows Media profile of a conversion: stream 1 WMA audio at the best qualifying format of
// the runtime's codec, stream 2 WMV 9 video at the encode size.
#include <windows.h>
#include <mmreg.h>

#include <cstring>
#include <vector>

#include "library/media/convert/QBCONVMovie.h"

namespace {

constexpr DWORD kAudioBufferWindowMs = 3000;
constexpr DWORD kVideoBufferWindowMs = 5000;
constexpr DWORD kVideoQuality = 90;
constexpr LONGLONG kMaxKeyFrameSpacing = 40000000;  // 4 s
constexpr WORD kAudioStreamNumber = 1;
constexpr WORD kVideoStreamNumber = 2;

// The stream configuration's media type, in one buffer (the format block lies inside it).
HRESULT ReadMediaType(IWMStreamConfig* config, std::vector<BYTE>* buffer) {
    CScopedComPtr<IWMMediaProps> props;
    HRESULT hr = config->QueryInterface(__uuidof(IWMMediaProps), reinterpret_cast<void**>(props.Receive()));
    if (FAILED(hr)) return hr;
    DWORD size = 0;
    hr = props->GetMediaType(nullptr, &size);
    if (FAILED(hr)) return hr;
    if (size < sizeof(WM_MEDIA_TYPE)) return E_UNEXPECTED;
    buffer->assign(size, 0);
    return props->GetMediaType(reinterpret_cast<WM_MEDIA_TYPE*>(buffer->data()), &size);
}

const WM_MEDIA_TYPE& AsMediaType(const std::vector<BYTE>& buffer) {
    return *reinterpret_cast<const WM_MEDIA_TYPE*>(buffer.data());
}

// The audio format of a media type, when its format block holds a whole WAVEFORMATEX.
bool ReadWaveFormat(const WM_MEDIA_TYPE& type, WAVEFORMATEX* format) {
    static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is laid out packed");
    if (type.pbFormat == nullptr || type.cbFormat < sizeof(WAVEFORMATEX)) return false;
    std::memcpy(format, type.pbFormat, sizeof(WAVEFORMATEX));
    return true;
}

// 2 channels of 16-bit samples at 44,100 Hz, within the rate limit, in packets frequent enough.
bool QualifiesForAudio(const WAVEFORMATEX& format, DWORD bestBitrate, DWORD limit) {
    const DWORD bitrate = format.nAvgBytesPerSec * 8;
    if (bitrate <= bestBitrate || bitrate > limit) return false;
    if (format.nChannels != 2 || format.wBitsPerSample != 16 || format.nSamplesPerSec != 44100) return false;
    if (format.nBlockAlign == 0) return false;
    const double packetsPerSecond = static_cast<double>(format.nAvgBytesPerSec / format.nBlockAlign);
    return packetsPerSecond >= (format.nAvgBytesPerSec < 4000 ? 3.0 : 5.0);
}

HRESULT NameStream(IWMStreamConfig* config, const wchar_t* streamName, const wchar_t* connectionName, DWORD bitrate,
                   DWORD bufferWindowMs, WORD number) {
    HRESULT hr = config->SetStreamName(const_cast<wchar_t*>(streamName));
    if (SUCCEEDED(hr)) hr = config->SetConnectionName(const_cast<wchar_t*>(connectionName));
    if (SUCCEEDED(hr)) hr = config->SetBitrate(bitrate);
    if (SUCCEEDED(hr)) hr = config->SetBufferWindow(bufferWindowMs);
    if (SUCCEEDED(hr)) hr = config->SetStreamNumber(number);
    return hr;
}

}  // namespace

HRESULT CQBCONVMovie::BuildProfile() {
    profile_.Reset();
    if (!profileManager_) return E_POINTER;
    HRESULT hr = profileManager_->CreateEmptyProfile(WMT_VER_9_0, profile_.Receive());
    if (FAILED(hr)) return hr;
    hr = AddAudioStream();
    if (SUCCEEDED(hr)) hr = AddVideoStream();
    return hr;
}

HRESULT CQBCONVMovie::AddAudioStream() {
    CScopedComPtr<IWMCodecInfo3> codecs;
    HRESULT hr = profileManager_->QueryInterface(__uuidof(IWMCodecInfo3), reinterpret_cast<void**>(codecs.Receive()));
    if (FAILED(hr)) return hr;
    DWORD codecCount = 0;
    hr = codecs->GetCodecInfoCount(WMMEDIATYPE_Audio, &codecCount);
    if (FAILED(hr)) return hr;
    std::vector<BYTE> buffer;
    DWORD codec = 0;
    for (; codec < codecCount; ++codec) {
        CScopedComPtr<IWMStreamConfig> config;
        if (FAILED(codecs->GetCodecFormat(WMMEDIATYPE_Audio, codec, 0, config.Receive()))) continue;
        if (SUCCEEDED(ReadMediaType(config.Get(), &buffer)) && IsEqualGUID(AsMediaType(buffer).subtype, WMMEDIASUBTYPE_WMAudioV8)) break;
    }
    if (codec == codecCount) return E_FAIL;

    DWORD formatCount = 0;
    hr = codecs->GetCodecFormatCount(WMMEDIATYPE_Audio, codec, &formatCount);
    if (FAILED(hr)) return hr;
    CScopedComPtr<IWMStreamConfig> best;
    DWORD bestBitrate = 0;
    for (DWORD index = 0; index < formatCount; ++index) {
        CScopedComPtr<IWMStreamConfig> config;
        WAVEFORMATEX format = {};
        if (FAILED(codecs->GetCodecFormat(WMMEDIATYPE_Audio, codec, index, config.Receive())) ||
            FAILED(ReadMediaType(config.Get(), &buffer)) || !ReadWaveFormat(AsMediaType(buffer), &format)) {
            continue;
        }
        if (!QualifiesForAudio(format, bestBitrate, audioBitrate_)) continue;
        bestBitrate = format.nAvgBytesPerSec * 8;
        best = std::move(config);
    }
    if (!best) return E_FAIL;

    hr = NameStream(best.Get(), L"Audio Stream", L"Audio Connection", bestBitrate, kAudioBufferWindowMs, kAudioStreamNumber);
    if (SUCCEEDED(hr)) hr = profile_->AddStream(best.Get());
    if (SUCCEEDED(hr)) hr = profile_->ReconfigStream(best.Get());
    return hr;
}

HRESULT CQBCONVMovie::AddVideoStream() {
    CScopedComPtr<IWMStreamConfig> config;
    HRESULT hr = profile_->CreateNewStream(WMMEDIATYPE_Video, config.Receive());
    if (FAILED(hr)) return hr;
    hr = NameStream(config.Get(), L"Video Stream", L"Video Connection", videoBitrate_, kVideoBufferWindowMs, kVideoStreamNumber);
    if (FAILED(hr)) return hr;

    VIDEOINFOHEADER header = {};
    header.rcSource = {0, 0, static_cast<LONG>(encodeWidth_), static_cast<LONG>(encodeHeight_)};
    header.rcTarget = header.rcSource;
    header.dwBitRate = videoBitrate_;
    header.dwBitErrorRate = 0;
    header.AvgTimePerFrame = frameRate_ == 29 ? 333666 : 10000000 / (frameRate_ != 0 ? frameRate_ : 30);
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = static_cast<LONG>(encodeWidth_);
    header.bmiHeader.biHeight = static_cast<LONG>(encodeHeight_);
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = kFourCcWmv3;
    WM_MEDIA_TYPE type = {};
    type.majortype = WMMEDIATYPE_Video;
    type.subtype = WMMEDIASUBTYPE_WMV3;
    type.bFixedSizeSamples = FALSE;
    type.bTemporalCompression = TRUE;
    type.lSampleSize = 0;
    type.formattype = FORMAT_VideoInfo;
    type.pUnk = nullptr;
    type.cbFormat = sizeof(VIDEOINFOHEADER);
    type.pbFormat = reinterpret_cast<BYTE*>(&header);

    CScopedComPtr<IWMVideoMediaProps> video;
    hr = config->QueryInterface(__uuidof(IWMVideoMediaProps), reinterpret_cast<void**>(video.Receive()));
    if (SUCCEEDED(hr)) hr = video->SetMediaType(&type);
    if (SUCCEEDED(hr)) hr = video->SetQuality(kVideoQuality);
    if (SUCCEEDED(hr)) hr = video->SetMaxKeyFrameSpacing(kMaxKeyFrameSpacing);
    if (FAILED(hr)) return hr;

    CScopedComPtr<IWMPropertyVault> vault;
    hr = config->QueryInterface(__uuidof(IWMPropertyVault), reinterpret_cast<void**>(vault.Receive()));
    if (FAILED(hr)) return hr;
    WORD complexity = videoComplexity_;
    hr = vault->SetProperty(L"_COMPLEXITYEX", WMT_TYPE_WORD, reinterpret_cast<BYTE*>(&complexity), sizeof(complexity));
    if (SUCCEEDED(hr) && decoderComplexityProfile_ != 0) {
        wchar_t text[3] = L"";
        if (decoderComplexityProfile_ == 1) wcscpy(text, L"SP");
        if (decoderComplexityProfile_ == 2) wcscpy(text, L"MP");
        hr = vault->SetProperty(L"_DECODERCOMPLEXITYPROFILE", WMT_TYPE_STRING, reinterpret_cast<BYTE*>(text),
                                static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    }
    if (SUCCEEDED(hr)) hr = profile_->AddStream(config.Get());
    if (SUCCEEDED(hr)) hr = profile_->ReconfigStream(config.Get());
    return hr;
}
