#pragma once
// One outgoing interface of a connectable object. Its sinks are kept in the Global Interface Table,
// so the object can call them from any thread: each call fetches a fresh pointer. The point is a
// member of its container and lives and counts references with it.

#include "platform/com/CGitEntry.h"

#include <ocidl.h>

#include <memory>
#include <mutex>
#include <vector>

class CConnectionPoint final : public IConnectionPoint {
public:
    CConnectionPoint(IConnectionPointContainer* container, REFIID iid);
    CConnectionPoint(const CConnectionPoint&) = delete;
    CConnectionPoint& operator=(const CConnectionPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** result) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** result) override;

    const IID& Iid() const { return iid_; }
    // The Global Interface Table cookies of the sinks connected now, in the order they connected.
    std::vector<DWORD> SinkCookies() const;
    // Calls a member of every sink of a dispinterface, without holding the point's lock; returns
    // how many calls succeeded.
    int FireDispatch(DISPID member, const VARIANT* arguments, UINT count) const;

private:
    struct Connection {
        DWORD cookie;
        std::unique_ptr<CGitEntry> sink;
    };

    IConnectionPointContainer* container_;
    const IID iid_;
    mutable std::mutex mutex_;
    std::vector<Connection> connections_;
    DWORD nextCookie_ = 1;
};
