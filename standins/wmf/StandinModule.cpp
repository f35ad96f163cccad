// Entry points of the Windows Media stand-in. Tests place it beside the program under the name of
// the Windows Media runtime (wmvcore.dll), so WMCreateProfileManager resolves here, and register
// its filters under the platform's class identifiers.
#include <windows.h>

#include <new>

#include "library/util/ScopedWin.h"
#include "platform/dshow/ClassFactory.h"
#include "platform/dshow/FilterRegistration.h"
#include "standins/decoders/Yuy2PullFilter.h"
#include "standins/wmf/AsfWriterStandin.h"
#include "standins/wmf/ColourConverterStandin.h"
#include "standins/wmf/StandinProfile.h"

namespace standin {

std::atomic<long>& LiveObjectCount() {
    static std::atomic<long> count{0};
    return count;
}

}  // namespace standin

namespace {

HMODULE g_module = nullptr;

// The first of the outside video decoders behind which the conversion puts its video filter.
const CLSID kVideoDecoderClass = {0x78766964, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr wchar_t kVideoDecoderName[] = L"Video decoder stand-in";
// Files of the raw movie format are told by their first bytes and read by the platform's
// asynchronous file source.
constexpr wchar_t kRawMovieTypeKey[] =
    L"Media Type\\{E436EB83-524F-11CE-9F53-0020AF0BA770}\\{32594251-0000-0010-8000-00AA00389B71}";

CDsUnknown* CreateAsfWriter(IUnknown* outer, HRESULT*) { return new (std::nothrow) standin::CAsfWriterStandin(outer); }
CDsUnknown* CreateColourConverter(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) standin::CColourConverterStandin(outer);
}
CDsUnknown* CreateVideoDecoder(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) CYuy2PullFilter(kVideoDecoderName, outer, kVideoDecoderClass);
}

const DsServerClass kClasses[] = {
    {&CLSID_WMAsfWriter, L"WM ASF Writer stand-in", CreateAsfWriter},
    {&CLSID_Colour, L"Color Space Converter stand-in", CreateColourConverter},
    {&kVideoDecoderClass, kVideoDecoderName, CreateVideoDecoder},
};

HRESULT RegisterRawMovieFormat() {
    CScopedRegKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, kRawMovieTypeKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                     key.Receive(), nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    const wchar_t pattern[] = L"0,4,,51425932";  // "QBY2"
    const wchar_t source[] = L"{E436EBB5-524F-11CE-9F53-0020AF0BA770}";
    status = RegSetValueExW(key.Get(), L"0", 0, REG_SZ, reinterpret_cast<const BYTE*>(pattern), sizeof(pattern));
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key.Get(), L"Source Filter", 0, REG_SZ, reinterpret_cast<const BYTE*>(source), sizeof(source));
    }
    return HRESULT_FROM_WIN32(status);
}

HRESULT RegisterVideoDecoder() {
    REGPINTYPES input = {&MEDIATYPE_Stream, &MEDIASUBTYPE_StandinRawMovie};
    REGPINTYPES output = {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2};
    REGFILTERPINS pins[2] = {};
    pins[0].strName = const_cast<LPWSTR>(L"In");
    pins[0].nMediaTypes = 1;
    pins[0].lpMediaType = &input;
    pins[1].strName = const_cast<LPWSTR>(L"Out");
    pins[1].bOutput = TRUE;
    pins[1].nMediaTypes = 1;
    pins[1].lpMediaType = &output;
    return RegisterDsFilter(kVideoDecoderClass, kVideoDecoderName, MERIT_NORMAL, 2, pins);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE WMCreateProfileManager(IWMProfileManager** manager) {
    return standin::CreateProfileManager(manager);
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return DsGetClassObject(kClasses, ARRAYSIZE(kClasses), clsid, iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return standin::LiveObjectCount() == 0 ? CDsClassFactory::CanUnloadNow() : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    HRESULT hr = DsRegisterServerClasses(kClasses, ARRAYSIZE(kClasses), g_module);
    if (SUCCEEDED(hr)) hr = RegisterVideoDecoder();
    if (SUCCEEDED(hr)) hr = RegisterRawMovieFormat();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kRawMovieTypeKey);
    const HRESULT filter = UnregisterDsFilter(kVideoDecoderClass);
    const HRESULT server = DsUnregisterServerClasses(kClasses, ARRAYSIZE(kClasses));
    return FAILED(filter) ? filter : server;
}
