#include "CEventSource.h"

#include "CEventHub.h"
#include "platform/com/InterfaceTable.h"

#include <new>

namespace {

CTypeInfoCache& EventSourceTypeInfo() {
    static CTypeInfoCache typeInfo(LIBID_QbComTestLib, 1, 2, IID_IEventSource);
    return typeInfo;
}

const LONG kMaxEvents = 1000000;
const LONG kMaxClients = 64;

}  // namespace

CEventSource::CEventSource()
    : CTypeLibDispatch<IEventSource>(EventSourceTypeInfo()), runEnded_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    events_ = AddConnectionPoint(DIID__IEventSourceEvents);
    CEventHub::Instance().Add(this);
}

CEventSource::~CEventSource() {
    CEventHub::Instance().Remove(this);
    if (runEnded_) CloseHandle(runEnded_);
}

HRESULT CEventSource::Create(IUnknown* outer, REFIID iid, void** result) {
    *result = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    CEventSource* created = new (std::nothrow) CEventSource;
    if (!created || !created->events_ || !created->runEnded_) {
        if (created) created->Release();
        return E_OUTOFMEMORY;
    }
    HRESULT hr = created->QueryInterface(iid, result);
    created->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE CEventSource::QueryInterface(REFIID iid, void** result) {
    static const InterfaceEntry<CEventSource> kInterfaces[] = {
        {&IID_IEventSource, [](CEventSource* self) -> IUnknown* { return static_cast<IEventSource*>(self); }},
        {&IID_IDispatch, [](CEventSource* self) -> IUnknown* { return static_cast<IEventSource*>(self); }},
        {&IID_IConnectionPointContainer,
         [](CEventSource* self) -> IUnknown* { return static_cast<IConnectionPointContainer*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}

HRESULT STDMETHODCALLTYPE CEventSource::Echo(BSTR text, BSTR* result) {
    if (!result) return E_POINTER;
    *result = SysAllocStringLen(text, SysStringLen(text));
    return *result ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CEventSource::put_listener(IDispatch* listener) { return listener_.Put(listener); }

HRESULT STDMETHODCALLTYPE CEventSource::Start(LONG events, LONG clients) {
    if (events < 0 || events > kMaxEvents || clients < 1 || clients > kMaxClients) return E_INVALIDARG;
    return CEventHub::Instance().Start(this, events, clients);
}

HRESULT STDMETHODCALLTYPE CEventSource::Wait(LONG milliseconds, VARIANT_BOOL* finished) {
    if (!finished) return E_POINTER;
    *finished = VARIANT_FALSE;
    if (milliseconds < 0) return E_INVALIDARG;
    // Pumps this apartment's messages meanwhile, so the client's own calls still get through.
    DWORD index = 0;
    if (CoWaitForMultipleHandles(0, static_cast<DWORD>(milliseconds), 1, &runEnded_, &index) == S_OK) {
        *finished = VARIANT_TRUE;
    }
    return S_OK;
}

HRESULT CEventSource::KeepListenerProxy(CScopedComPtr<IDispatch>* proxy) {
    return CGitEntry::Fetch(listener_.Cookie(), IID_IDispatch, proxy);
}

void CEventSource::MarkRunEnded(bool ended) {
    if (ended) {
        SetEvent(runEnded_);
    } else {
        ResetEvent(runEnded_);
    }
}

HRESULT CEventSource::Deliver(LONG index) {
    CScopedVariant argument(index);
    events_->FireDispatch(1, &argument.Get(), 1);
    return listener_.Call(&argument.Get(), 1);
}
