// Entry points of the stand-in decoder server: class objects and self-registration.
#include <windows.h>

#include <new>

#include "platform/dshow/ClassFactory.h"
#include "standins/decoders/PcmPassDecoder.h"
#include "standins/decoders/StandinIds.h"
#include "standins/decoders/WavPullFilter.h"

namespace {

HMODULE g_module = nullptr;

CDsUnknown* CreateMp4FamilyDecoder(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) CWavPullFilter(L"MP4-family decode stand-in", outer, CLSID_StandinMp4FamilyDecoder,
                                             L"Input", L"Audio", MEDIASUBTYPE_PCM);
}

CDsUnknown* CreateCodecFamilyParser(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) CWavPullFilter(L"Codec-family parse stand-in", outer, CLSID_StandinCodecFamilyParser,
                                             L"Input", L"Output", MEDIASUBTYPE_StandinCodecFamily);
}

CDsUnknown* CreateCodecFamilyDecoder(IUnknown* outer, HRESULT*) { return new (std::nothrow) CPcmPassDecoder(outer); }

struct ServerClass {
    const CLSID* clsid;
    const wchar_t* name;
    DsCreateInstance create;
};

const ServerClass kClasses[] = {
    {&CLSID_StandinMp4FamilyDecoder, L"MP4-family decode stand-in", CreateMp4FamilyDecoder},
    {&CLSID_StandinCodecFamilyParser, L"Codec-family parse stand-in", CreateCodecFamilyParser},
    {&CLSID_StandinCodecFamilyDecoder, L"Codec-family decode stand-in", CreateCodecFamilyDecoder},
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    for (const ServerClass& entry : kClasses) {
        if (!IsEqualCLSID(clsid, *entry.clsid)) continue;
        auto* factory = new (std::nothrow) CDsClassFactory(entry.create);
        if (factory == nullptr) return E_OUTOFMEMORY;
        const HRESULT hr = factory->QueryInterface(iid, object);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return CDsClassFactory::CanUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    for (const ServerClass& entry : kClasses) {
        const HRESULT hr = RegisterInprocServer(*entry.clsid, entry.name, g_module);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    HRESULT result = S_OK;
    for (const ServerClass& entry : kClasses) {
        const HRESULT hr = UnregisterInprocServer(*entry.clsid);
        if (FAILED(hr)) result = hr;
    }
    return result;
}
