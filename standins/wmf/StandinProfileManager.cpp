// The profile and the profile manager with its codec information.
#include <windows.h>
#include <mmreg.h>
#include <nserror.h>

#include <cstring>
#include <vector>

#include "library/util/ScopedCom.h"
#include "standins/wmf/StandinProfile.h"

namespace standin {

namespace {

class CProfile : public CComObject, public IWMProfile {
public:
    ~CProfile() override {
        for (CStreamConfig* stream : streams_) stream->Release();
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IWMProfile))) {
            *object = static_cast<IWMProfile*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STANDIN_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetVersion(WMT_VERSION* version) override {
        *version = WMT_VER_9_0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetName(WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetName(const WCHAR*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDescription(WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDescription(const WCHAR*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetStreamCount(DWORD* count) override {
        *count = static_cast<DWORD>(streams_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStream(DWORD index, IWMStreamConfig** config) override {
        if (index >= streams_.size()) return E_INVALIDARG;
        *config = streams_[index]->Clone();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStreamByNumber(WORD number, IWMStreamConfig** config) override {
        for (CStreamConfig* stream : streams_) {
            if (stream->Number() == number) {
                *config = stream->Clone();
                return S_OK;
            }
        }
        return NS_E_NO_STREAM;
    }
    HRESULT STDMETHODCALLTYPE RemoveStream(IWMStreamConfig*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveStreamByNumber(WORD) override { return E_NOTIMPL; }
    // Only configurations of this runtime are taken (as the real one insists, too).
    HRESULT STDMETHODCALLTYPE AddStream(IWMStreamConfig* config) override {
        CStreamConfig* stream = static_cast<CStreamConfig*>(config);
        if (stream == nullptr) return E_POINTER;
        if (stream->Number() == 0 || FindIndex(stream->Number()) >= 0) return NS_E_INVALID_STREAM;
        streams_.push_back(stream->Clone());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReconfigStream(IWMStreamConfig* config) override {
        CStreamConfig* stream = static_cast<CStreamConfig*>(config);
        if (stream == nullptr) return E_POINTER;
        const int index = FindIndex(stream->Number());
        if (index < 0) return NS_E_INVALID_STREAM;
        streams_[index]->Release();
        streams_[index] = stream->Clone();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateNewStream(REFGUID type, IWMStreamConfig** config) override {
        if (!IsEqualGUID(type, WMMEDIATYPE_Audio) && !IsEqualGUID(type, WMMEDIATYPE_Video)) return E_INVALIDARG;
        *config = new CStreamConfig(type);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMutualExclusionCount(DWORD* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMutualExclusion(DWORD, IWMMutualExclusion**) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE RemoveMutualExclusion(IWMMutualExclusion*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddMutualExclusion(IWMMutualExclusion*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateNewMutualExclusion(IWMMutualExclusion**) override { return E_NOTIMPL; }

private:
    int FindIndex(WORD number) const {
        for (size_t i = 0; i < streams_.size(); ++i) {
            if (streams_[i]->Number() == number) return static_cast<int>(i);
        }
        return -1;
    }
    std::vector<CStreamConfig*> streams_;
};

// One audio format on offer: channels, rate, bits, average bytes per second, block size.
struct AudioFormat {
    WORD channels;
    DWORD rate;
    WORD bits;
    DWORD averageBytes;
    WORD blockAlign;
};

// Windows Media Audio formats, as the runtime lists them: some out of reach, some not stereo
// 44.1 kHz, one whose packets are too rare.
const AudioFormat kWmaFormats[] = {
    {2, 44100, 16, 20000, 4000},  // 160 kbit/s: above the usual limit
    {1, 44100, 16, 16000, 3000},  // mono
    {2, 48000, 16, 16000, 3000},  // 48 kHz
    {2, 44100, 16, 16000, 8000},  // 128 kbit/s in 2 packets a second: too rare
    {2, 44100, 16, 12000, 2400},  // 96 kbit/s
    {2, 44100, 16, 16000, 3200},  // 128 kbit/s, 5 packets a second: the best
    {2, 44100, 16, 16000, 3000},  // 128 kbit/s again: the first of equal rates wins
    {2, 44100, 16, 3000, 1000},   // 24 kbit/s, 3 packets a second (enough at low rates)
};

// The codecs: another Windows Media Audio codec first, so the caller must look at the subtype.
const GUID kVoiceSubtype = {0x0000000A, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const GUID* const kAudioCodecs[] = {&kVoiceSubtype, &WMMEDIASUBTYPE_WMAudioV8};

CStreamConfig* MakeAudioConfig(DWORD codec, DWORD index) {
    const AudioFormat& f = kWmaFormats[index];
    struct {
        WAVEFORMATEX wave;
        BYTE extra[10];
    } format = {};
    format.wave.wFormatTag = codec == 1 ? 0x0161 : 0x000A;
    format.wave.nChannels = f.channels;
    format.wave.nSamplesPerSec = f.rate;
    format.wave.nAvgBytesPerSec = f.averageBytes;
    format.wave.nBlockAlign = f.blockAlign;
    format.wave.wBitsPerSample = f.bits;
    format.wave.cbSize = sizeof(format.extra);
    WM_MEDIA_TYPE type = {};
    type.majortype = WMMEDIATYPE_Audio;
    type.subtype = *kAudioCodecs[codec];
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = f.blockAlign;
    type.formattype = FORMAT_WaveFormatEx;
    type.cbFormat = sizeof(WAVEFORMATEX) + sizeof(format.extra);
    type.pbFormat = reinterpret_cast<BYTE*>(&format);
    CStreamConfig* config = new CStreamConfig(WMMEDIATYPE_Audio);
    config->SetType(type);
    config->SetBitrate(f.averageBytes * 8);
    return config;
}

class CProfileManager : public CComObject, public IWMProfileManager, public IWMCodecInfo3 {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IWMProfileManager))) {
            *object = static_cast<IWMProfileManager*>(this);
        } else if (IsEqualIID(iid, __uuidof(IWMCodecInfo)) || IsEqualIID(iid, __uuidof(IWMCodecInfo2)) ||
                   IsEqualIID(iid, __uuidof(IWMCodecInfo3))) {
            *object = static_cast<IWMCodecInfo3*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STANDIN_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE CreateEmptyProfile(WMT_VERSION, IWMProfile** profile) override {
        if (profile == nullptr) return E_POINTER;
        *profile = new CProfile();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LoadProfileByID(REFGUID, IWMProfile**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadProfileByData(const WCHAR*, IWMProfile**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveProfile(IWMProfile*, WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSystemProfileCount(DWORD* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LoadSystemProfile(DWORD, IWMProfile**) override { return E_INVALIDARG; }

    HRESULT STDMETHODCALLTYPE GetCodecInfoCount(REFGUID type, DWORD* count) override {
        *count = IsEqualGUID(type, WMMEDIATYPE_Audio) ? ARRAYSIZE(kAudioCodecs) : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCodecFormatCount(REFGUID type, DWORD codec, DWORD* count) override {
        if (!IsEqualGUID(type, WMMEDIATYPE_Audio) || codec >= ARRAYSIZE(kAudioCodecs)) return E_INVALIDARG;
        *count = ARRAYSIZE(kWmaFormats);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCodecFormat(REFGUID type, DWORD codec, DWORD index, IWMStreamConfig** config) override {
        if (!IsEqualGUID(type, WMMEDIATYPE_Audio) || codec >= ARRAYSIZE(kAudioCodecs) || index >= ARRAYSIZE(kWmaFormats)) {
            return E_INVALIDARG;
        }
        *config = MakeAudioConfig(codec, index);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCodecName(REFGUID, DWORD, WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCodecFormatDesc(REFGUID, DWORD, DWORD, IWMStreamConfig**, WCHAR*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCodecFormatProp(REFGUID, DWORD, DWORD, const WCHAR*, WMT_ATTR_DATATYPE*, BYTE*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCodecProp(REFGUID, DWORD, const WCHAR*, WMT_ATTR_DATATYPE*, BYTE*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetCodecEnumerationSetting(REFGUID, DWORD, const WCHAR*, WMT_ATTR_DATATYPE, const BYTE*, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCodecEnumerationSetting(REFGUID, DWORD, const WCHAR*, WMT_ATTR_DATATYPE*, BYTE*, DWORD*) override {
        return E_NOTIMPL;
    }
};

}  // namespace

HRESULT CreateProfileManager(IWMProfileManager** manager) {
    if (manager == nullptr) return E_POINTER;
    *manager = new CProfileManager();
    return S_OK;
}

}  // namespace standin
