#include "library/media/convert/QBCONVMovie.h"

#include "library/media/convert/EncodeSize.h"
#include "library/media/convert/GraphTools.h"
#include "library/media/convert/RunEnd.h"

namespace {

// Time-out of each wait for the end of the run; a pass of the progress loop.
constexpr long kRunPollMs = 500;
// Passes without movement after which the run is taken as ended.
constexpr int kStallPasses = 10;

WMCreateProfileManagerFunction FindWMCreateProfileManager() {
    // mingw-w64 ships no import library for wmvcore.dll; the module stays loaded for the process.
    static const WMCreateProfileManagerFunction function = []() -> WMCreateProfileManagerFunction {
        HMODULE module = LoadLibraryW(L"wmvcore.dll");
        if (module == nullptr) return nullptr;
        return reinterpret_cast<WMCreateProfileManagerFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "WMCreateProfileManager")));
    }();
    return function;
}

}  // namespace

CQBCONVMovie::CQBCONVMovie() {
    // The converting thread is the owner's apartment-threaded worker; its result changes nothing.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    abortEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CQBCONVMovie::~CQBCONVMovie() {
    if (abortEvent_ != nullptr) CloseHandle(abortEvent_);
    mediaEvent_.Reset();
    {
        CScopedLock lock(controlLock_);
        mediaControl_.Reset();
    }
    writer_.Reset();
    graph_.Reset();
    profileManager_.Reset();
    profile_.Reset();
}

HRESULT CQBCONVMovie::Initialize() {
    WMCreateProfileManagerFunction create = FindWMCreateProfileManager();
    if (create == nullptr) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return create(profileManager_.Receive());
}

HRESULT CQBCONVMovie::SetOutputSize(uint32_t width, uint32_t height) {
    boxWidth_ = width;
    boxHeight_ = height;
    return S_OK;
}

void CQBCONVMovie::SetAudioBitrate(uint32_t bitsPerSecond) {
    audioBitrate_ = bitsPerSecond;
    SetTotalBitrate(audioBitrate_ + videoBitrate_);
}

void CQBCONVMovie::SetTotalBitrate(uint32_t bitsPerSecond) { totalBitrate_ = bitsPerSecond; }

void CQBCONVMovie::SetVideoBitrate(uint32_t bitsPerSecond) {
    videoBitrate_ = bitsPerSecond;
    SetTotalBitrate(audioBitrate_ + videoBitrate_);
}

HRESULT CQBCONVMovie::Start(const wchar_t* source, const wchar_t* output) {
    if (listener_ != nullptr) listener_->OnStart(source);
    ResetEvent(abortEvent_);
    const HRESULT hr = RunConversionGraph(source, output);
    if (listener_ != nullptr) {
        if (SUCCEEDED(hr)) {
            listener_->OnComplete(source);
        } else {
            listener_->OnError(source);
        }
    }
    return hr;
}

void CQBCONVMovie::Abort() {
    SetEvent(abortEvent_);
    CScopedLock lock(controlLock_);
    if (mediaControl_) mediaControl_->Stop();
}

bool CQBCONVMovie::IsAbortSet() const { return WaitForSingleObject(abortEvent_, 0) == WAIT_OBJECT_0; }

void CQBCONVMovie::ComputeEncodeSize(const wchar_t* source) {
    long width = 0;
    long height = 0;
    CScopedComPtr<IGraphBuilder> graph;
    if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   reinterpret_cast<void**>(graph.Receive())))) {
        CScopedComPtr<IMediaControl> control;
        CScopedComPtr<IBasicVideo> video;
        CScopedBstr path(source);
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(control.Receive())))) {
            control->RenderFile(path.Get());
        }
        if (FAILED(graph->QueryInterface(IID_IBasicVideo, reinterpret_cast<void**>(video.Receive()))) ||
            FAILED(video->get_SourceHeight(&height)) || FAILED(video->get_SourceWidth(&width))) {
            width = height = 0;
        }
        ClearGraph(graph.Get());
    }
    // A failed probe, or a side that is not positive, leaves the source size unknown: the box.
    if (width <= 0 || height <= 0) width = height = 0;
    const EncodeSize size = FitEncodeSize(static_cast<uint32_t>(width), static_cast<uint32_t>(height), boxWidth_, boxHeight_);
    encodeWidth_ = size.width;
    encodeHeight_ = size.height;
}

void CQBCONVMovie::StoreGraph(IGraphBuilder* graph, IBaseFilter* writer, IMediaControl* control, IMediaEventEx* events) {
    graph->AddRef();
    graph_.Reset(graph);
    writer->AddRef();
    writer_.Reset(writer);
    events->AddRef();
    mediaEvent_.Reset(events);
    control->AddRef();
    CScopedLock lock(controlLock_);
    mediaControl_.Reset(control);
}

