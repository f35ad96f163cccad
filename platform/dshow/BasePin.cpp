#include "platform/dshow/BasePin.h"

#include <cwchar>

#include "platform/dshow/BaseFilter.h"
#include "platform/dshow/EnumMediaTypes.h"

CDsBasePin::CDsBasePin(CDsBaseFilter* filter, CCriticalSection* lock, const wchar_t* name, PIN_DIRECTION direction)
    : lock_(lock), filter_(filter), name_(name != nullptr ? name : L""), direction_(direction) {
    mediaType_.Clear();
}

CDsBasePin::~CDsBasePin() {
    if (connected_ != nullptr) connected_->Release();
}

HRESULT STDMETHODCALLTYPE CDsBasePin::QueryInterface(REFIID iid, void** object) { return PinQueryInterface(iid, object); }

ULONG STDMETHODCALLTYPE CDsBasePin::AddRef() { return filter_->GetOwner()->AddRef(); }

ULONG STDMETHODCALLTYPE CDsBasePin::Release() { return filter_->GetOwner()->Release(); }

HRESULT CDsBasePin::PinQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin)) return GetInterface(static_cast<IPin*>(this), object);
    return E_NOINTERFACE;
}

HRESULT CDsBasePin::GetMediaType(int position, CMediaType*) {
    return position < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
}

HRESULT CDsBasePin::SetMediaType(const AM_MEDIA_TYPE* type) { return mediaType_.Set(*type); }

HRESULT CDsBasePin::CheckConnect(IPin* peer) {
    PIN_DIRECTION peerDirection;
    if (FAILED(peer->QueryDirection(&peerDirection))) return E_FAIL;
    return peerDirection == direction_ ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CDsBasePin::CompleteConnect(IPin*) { return S_OK; }

HRESULT CDsBasePin::BreakConnect() { return S_OK; }

void CDsBasePin::ClearConnection() {
    if (connected_ != nullptr) {
        connected_->Release();
        connected_ = nullptr;
    }
    mediaType_.Clear();
}

HRESULT STDMETHODCALLTYPE CDsBasePin::Connect(IPin* receiver, const AM_MEDIA_TYPE* type) {
    if (receiver == nullptr) return E_POINTER;
    CScopedLock lock(*lock_);
    if (connected_ != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    return AgreeMediaType(receiver, type);
}

HRESULT CDsBasePin::AgreeMediaType(IPin* receiver, const AM_MEDIA_TYPE* type) {
    if (type != nullptr && IsMediaTypeFullySpecified(*type)) return AttemptConnection(receiver, type);
    // The receiver's preferences first, then ours. A type both sides took that failed later
    // tells more than "no acceptable types".
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int round = 0; round < 2; ++round) {
        IEnumMediaTypes* types = nullptr;
        const HRESULT hr = round == 0 ? receiver->EnumMediaTypes(&types) : EnumMediaTypes(&types);
        if (FAILED(hr) || types == nullptr) continue;
        const HRESULT tried = TryTypesOf(types, receiver, type, &failure);
        types->Release();
        if (SUCCEEDED(tried)) return tried;
    }
    return failure;
}

HRESULT CDsBasePin::TryTypesOf(IEnumMediaTypes* types, IPin* receiver, const AM_MEDIA_TYPE* partial, HRESULT* failure) {
    AM_MEDIA_TYPE* candidate = nullptr;
    ULONG fetched = 0;
    // A bound on proposals keeps a misbehaving enumerator from looping forever.
    for (int guard = 0; guard < 1000 && types->Next(1, &candidate, &fetched) == S_OK && fetched == 1; ++guard) {
        HRESULT hr = VFW_E_NO_ACCEPTABLE_TYPES;
        if (partial == nullptr || MediaTypeMatchesPartial(*candidate, *partial)) hr = AttemptConnection(receiver, candidate);
        DeleteMediaTypeRecord(candidate);
        candidate = nullptr;
        if (SUCCEEDED(hr)) return hr;
        if (hr != VFW_E_TYPE_NOT_ACCEPTED && hr != VFW_E_NO_ACCEPTABLE_TYPES) *failure = hr;
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT CDsBasePin::CheckPeerAndType(IPin* peer, const AM_MEDIA_TYPE* type) {
    const HRESULT hr = CheckConnect(peer);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    if (CheckMediaType(type) != S_OK) {
        BreakConnect();
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

HRESULT CDsBasePin::AttemptConnection(IPin* receiver, const AM_MEDIA_TYPE* type) {
    // Every attempt checks the peer afresh: a failed attempt's BreakConnect undoes what the check
    // took (an output pin's hold on the peer's memory input, say).
    HRESULT hr = CheckPeerAndType(receiver, type);
    if (FAILED(hr)) return hr;
    connected_ = receiver;
    connected_->AddRef();
    hr = SetMediaType(type);
    if (SUCCEEDED(hr)) {
        hr = receiver->ReceiveConnection(static_cast<IPin*>(this), type);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(receiver);
            if (SUCCEEDED(hr)) return S_OK;
            receiver->Disconnect();
        }
    }
    BreakConnect();
    ClearConnection();
    return FAILED(hr) ? hr : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
    if (connector == nullptr || type == nullptr) return E_POINTER;
    CScopedLock lock(*lock_);
    if (connected_ != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    HRESULT hr = CheckPeerAndType(connector, type);
    if (FAILED(hr)) return hr;
    connected_ = connector;
    connected_->AddRef();
    hr = SetMediaType(type);
    if (SUCCEEDED(hr)) hr = CompleteConnect(connector);
    if (FAILED(hr)) {
        BreakConnect();
        ClearConnection();
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::Disconnect() {
    CScopedLock lock(*lock_);
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (connected_ == nullptr) return S_FALSE;
    const HRESULT hr = BreakConnect();
    if (FAILED(hr)) return hr;
    ClearConnection();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::ConnectedTo(IPin** pin) {
    if (pin == nullptr) return E_POINTER;
    CScopedLock lock(*lock_);
    *pin = connected_;
    if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
    connected_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    CScopedLock lock(*lock_);
    if (connected_ == nullptr) {
        *type = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaTypeContents(*type, mediaType_);
}

HRESULT STDMETHODCALLTYPE CDsBasePin::QueryPinInfo(PIN_INFO* info) {
    if (info == nullptr) return E_POINTER;
    info->pFilter = static_cast<IBaseFilter*>(filter_);
    info->pFilter->AddRef();
    info->dir = direction_;
    wcsncpy(info->achName, name_.c_str(), MAX_PIN_NAME - 1);
    info->achName[MAX_PIN_NAME - 1] = L'\0';
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::QueryDirection(PIN_DIRECTION* direction) {
    if (direction == nullptr) return E_POINTER;
    *direction = direction_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::QueryId(LPWSTR* id) {
    if (id == nullptr) return E_POINTER;
    const size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (*id == nullptr) return E_OUTOFMEMORY;
    memcpy(*id, name_.c_str(), bytes);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::QueryAccept(const AM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    return CheckMediaType(type) == S_OK ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (types == nullptr) return E_POINTER;
    *types = nullptr;
    return CDsEnumMediaTypes::Create(this, types);
}

HRESULT STDMETHODCALLTYPE CDsBasePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CDsBasePin::EndOfStream() { return S_OK; }

HRESULT STDMETHODCALLTYPE CDsBasePin::BeginFlush() {
    flushing_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::EndFlush() {
    flushing_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    segmentStart_ = start;
    segmentStop_ = stop;
    segmentRate_ = rate;
    return S_OK;
}
