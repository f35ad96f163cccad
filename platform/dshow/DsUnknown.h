#pragma once
// The reference-counted, aggregatable IUnknown every object of the DirectShow layer stands on.
// An object answers its own interfaces through the non-delegating IUnknown; its public IUnknown
// forwards to the owner (itself, or the outer object that aggregates it).

#include <windows.h>
#include <unknwn.h>

#include <atomic>

struct INonDelegatingUnknown {
    virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;
};

class CDsUnknown : public INonDelegatingUnknown {
public:
    // outer: the aggregating object, or null to be our own owner. The count starts at 0.
    explicit CDsUnknown(IUnknown* outer);
    virtual ~CDsUnknown();
    CDsUnknown(const CDsUnknown&) = delete;
    CDsUnknown& operator=(const CDsUnknown&) = delete;

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;

    IUnknown* GetOwner() const { return owner_; }
    // The non-delegating IUnknown, as an aggregating outer object must hold it.
    IUnknown* GetInner() { return reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(this)); }

    // Objects alive in this module; a server's DllCanUnloadNow reads it.
    static LONG ActiveObjects();

private:
    std::atomic<LONG> refs_{0};
    IUnknown* owner_;
};

// Hands out one interface pointer with a reference, as QueryInterface does.
HRESULT GetInterface(IUnknown* unknown, void** object);

// The public IUnknown of a class derived from CDsUnknown: forwards to the owner.
#define QB_DS_DELEGATING_IUNKNOWN                                                                         \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {                       \
        return GetOwner()->QueryInterface(iid, object);                                                   \
    }                                                                                                     \
    ULONG STDMETHODCALLTYPE AddRef() override { return GetOwner()->AddRef(); }                           \
    ULONG STDMETHODCALLTYPE Release() override { return GetOwner()->Release(); }
