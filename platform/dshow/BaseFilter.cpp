#include "platform/dshow/BaseFilter.h"

#include <cwchar>

#include "platform/dshow/BasePin.h"
#include "platform/dshow/EnumPins.h"

CDsBaseFilter::CDsBaseFilter(const wchar_t* name, IUnknown* outer, CCriticalSection* lock, REFCLSID clsid)
    : CDsUnknown(outer), lock_(lock), clsid_(clsid), name_(name != nullptr ? name : L"") {}

CDsBaseFilter::~CDsBaseFilter() {
    if (clock_ != nullptr) clock_->Release();
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IBaseFilter) || IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IPersist))
        return GetInterface(static_cast<IBaseFilter*>(this), object);
    if (IsEqualIID(iid, IID_IAMFilterMiscFlags) && MiscFlags() != 0)
        return GetInterface(static_cast<IAMFilterMiscFlags*>(this), object);
    return CDsUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::GetClassID(CLSID* clsid) {
    if (clsid == nullptr) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::Stop() {
    CScopedLock lock(*lock_);
    HRESULT result = S_OK;
    if (state_ != State_Stopped) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CDsBasePin* pin = GetPin(i);
            if (pin == nullptr || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Inactive();
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    }
    state_ = State_Stopped;
    return result;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::Pause() {
    CScopedLock lock(*lock_);
    if (state_ == State_Stopped) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CDsBasePin* pin = GetPin(i);
            if (pin == nullptr || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Active();
            if (FAILED(hr)) return hr;
        }
    }
    state_ = State_Paused;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::Run(REFERENCE_TIME start) {
    CScopedLock lock(*lock_);
    start_ = start;
    if (state_ == State_Stopped) {
        const HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    if (state_ != State_Running) {
        state_ = State_Running;
        for (int i = 0; i < GetPinCount(); ++i) {
            CDsBasePin* pin = GetPin(i);
            if (pin == nullptr || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Run(start);
            if (FAILED(hr)) return hr;
        }
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::GetState(DWORD, FILTER_STATE* state) {
    if (state == nullptr) return E_POINTER;
    *state = state_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::SetSyncSource(IReferenceClock* clock) {
    CScopedLock lock(*lock_);
    if (clock != nullptr) clock->AddRef();
    if (clock_ != nullptr) clock_->Release();
    clock_ = clock;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::GetSyncSource(IReferenceClock** clock) {
    if (clock == nullptr) return E_POINTER;
    CScopedLock lock(*lock_);
    *clock = clock_;
    if (clock_ != nullptr) clock_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::EnumPins(IEnumPins** pins) {
    if (pins == nullptr) return E_POINTER;
    *pins = nullptr;
    CScopedLock lock(*lock_);
    return CDsEnumPins::Create(this, pins);
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (pin == nullptr) return E_POINTER;
    *pin = nullptr;
    if (id == nullptr) return E_POINTER;
    CScopedLock lock(*lock_);
    for (int i = 0; i < GetPinCount(); ++i) {
        CDsBasePin* candidate = GetPin(i);
        if (candidate != nullptr && candidate->Name() == id) return GetInterface(static_cast<IPin*>(candidate), reinterpret_cast<void**>(pin));
    }
    return VFW_E_NOT_FOUND;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (info == nullptr) return E_POINTER;
    wcsncpy(info->achName, name_.c_str(), MAX_FILTER_NAME - 1);
    info->achName[MAX_FILTER_NAME - 1] = L'\0';
    info->pGraph = graph_;
    if (graph_ != nullptr) graph_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    CScopedLock lock(*lock_);
    graph_ = graph;
    eventSink_ = nullptr;
    if (graph != nullptr) {
        // Kept without a reference, like the graph pointer itself.
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&eventSink_))))
            eventSink_->Release();
    }
    name_ = name != nullptr ? name : L"";
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBaseFilter::QueryVendorInfo(LPWSTR* info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CDsBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = eventSink_;
    if (sink == nullptr) return E_NOTIMPL;
    // EC_COMPLETE names the filter that finished; the graph counts renderers by it.
    if (code == EC_COMPLETE && param2 == 0) param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(code, param1, param2);
}
