#include "library/device/WpdClassCache.h"

namespace {

thread_local CWpdClassCache* t_openCache = nullptr;

}  // namespace

CWpdClassCache::CWpdClassCache() {
    if (t_openCache) return;
    t_openCache = this;
    active_ = true;
}

CWpdClassCache::~CWpdClassCache() {
    for (int i = 0; i < count_; ++i) entries_[i].factory->Release();
    if (active_) t_openCache = nullptr;
}

HRESULT CWpdClassCache::Create(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (t_openCache) return t_openCache->CreateFromCache(clsid, iid, object);
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

HRESULT CWpdClassCache::CreateFromCache(REFCLSID clsid, REFIID iid, void** object) {
    for (int i = 0; i < count_; ++i) {
        if (IsEqualCLSID(entries_[i].clsid, clsid)) return entries_[i].factory->CreateInstance(nullptr, iid, object);
    }
    if (count_ == kCapacity) return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    entries_[count_++] = Entry{clsid, factory};
    return factory->CreateInstance(nullptr, iid, object);
}
