#include "platform/dshow/ClassFactory.h"

#include <new>
#include <string>

#include "platform/dshow/DsUnknown.h"

namespace {
std::atomic<LONG> g_serverLocks{0};
// A factory a client holds keeps the server loaded as an object would.
std::atomic<LONG> g_liveFactories{0};

std::wstring ClsidKey(REFCLSID clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"CLSID\\") + text;
}

HRESULT SetStringValue(HKEY key, const wchar_t* name, const std::wstring& value) {
    const LONG status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}
}  // namespace

CDsClassFactory::CDsClassFactory(DsCreateInstance create) : create_(create) { ++g_liveFactories; }

CDsClassFactory::~CDsClassFactory() { --g_liveFactories; }

HRESULT STDMETHODCALLTYPE CDsClassFactory::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CDsClassFactory::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CDsClassFactory::Release() {
    const LONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE CDsClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // An aggregating caller may only ask for the inner IUnknown.
    if (outer != nullptr && !IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
    HRESULT hr = S_OK;
    CDsUnknown* created = create_(outer, &hr);
    if (created == nullptr) return E_OUTOFMEMORY;
    // The temporary reference deletes an object whose construction failed.
    created->NonDelegatingAddRef();
    if (SUCCEEDED(hr)) hr = created->NonDelegatingQueryInterface(iid, object);
    created->NonDelegatingRelease();
    return hr;
}

HRESULT STDMETHODCALLTYPE CDsClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ++g_serverLocks;
    } else {
        --g_serverLocks;
    }
    return S_OK;
}

HRESULT CDsClassFactory::CanUnloadNow() {
    return g_serverLocks == 0 && g_liveFactories == 0 && CDsUnknown::ActiveObjects() == 0 ? S_OK : S_FALSE;
}

HRESULT RegisterInprocServer(REFCLSID clsid, const wchar_t* name, HMODULE module) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return E_FAIL;
    const std::wstring key = ClsidKey(clsid);
    HKEY classKey = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &classKey, nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    HRESULT hr = SetStringValue(classKey, nullptr, name);
    HKEY serverKey = nullptr;
    if (SUCCEEDED(hr)) {
        status = RegCreateKeyExW(classKey, L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &serverKey, nullptr);
        hr = HRESULT_FROM_WIN32(status);
    }
    if (SUCCEEDED(hr)) hr = SetStringValue(serverKey, nullptr, path);
    if (SUCCEEDED(hr)) hr = SetStringValue(serverKey, L"ThreadingModel", L"Both");
    if (serverKey != nullptr) RegCloseKey(serverKey);
    RegCloseKey(classKey);
    return hr;
}

HRESULT UnregisterInprocServer(REFCLSID clsid) {
    const LONG status = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClsidKey(clsid).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

HRESULT DsGetClassObject(const DsServerClass* classes, size_t count, REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (!IsEqualCLSID(clsid, *classes[i].clsid)) continue;
        auto* factory = new (std::nothrow) CDsClassFactory(classes[i].create);
        if (factory == nullptr) return E_OUTOFMEMORY;
        const HRESULT hr = factory->QueryInterface(iid, object);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT DsRegisterServerClasses(const DsServerClass* classes, size_t count, HMODULE module) {
    for (size_t i = 0; i < count; ++i) {
        const HRESULT hr = RegisterInprocServer(*classes[i].clsid, classes[i].name, module);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT DsUnregisterServerClasses(const DsServerClass* classes, size_t count) {
    HRESULT result = S_OK;
    for (size_t i = 0; i < count; ++i) {
        const HRESULT hr = UnregisterInprocServer(*classes[i].clsid);
        if (FAILED(hr)) result = hr;
    }
    return result;
}