HRESULT CQBCONVMovie::RunConversionGraph(const wchar_t* source, const wchar_t* output) {
    if (IsAbortSet()) return S_FALSE;
    ComputeEncodeSize(source);
    if (IsAbortSet()) return S_FALSE;
    BuildProfile();  // a profile that failed to build makes configuring the writer fail
    if (IsAbortSet()) return S_FALSE;

    CScopedComPtr<IGraphBuilder> graph;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(graph.Receive()));
    if (hr != S_OK) return hr;
    CScopedComPtr<IBaseFilter> writer;
    hr = CoCreateInstance(CLSID_WMAsfWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          reinterpret_cast<void**>(writer.Receive()));
    if (hr != S_OK) return hr;
    CScopedComPtr<IConfigAsfWriter> config;
    CScopedComPtr<IFileSinkFilter> sink;
    CScopedComPtr<IMediaEventEx> events;
    CScopedComPtr<IMediaControl> control;
    if (FAILED(hr = writer->QueryInterface(__uuidof(IConfigAsfWriter), reinterpret_cast<void**>(config.Receive()))) ||
        FAILED(hr = writer->QueryInterface(IID_IFileSinkFilter, reinterpret_cast<void**>(sink.Receive()))) ||
        FAILED(hr = graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(events.Receive()))) ||
        FAILED(hr = graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(control.Receive())))) {
        return hr;
    }
    OAEVENT eventHandle = 0;
    if ((hr = events->SetNotifyFlags(0)) != S_OK || (hr = events->GetEventHandle(&eventHandle)) != S_OK ||
        (hr = sink->SetFileName(output, nullptr)) != S_OK || (hr = graph->AddFilter(writer.Get(), L"WM Asf Writer")) != S_OK) {
        return hr;
    }
    StoreGraph(graph.Get(), writer.Get(), control.Get(), events.Get());

    // From here on the graph holds filters: every way out empties it first.
    auto endWith = [&graph](HRESULT result) {
        ClearGraph(graph.Get());
        return result;
    };
    if ((hr = config->ConfigureFilterUsingProfile(profile_.Get())) != S_OK || (hr = config->SetIndexMode(TRUE)) != S_OK) {
        return endWith(hr);
    }
    if (IsAbortSet()) return endWith(S_FALSE);
    hr = graph->RenderFile(source, nullptr);
    if (hr != S_OK) return endWith(hr);
    if (IsAbortSet()) return endWith(S_FALSE);
    hr = RebuildGraph(graph.Get());
    if (FAILED(hr)) return endWith(hr);
    if (IsAbortSet()) return endWith(S_FALSE);

    CScopedComPtr<IMediaSeeking> seeking;
    hr = writer->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(seeking.Receive()));
    if (FAILED(hr)) return endWith(hr);
    LONGLONG duration = 0;
    if (FAILED(seeking->GetDuration(&duration))) duration = 0;
    if (listener_ != nullptr) listener_->OnProgress(source, 0);
    if (IsAbortSet()) return endWith(S_FALSE);
    return endWith(RunToEnd(source, control.Get(), events.Get(), seeking.Get(), duration));
}

HRESULT CQBCONVMovie::RebuildGraph(IGraphBuilder* graph) {
    HRESULT hr = CompleteRendering(graph);
    if (SUCCEEDED(hr)) hr = InsertVideoConverter(graph);
    if (SUCCEEDED(hr)) hr = RerouteRenderers(graph);
    if (SUCCEEDED(hr)) hr = SetDeinterlaceMode(graph);
    if (SUCCEEDED(hr)) hr = CheckReferenceAudio(graph);
    return FAILED(hr) ? hr : S_OK;
}

HRESULT CQBCONVMovie::RunToEnd(const wchar_t* source, IMediaControl* control, IMediaEventEx* events,
                               IMediaSeeking* seeking, LONGLONG duration) {
    running_ = 1;
    HRESULT hr = control->Run();
    if (FAILED(hr)) {
        running_ = 0;
        return hr;
    }
    OAFilterState state = State_Stopped;
    // An abort stops the graph for good, so it also ends the wait for the run to begin.
    while (hr == S_FALSE && !IsAbortSet()) {
        const HRESULT stateResult = control->GetState(kRunPollMs, &state);
        if (FAILED(stateResult)) {
            running_ = 0;
            return stateResult;
        }
        if (state != State_Stopped) break;
    }

    LONGLONG position = -1;
    int32_t reported = 0;
    int stillPasses = 0;
    bool stoppedByAbort = false;
    bool stalled = false;
    for (;;) {
        const LONGLONG previous = position;
        LONGLONG current = 0;
        if (SUCCEEDED(seeking->GetCurrentPosition(&current))) {
            position = current;
            if (duration != 0) {
                const int32_t percent = static_cast<int32_t>(static_cast<double>(position) * 100.0 / static_cast<double>(duration));
                if (percent != reported) {
                    if (listener_ != nullptr) listener_->OnProgress(source, percent);
                    reported = percent;
                }
            }
        }
        long code = 0;
        const HRESULT waited = events->WaitForCompletion(kRunPollMs, &code);
        stillPasses = position == previous ? stillPasses + 1 : 0;
        if (code == EC_COMPLETE || code == EC_USERABORT) break;
        if (waited == VFW_E_WRONG_STATE || IsAbortSet()) {
            stoppedByAbort = true;
            break;
        }
        if (stillPasses >= kStallPasses) {
            stalled = true;
            break;
        }
    }
    if (listener_ != nullptr) listener_->OnProgress(source, 100);

    if (stoppedByAbort) {
        running_ = 0;
        hr = control->Stop();
        return IsAbortSet() ? S_FALSE : hr;
    }
    hr = control->Pause();
    if (hr == S_FALSE) {
        const HRESULT stateResult = control->GetState(INFINITE, &state);
        if (FAILED(stateResult)) {
            running_ = 0;
            return stateResult;
        }
    }
    hr = control->Stop();
    const HRESULT stateResult = control->GetState(INFINITE, &state);
    running_ = 0;
    if (FAILED(stateResult)) return stateResult;
    // A run that stopped moving short of its end wrote a truncated file: that is no success.
    if (stalled && SUCCEEDED(hr) && !IsNearEndOfRun(position, duration)) {
        return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    }
    return hr;
}
