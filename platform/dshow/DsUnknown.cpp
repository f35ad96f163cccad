#include "platform/dshow/DsUnknown.h"

namespace {
std::atomic<LONG> g_activeObjects{0};
}  // namespace

CDsUnknown::CDsUnknown(IUnknown* outer) : owner_(outer != nullptr ? outer : GetInner()) {
    ++g_activeObjects;
}

CDsUnknown::~CDsUnknown() { --g_activeObjects; }

LONG CDsUnknown::ActiveObjects() { return g_activeObjects.load(); }

HRESULT STDMETHODCALLTYPE CDsUnknown::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) return GetInterface(GetInner(), object);
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CDsUnknown::NonDelegatingAddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CDsUnknown::NonDelegatingRelease() {
    const LONG left = --refs_;
    if (left == 0) {
        // Guards against a release from inside the destructor reaching 0 a second time.
        refs_ = 1;
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT GetInterface(IUnknown* unknown, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = unknown;
    unknown->AddRef();
    return S_OK;
}
