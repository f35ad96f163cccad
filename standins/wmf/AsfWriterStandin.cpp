#include "standins/wmf/AsfWriterStandin.h"

#include <windows.h>
#include <mmreg.h>
#include <nserror.h>

#include <cstring>

#include "library/util/ScopedCom.h"
#include "platform/dshow/MediaType.h"
#include "standins/wpd/ComObject.h"

namespace standin {

namespace {

// The writer's advanced interface: only the input settings are kept, the rest is not needed.
class CWriterAdvanced : public CComObject, public IWMWriterAdvanced2 {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IWMWriterAdvanced)) ||
            IsEqualIID(iid, __uuidof(IWMWriterAdvanced2))) {
            *object = static_cast<IWMWriterAdvanced2*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STANDIN_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetSinkCount(DWORD* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSink(DWORD, IWMWriterSink**) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE AddSink(IWMWriterSink*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveSink(IWMWriterSink*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WriteStreamSample(WORD, QWORD, DWORD, QWORD, DWORD, INSSBuffer*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetLiveSource(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsRealTime(WINBOOL* realTime) override {
        *realTime = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWriterTime(QWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStatistics(WORD, WM_WRITER_STATISTICS*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSyncTolerance(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetSyncTolerance(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInputSetting(DWORD, LPCWSTR, WMT_ATTR_DATATYPE*, BYTE*, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetInputSetting(DWORD, LPCWSTR name, WMT_ATTR_DATATYPE, const BYTE* value, WORD length) override {
        return name != nullptr && (value != nullptr || length == 0) ? S_OK : E_POINTER;
    }
};

bool IsUncompressedVideo(const AM_MEDIA_TYPE& type) {
    if (!IsEqualGUID(type.majortype, MEDIATYPE_Video)) return false;
    if (IsEqualGUID(type.formattype, FORMAT_VideoInfo)) return type.cbFormat >= sizeof(VIDEOINFOHEADER);
    if (IsEqualGUID(type.formattype, FORMAT_VideoInfo2)) return type.cbFormat >= sizeof(VIDEOINFOHEADER2);
    return false;
}

// Stereo or mono 16-bit PCM: what the audio encoder takes (more channels need converting first).
bool IsEncodableAudio(const AM_MEDIA_TYPE& type) {
    if (!IsEqualGUID(type.majortype, MEDIATYPE_Audio) || !IsEqualGUID(type.subtype, MEDIASUBTYPE_PCM) ||
        !IsEqualGUID(type.formattype, FORMAT_WaveFormatEx) || type.pbFormat == nullptr || type.cbFormat < sizeof(PCMWAVEFORMAT)) {
        return false;
    }
    PCMWAVEFORMAT format;
    std::memcpy(&format, type.pbFormat, sizeof(format));
    return format.wf.nChannels >= 1 && format.wf.nChannels <= 2 && format.wBitsPerSample == 16;
}

}  // namespace

CAsfWriterInputPin::CAsfWriterInputPin(CAsfWriterStandin* writer, CCriticalSection* lock, const wchar_t* name, bool audio)
    : CDsInputPin(writer, lock, name), writer_(writer), audio_(audio) {}

HRESULT CAsfWriterInputPin::CheckMediaType(const AM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    if (!writer_->HasStream(audio_ ? WMMEDIATYPE_Audio : WMMEDIATYPE_Video)) return VFW_E_TYPE_NOT_ACCEPTED;
    const bool accepted = audio_ ? IsEncodableAudio(*type) : IsUncompressedVideo(*type);
    return accepted ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAsfWriterInputPin::Receive(IMediaSample* sample) {
    HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return writer_->OnSample(audio_ ? WMMEDIATYPE_Audio : WMMEDIATYPE_Video, sample);
}

HRESULT CAsfWriterInputPin::EndOfStream() {
    ended_ = true;
    writer_->OnEndOfStream();
    return S_OK;
}

HRESULT CAsfWriterInputPin::Active() {
    ended_ = false;
    return CDsInputPin::Active();
}

CAsfWriterStandin::CAsfWriterStandin(IUnknown* outer)
    : CDsBaseFilter(L"WM ASF Writer stand-in", outer, &filterLock_, CLSID_WMAsfWriter),
      audio_(this, &filterLock_, L"Audio Input 01", true),
      video_(this, &filterLock_, L"Video Input 01", false) {}

CAsfWriterStandin::~CAsfWriterStandin() {
    if (profile_ != nullptr) profile_->Release();
}

HRESULT CAsfWriterStandin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, __uuidof(IConfigAsfWriter))) return GetInterface(static_cast<IConfigAsfWriter*>(this), object);
    if (IsEqualIID(iid, IID_IFileSinkFilter)) return GetInterface(static_cast<IFileSinkFilter*>(this), object);
    if (IsEqualIID(iid, IID_IMediaSeeking)) return GetInterface(static_cast<IMediaSeeking*>(this), object);
    if (IsEqualIID(iid, IID_IServiceProvider)) return GetInterface(static_cast<IServiceProvider*>(this), object);
    return CDsBaseFilter::NonDelegatingQueryInterface(iid, object);
}

CDsBasePin* CAsfWriterStandin::GetPin(int index) {
    if (index == 0) return &audio_;
    if (index == 1) return &video_;
    return nullptr;
}

HRESULT CAsfWriterStandin::Stop() {
    CScopedLock filterLock(filterLock_);
    HRESULT hr = CDsBaseFilter::Stop();
    CScopedLock lock(stateLock_);
    if (file_.IsOpen()) {
        const HRESULT finished = file_.Finish(static_cast<ULONGLONG>(written_));
        if (SUCCEEDED(hr)) hr = finished;
    }
    written_ = 0;
    completionSent_ = false;
    return hr;
}

HRESULT CAsfWriterStandin::Pause() {
    CScopedLock filterLock(filterLock_);
    if (IsStopped() && !fileName_.empty()) {
        CScopedLock lock(stateLock_);
        written_ = 0;
        completionSent_ = false;
        const HRESULT hr = file_.Open(fileName_, streams_);
        if (FAILED(hr)) return hr;
    }
    return CDsBaseFilter::Pause();
}

HRESULT CAsfWriterStandin::OnSample(REFGUID type, IMediaSample* sample) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    const bool timed = SUCCEEDED(sample->GetTime(&start, &end));
    BYTE* data = nullptr;
    const long length = sample->GetActualDataLength();
    if (FAILED(sample->GetPointer(&data)) || length < 0) return E_INVALIDARG;
    CScopedLock lock(stateLock_);
    // An untimed sample follows the last one.
    if (!timed) start = end = written_;
    if (end > written_) written_ = end;
    if (!file_.IsOpen()) return S_OK;
    // A sample that cannot be written fails its delivery, so the run does not end as a success.
    const bool keyFrame = IsEqualGUID(type, WMMEDIATYPE_Audio) || sample->IsSyncPoint() == S_OK;
    const HRESULT hr = file_.WriteSample(StreamNumber(type), start, end, keyFrame, data, static_cast<size_t>(length));
    return FAILED(hr) ? hr : S_OK;
}

void CAsfWriterStandin::OnEndOfStream() {
    {
        CScopedLock lock(stateLock_);
        for (CAsfWriterInputPin* pin : {&audio_, &video_}) {
            if (pin->IsConnected() && !pin->Ended()) return;
        }
        if (completionSent_) return;
        completionSent_ = true;
    }
    NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
}

bool CAsfWriterStandin::HasStream(REFGUID type) const { return StreamNumber(type) != 0; }

// The number of the profile's first stream of the type; 0 (no stream has it) when there is none.
WORD CAsfWriterStandin::StreamNumber(REFGUID type) const {
    for (const AsfStream& stream : streams_) {
        if (IsEqualGUID(stream.type, type)) return stream.number;
    }
    return 0;
}

HRESULT CAsfWriterStandin::ConfigureFilterUsingProfile(IWMProfile* profile) {
    if (profile == nullptr) return E_POINTER;
    DWORD count = 0;
    HRESULT hr = profile->GetStreamCount(&count);
    if (FAILED(hr)) return hr;
    // A profile without streams describes no file.
    if (count == 0) return E_INVALIDARG;
    std::vector<AsfStream> streams;
    for (DWORD index = 0; index < count; ++index) {
        CScopedComPtr<IWMStreamConfig> config;
        CScopedComPtr<IWMMediaProps> props;
        AsfStream stream = {};
        if (FAILED(hr = profile->GetStream(index, config.Receive())) || FAILED(hr = config->GetStreamNumber(&stream.number)) ||
            FAILED(hr = config->GetStreamType(&stream.type)) || FAILED(hr = config->GetBitrate(&stream.bitrate)) ||
            FAILED(hr = config->QueryInterface(__uuidof(IWMMediaProps), reinterpret_cast<void**>(props.Receive())))) {
            return hr;
        }
        DWORD size = 0;
        if (FAILED(hr = props->GetMediaType(nullptr, &size))) return hr;
        if (size < sizeof(WM_MEDIA_TYPE)) return E_INVALIDARG;
        std::vector<BYTE> buffer(size);
        WM_MEDIA_TYPE* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data());
        if (FAILED(hr = props->GetMediaType(type, &size))) return hr;
        // Without its format the stream cannot be described: a profile still missing one is refused.
        if (type->pbFormat == nullptr || type->cbFormat == 0) return NS_E_INVALID_STREAM;
        stream.format.assign(type->pbFormat, type->pbFormat + type->cbFormat);
        streams.push_back(std::move(stream));
    }
    CScopedLock lock(stateLock_);
    streams_ = std::move(streams);
    profile->AddRef();
    if (profile_ != nullptr) profile_->Release();
    profile_ = profile;
    return S_OK;
}

HRESULT CAsfWriterStandin::GetCurrentProfile(IWMProfile** profile) {
    if (profile == nullptr) return E_POINTER;
    *profile = profile_;
    if (profile_ != nullptr) profile_->AddRef();
    return S_OK;
}

HRESULT CAsfWriterStandin::SetIndexMode(BOOL index) {
    index_ = index;
    return S_OK;
}

HRESULT CAsfWriterStandin::GetIndexMode(BOOL* index) {
    if (index == nullptr) return E_POINTER;
    *index = index_;
    return S_OK;
}

HRESULT CAsfWriterStandin::SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) {
    if (name == nullptr) return E_POINTER;
    fileName_ = name;
    return S_OK;
}

HRESULT CAsfWriterStandin::GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* type) {
    if (name == nullptr) return E_POINTER;
    const size_t bytes = (fileName_.size() + 1) * sizeof(wchar_t);
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (*name == nullptr) return E_OUTOFMEMORY;
    std::memcpy(*name, fileName_.c_str(), bytes);
    if (type != nullptr) std::memset(type, 0, sizeof(*type));
    return S_OK;
}

HRESULT CAsfWriterStandin::GetCapabilities(DWORD* capabilities) {
    *capabilities = AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetDuration;
    return S_OK;
}

HRESULT CAsfWriterStandin::CheckCapabilities(DWORD* capabilities) {
    const DWORD own = AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetDuration;
    const DWORD asked = *capabilities;
    *capabilities &= own;
    return *capabilities == asked ? S_OK : (*capabilities != 0 ? S_FALSE : E_FAIL);
}

HRESULT CAsfWriterStandin::IsFormatSupported(const GUID* format) {
    return IsEqualGUID(*format, TIME_FORMAT_MEDIA_TIME) ? S_OK : S_FALSE;
}

HRESULT CAsfWriterStandin::QueryPreferredFormat(GUID* format) {
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT CAsfWriterStandin::GetTimeFormat(GUID* format) { return QueryPreferredFormat(format); }

HRESULT CAsfWriterStandin::IsUsingTimeFormat(const GUID* format) { return IsFormatSupported(format); }

HRESULT CAsfWriterStandin::SetTimeFormat(const GUID* format) {
    return IsEqualGUID(*format, TIME_FORMAT_MEDIA_TIME) ? S_OK : E_INVALIDARG;
}

// The longest duration any upstream stream reports.
HRESULT CAsfWriterStandin::GetDuration(LONGLONG* duration) {
    if (duration == nullptr) return E_POINTER;
    *duration = 0;
    HRESULT result = E_NOTIMPL;
    for (CAsfWriterInputPin* pin : {&audio_, &video_}) {
        CScopedComPtr<IPin> peer;
        CScopedComPtr<IMediaSeeking> seeking;
        LONGLONG length = 0;
        if (FAILED(pin->ConnectedTo(peer.Receive())) ||
            FAILED(peer->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(seeking.Receive()))) ||
            FAILED(seeking->GetDuration(&length))) {
            continue;
        }
        if (length > *duration) *duration = length;
        result = S_OK;
    }
    return result;
}

HRESULT CAsfWriterStandin::GetStopPosition(LONGLONG* stop) { return GetDuration(stop); }

HRESULT CAsfWriterStandin::GetCurrentPosition(LONGLONG* current) {
    if (current == nullptr) return E_POINTER;
    CScopedLock lock(stateLock_);
    *current = written_;
    return S_OK;
}

HRESULT CAsfWriterStandin::GetPositions(LONGLONG* current, LONGLONG* stop) {
    if (current != nullptr) GetCurrentPosition(current);
    if (stop != nullptr) GetDuration(stop);
    return S_OK;
}

HRESULT CAsfWriterStandin::GetRate(double* rate) {
    *rate = 1.0;
    return S_OK;
}

HRESULT CAsfWriterStandin::GetPreroll(LONGLONG* preroll) {
    *preroll = 0;
    return S_OK;
}

HRESULT CAsfWriterStandin::QueryService(REFGUID service, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualGUID(service, __uuidof(IWMWriterAdvanced2))) return E_NOINTERFACE;
    CWriterAdvanced* advanced = new CWriterAdvanced();
    const HRESULT hr = advanced->QueryInterface(iid, object);
    advanced->Release();
    return hr;
}

}  // namespace standin
