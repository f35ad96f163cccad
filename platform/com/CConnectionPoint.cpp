#include "platform/com/CConnectionPoint.h"

#include "platform/com/CListenerSlot.h"
#include "platform/com/CSnapshotEnum.h"
#include "platform/com/InterfaceTable.h"

#include <olectl.h>

#include <new>

CConnectionPoint::CConnectionPoint(IConnectionPointContainer* container, REFIID iid)
    : container_(container), iid_(iid) {}

HRESULT STDMETHODCALLTYPE CConnectionPoint::QueryInterface(REFIID iid, void** result) {
    static const InterfaceEntry<CConnectionPoint> kInterfaces[] = {
        {&IID_IConnectionPoint, [](CConnectionPoint* self) -> IUnknown* { return static_cast<IConnectionPoint*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}

ULONG STDMETHODCALLTYPE CConnectionPoint::AddRef() { return container_->AddRef(); }

ULONG STDMETHODCALLTYPE CConnectionPoint::Release() { return container_->Release(); }

HRESULT STDMETHODCALLTYPE CConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** result) {
    if (!result) return E_POINTER;
    container_->AddRef();
    *result = container_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    CScopedComPtr<IUnknown> outgoing;
    if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(outgoing.Receive())))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    auto entry = std::unique_ptr<CGitEntry>(new (std::nothrow) CGitEntry);
    if (!entry) return E_OUTOFMEMORY;
    // Kept as IUnknown: a dispinterface IID has no proxy of its own, a caller fetches IDispatch.
    HRESULT hr = entry->Register(outgoing.Get(), IID_IUnknown);
    if (FAILED(hr)) return hr;
    std::lock_guard<std::mutex> guard(mutex_);
    connections_.push_back(Connection{nextCookie_, std::move(entry)});
    *cookie = nextCookie_++;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CConnectionPoint::Unadvise(DWORD cookie) {
    std::unique_ptr<CGitEntry> removed;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        for (auto it = connections_.begin(); it != connections_.end(); ++it) {
            if (it->cookie != cookie) continue;
            removed = std::move(it->sink);
            connections_.erase(it);
            break;
        }
    }
    // Revoked outside the lock: the revocation releases the sink, which may be a proxy.
    return removed ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE CConnectionPoint::EnumConnections(IEnumConnections** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    std::vector<std::pair<DWORD, DWORD>> cookies;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        for (const Connection& connection : connections_) cookies.emplace_back(connection.cookie, connection.sink->Cookie());
    }
    std::vector<CONNECTDATA> items;
    for (const auto& cookie : cookies) {
        CONNECTDATA item = {nullptr, cookie.first};
        // A sink whose pointer cannot be fetched (its client is gone) is listed without one.
        CGitEntry::Fetch(cookie.second, IID_IUnknown, reinterpret_cast<void**>(&item.pUnk));
        items.push_back(item);
    }
    HRESULT hr = CEnumConnections::Create(items, 0, result);
    if (FAILED(hr)) {
        for (CONNECTDATA& item : items) ReleaseItem(item);
    }
    return hr;
}

std::vector<DWORD> CConnectionPoint::SinkCookies() const {
    std::lock_guard<std::mutex> guard(mutex_);
    std::vector<DWORD> cookies;
    for (const Connection& connection : connections_) cookies.push_back(connection.sink->Cookie());
    return cookies;
}

int CConnectionPoint::FireDispatch(DISPID member, const VARIANT* arguments, UINT count) const {
    int delivered = 0;
    for (DWORD cookie : SinkCookies()) {
        if (SUCCEEDED(CListenerSlot::CallMember(cookie, member, arguments, count))) ++delivered;
    }
    return delivered;
}
