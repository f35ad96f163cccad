// Entry points of the Windows Media stand-in. Tests place it beside the program under the name of
// the Windows Media runtime (wmvcore.dll), so WMCreateProfileManager resolves here, and register
// its filters under the platform's class identifiers.
#include <windows.h>

#include <cwchar>
#include <initializer_list>
#include <new>

#include "library/util/ScopedWin.h"
#include "platform/dshow/ClassFactory.h"
#include "platform/dshow/FilterRegistration.h"
#include "standins/decoders/PcmPassDecoder.h"
#include "standins/decoders/Yuy2PullFilter.h"
#include "standins/wmf/Ac3SourceStandin.h"
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
// An outside splitter handing on AC-3 audio, and the AC-3 decoder behind it.
const CLSID kAc3SourceClass = {0x5B0C6E21, 0x3F4A, 0x4D8E, {0x9C, 0x17, 0x2A, 0x6D, 0x41, 0xE8, 0x07, 0xB3}};
constexpr wchar_t kAc3SourceName[] = L"AC-3 source stand-in";
const CLSID kAc3DecoderClass = {0x8E4D2F73, 0x1B6C, 0x4A95, {0xB2, 0x08, 0x6F, 0x3E, 0x9D, 0x51, 0xC4, 0x2A}};
constexpr wchar_t kAc3DecoderName[] = L"AC-3 decoder stand-in";
// Files of the stand-ins' own formats are told by their first bytes and read by the platform's
// asynchronous file source.
constexpr wchar_t kRawMovieTypeKey[] =
    L"Media Type\\{E436EB83-524F-11CE-9F53-0020AF0BA770}\\{32594251-0000-0010-8000-00AA00389B71}";
constexpr wchar_t kAc3StreamTypeKey[] =
    L"Media Type\\{E436EB83-524F-11CE-9F53-0020AF0BA770}\\{33414251-0000-0010-8000-00AA00389B71}";

CDsUnknown* CreateAsfWriter(IUnknown* outer, HRESULT*) { return new (std::nothrow) standin::CAsfWriterStandin(outer); }
CDsUnknown* CreateColourConverter(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) standin::CColourConverterStandin(outer);
}
CDsUnknown* CreateVideoDecoder(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) CYuy2PullFilter(kVideoDecoderName, outer, kVideoDecoderClass);
}

CDsUnknown* CreateAc3Source(IUnknown* outer, HRESULT*) { return new (std::nothrow) CAc3SourceStandin(outer, kAc3SourceClass); }
CDsUnknown* CreateAc3Decoder(IUnknown* outer, HRESULT*) {
    return new (std::nothrow) CPcmPassDecoder(kAc3DecoderName, outer, kAc3DecoderClass, MEDIASUBTYPE_DolbyAc3);
}

const DsServerClass kClasses[] = {
    {&CLSID_WMAsfWriter, L"WM ASF Writer stand-in", CreateAsfWriter},
    {&CLSID_Colour, L"Color Space Converter stand-in", CreateColourConverter},
    {&kVideoDecoderClass, kVideoDecoderName, CreateVideoDecoder},
    {&kAc3SourceClass, kAc3SourceName, CreateAc3Source},
    {&kAc3DecoderClass, kAc3DecoderName, CreateAc3Decoder},
};

HRESULT RegisterFileFormat(const wchar_t* typeKey, const wchar_t* pattern) {
    CScopedRegKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, typeKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    const wchar_t source[] = L"{E436EBB5-524F-11CE-9F53-0020AF0BA770}";
    status = RegSetValueExW(key.Get(), L"0", 0, REG_SZ, reinterpret_cast<const BYTE*>(pattern),
                            static_cast<DWORD>((wcslen(pattern) + 1) * sizeof(wchar_t)));
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key.Get(), L"Source Filter", 0, REG_SZ, reinterpret_cast<const BYTE*>(source), sizeof(source));
    }
    return HRESULT_FROM_WIN32(status);
}

// A filter with one input pin "In" and one output pin "Out" of one media type each.
HRESULT RegisterInOutFilter(REFCLSID clsid, const wchar_t* name, REGPINTYPES input, REGPINTYPES output) {
    REGFILTERPINS pins[2] = {};
    pins[0].strName = const_cast<LPWSTR>(L"In");
    pins[0].nMediaTypes = 1;
    pins[0].lpMediaType = &input;
    pins[1].strName = const_cast<LPWSTR>(L"Out");
    pins[1].bOutput = TRUE;
    pins[1].nMediaTypes = 1;
    pins[1].lpMediaType = &output;
    return RegisterDsFilter(clsid, name, MERIT_NORMAL, 2, pins);
}

HRESULT RegisterFilters() {
    HRESULT hr = RegisterInOutFilter(kVideoDecoderClass, kVideoDecoderName, {&MEDIATYPE_Stream, &MEDIASUBTYPE_StandinRawMovie},
                                     {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2});
    if (SUCCEEDED(hr)) {
        hr = RegisterInOutFilter(kAc3SourceClass, kAc3SourceName, {&MEDIATYPE_Stream, &MEDIASUBTYPE_StandinAc3Stream},
                                 {&MEDIATYPE_Audio, &MEDIASUBTYPE_DolbyAc3});
    }
    if (SUCCEEDED(hr)) {
        hr = RegisterInOutFilter(kAc3DecoderClass, kAc3DecoderName, {&MEDIATYPE_Audio, &MEDIASUBTYPE_DolbyAc3},
                                 {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM});
    }
    if (SUCCEEDED(hr)) hr = RegisterFileFormat(kRawMovieTypeKey, L"0,4,,51425932");  // "QBY2"
    if (SUCCEEDED(hr)) hr = RegisterFileFormat(kAc3StreamTypeKey, L"0,4,,51424133");  // "QBA3"
    return hr;
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

// How many AC-3 source stand-ins are alive: tests in the process see whether graphs were torn down.
extern "C" LONG STDAPICALLTYPE StandinAc3SourcesAlive() { return CAc3SourceStandin::AliveCount(); }

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return DsGetClassObject(kClasses, ARRAYSIZE(kClasses), clsid, iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return standin::LiveObjectCount() == 0 ? CDsClassFactory::CanUnloadNow() : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    HRESULT hr = DsRegisterServerClasses(kClasses, ARRAYSIZE(kClasses), g_module);
    if (SUCCEEDED(hr)) hr = RegisterFilters();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kRawMovieTypeKey);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kAc3StreamTypeKey);
    HRESULT filter = UnregisterDsFilter(kVideoDecoderClass);
    for (const CLSID* clsid : {&kAc3SourceClass, &kAc3DecoderClass}) {
        const HRESULT hr = UnregisterDsFilter(*clsid);
        if (SUCCEEDED(filter)) filter = hr;
    }
    const HRESULT server = DsUnregisterServerClasses(kClasses, ARRAYSIZE(kClasses));
    return FAILED(filter) ? filter : server;
}
