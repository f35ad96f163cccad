// Entry points of the simulated analysis engine's in-process server.
#include <windows.h>

#include <new>
#include <string>

#include "standins/analysis/AnalysisEngineStandin.h"

namespace standin {

std::atomic<long>& LiveObjectCount() {
    static std::atomic<long> count{0};
    return count;
}

namespace {

HMODULE g_module = nullptr;

class CEngineFactory final : public CComObject, public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (!result) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *result = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *result = nullptr;
        return E_NOINTERFACE;
    }
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override {
        if (!result) return E_POINTER;
        *result = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return CAnalysisEngineStandin::Create(iid, result);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++LiveObjectCount() : --LiveObjectCount();
        return S_OK;
    }
};

std::wstring ClassKey() {
    wchar_t text[64];
    StringFromGUID2(kClsidMusicAnalysisEngine, text, 64);
    return std::wstring(L"CLSID\\") + text;
}

}  // namespace
}  // namespace standin

using namespace standin;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (!IsEqualCLSID(clsid, kClsidMusicAnalysisEngine)) return CLASS_E_CLASSNOTAVAILABLE;
    CEngineFactory* factory = new (std::nothrow) CEngineFactory();
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, result);
    factory->Release();
    return hr;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return LiveObjectCount() == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return E_FAIL;
    HKEY server = nullptr;
    LONG error = RegCreateKeyExW(HKEY_CLASSES_ROOT, (ClassKey() + L"\\InprocServer32").c_str(), 0, nullptr, 0,
                                 KEY_WRITE, nullptr, &server, nullptr);
    if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
    const wchar_t model[] = L"Both";
    error = RegSetValueExW(server, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                           (length + 1) * sizeof(wchar_t));
    if (error == ERROR_SUCCESS)
        error = RegSetValueExW(server, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model),
                               sizeof(model));
    RegCloseKey(server);
    return HRESULT_FROM_WIN32(error);
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    const LONG error = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
    return error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(error);
}

// What the last engine was told; a snapshot for the tests.
extern "C" void WINAPI AnalysisStandinGetSession(AnalysisStandinSession* session) {
    if (session) *session = CAnalysisEngineStandin::Session();
}
