#include "library/cdlookup/GNSDKUtil.h"

#include <oleauto.h>

#include <new>

#include "library/util/ScopedWin.h"

namespace {

const wchar_t* const kModulePatterns[CGNSDKUtil::kModuleCount] = {
    L"%wsCDDBControl%ws.dll", L"%wsCDDBUI%ws.dll", L"%wsCDDBMusicID%ws.dll", L"%wsCDDBLink%ws.dll"};
const wchar_t kModuleFamily[] = L"Tavrel";
const size_t kMaxFolderLength = 1024;

const wchar_t kClientId[] = L"58203917";
const wchar_t kClientTag[] = L"9E41B7C20D53F86A1C7E2B094AD5F63B";
const wchar_t kClientVersion[] = L"1";
const wchar_t kDataItemName[] = L"ravelinvexal";
// Larger answers are not a data block or a cover picture; they are refused, not held in memory.
const ULONG kMaxAnswerSize = 16 * 1024 * 1024;

// The SDK's classes this program creates and the module that serves each.
struct ClassModule {
    const CLSID* classId;
    int module;
};
const ClassModule kClassModules[] = {
    {&CLSID_CddbControl, CGNSDKUtil::kControl},
    {&CLSID_CddbMusicId, CGNSDKUtil::kMusicId},
    {&CLSID_CddbLink, CGNSDKUtil::kLink},
};

// The SDK set-up is not safe to run on two threads at once.
CCriticalSection& SetupLock() {
    static CCriticalSection lock;
    return lock;
}

// A BSTR freed with its scope; a failed allocation raises E_OUTOFMEMORY, as the set-up expects.
class CBstr {
public:
    explicit CBstr(const wchar_t* text) : value_(SysAllocString(text)) {
        if (value_ == nullptr) throw E_OUTOFMEMORY;
    }
    ~CBstr() { SysFreeString(value_); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    BSTR Get() const { return value_; }

private:
    BSTR value_;
};

template <typename T>
void ReleaseAndClear(T** object) {
    if (*object != nullptr) (*object)->Release();
    *object = nullptr;
}

// Fills the two "%ws" of a module pattern in order (the runtime's printf may not know "%ws").
std::wstring FormatModulePath(const wchar_t* pattern, const std::wstring& first, const wchar_t* second) {
    std::wstring path(pattern);
    const size_t at = path.find(L"%ws");
    path.replace(at, 3, first);
    path.replace(path.find(L"%ws", at + first.size()), 3, second);
    return path;
}

HMODULE LoadModule(const std::wstring& path) {
    // Systems whose GetVersion has the high bit set take only ANSI paths.
    if ((GetVersion() & 0x80000000u) != 0) {
        char ansi[MAX_PATH * 4];
        if (WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi, sizeof(ansi), nullptr, nullptr) == 0)
            return nullptr;
        return LoadLibraryA(ansi);
    }
    return LoadLibraryW(path.c_str());
}

// Copies an answer that is asked for its length first; E_OUTOFMEMORY when it cannot be held.
template <typename Ask>
HRESULT CopyAnswer(Ask ask, std::vector<BYTE>* out) {
    ULONG length = 0;
    HRESULT hr = ask(nullptr, 0, &length);
    if (hr != S_OK || length == 0) return SUCCEEDED(hr) ? S_FALSE : hr;
    if (length > kMaxAnswerSize) return E_OUTOFMEMORY;
    try {
        out->resize(length);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    ULONG written = 0;
    hr = ask(out->data(), length, &written);
    if (hr != S_OK || written > length) {
        out->clear();
        return FAILED(hr) ? hr : E_UNEXPECTED;
    }
    out->resize(written);
    return S_OK;
}

}  // namespace

CGNSDKUtil::~CGNSDKUtil() { ShutdownLookup(); }

HRESULT CGNSDKUtil::LoadSdkModules(const std::wstring& programFolder) {
    if (programFolder.size() >= kMaxFolderLength) return E_INVALIDARG;
    std::wstring folder = programFolder;
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    HRESULT result = S_OK;
    for (int index = 0; index < kModuleCount; ++index) {
        const std::wstring path = FormatModulePath(kModulePatterns[index], folder, kModuleFamily);
        CModule& module = modules_[index];
        module.handle = LoadModule(path);
        if (module.handle == nullptr) {
            if (SUCCEEDED(result)) result = HRESULT_FROM_WIN32(GetLastError());
            if (SUCCEEDED(result)) result = E_FAIL;
            continue;
        }
        module.getObject = reinterpret_cast<DllGetObjectFn>(
            reinterpret_cast<void*>(GetProcAddress(module.handle, "DllGetObject")));
        module.getClassObject = reinterpret_cast<DllGetClassObjectFn>(
            reinterpret_cast<void*>(GetProcAddress(module.handle, "DllGetClassObject")));
        auto disableFallover = reinterpret_cast<DllDisableCOMFalloverFn>(
            reinterpret_cast<void*>(GetProcAddress(module.handle, "DllDisableCOMFallover")));
        if (disableFallover != nullptr) disableFallover(TRUE);
    }

    // The modules learn each other's handles: the control module the UI module's, the others the
    // control module's; only loaded modules with an object entry point take part.
    auto hand = [this](int receiver, const char* exportName, int given) {
        const CModule& to = modules_[receiver];
        if (to.handle == nullptr || modules_[given].handle == nullptr) return;
        if (to.getObject == nullptr && to.getClassObject == nullptr) return;
        auto set = reinterpret_cast<DllSetCddbHINSTFn>(reinterpret_cast<void*>(GetProcAddress(to.handle, exportName)));
        if (set != nullptr) set(modules_[given].handle);
    };
    hand(kControl, "DllSetCddbUIHINST", kUi);
    hand(kUi, "DllSetCddbHINST", kControl);
    hand(kMusicId, "DllSetCddbHINST", kControl);
    hand(kLink, "DllSetCddbHINST", kControl);
    return result;
}

HRESULT CGNSDKUtil::CreateObjectFromModule(REFCLSID classId, const CModule* modules, REFIID interfaceId,
                                           void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    HRESULT hr = CLASS_E_CLASSNOTAVAILABLE;
    if (modules != nullptr) {
        for (const ClassModule& entry : kClassModules) {
            if (!IsEqualCLSID(*entry.classId, classId)) continue;
            const CModule& module = modules[entry.module];
            if (module.getClassObject == nullptr) break;
            IClassFactory* factory = nullptr;
            hr = module.getClassObject(classId, IID_IClassFactory, reinterpret_cast<void**>(&factory));
            if (SUCCEEDED(hr) && factory != nullptr) {
                hr = factory->CreateInstance(nullptr, interfaceId, object);
                factory->Release();
            } else if (SUCCEEDED(hr)) {
                hr = E_UNEXPECTED;
            }
            break;
        }
    }
    if (SUCCEEDED(hr) && *object == nullptr) hr = E_UNEXPECTED;
    if (FAILED(hr)) {
        *object = nullptr;
        hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
        if (SUCCEEDED(hr) && *object == nullptr) hr = E_UNEXPECTED;
    }
    return hr;
}

HRESULT CGNSDKUtil::InitializeLookup(const std::wstring& programFolder, const std::wstring& dataFolder,
                                     const std::wstring& proxyHost, long proxyPort) {
    ShutdownLookup();
    CScopedLock lock(SetupLock());
    HRESULT hr = LoadSdkModules(programFolder);
    if (SUCCEEDED(hr))
        hr = CreateObjectFromModule(CLSID_CddbControl, modules_, IID_ICddbControl, reinterpret_cast<void**>(&control_));
    try {
        if (SUCCEEDED(hr)) {
            CBstr id(kClientId), tag(kClientTag), version(kClientVersion), extra(L"");
            hr = control_->SetClientInfo(id.Get(), tag.Get(), version.Get(), extra.Get());
        }
        ICddbOptions* options = nullptr;
        if (SUCCEEDED(hr)) hr = control_->GetOptions(&options);
        if (SUCCEEDED(hr) && options == nullptr) hr = E_UNEXPECTED;
        if (SUCCEEDED(hr)) {
            if (!proxyHost.empty()) {
                CBstr host(proxyHost.c_str());
                hr = options->SetProxyServer(host.Get());
            }
            if (SUCCEEDED(hr) && proxyPort >= 0) hr = options->SetProxyServerPort(proxyPort);
            if (SUCCEEDED(hr)) {
                CBstr path(dataFolder.c_str());
                hr = options->SetLocalCachePath(path.Get());
            }
            if (SUCCEEDED(hr)) hr = options->SetLocalCacheTimeout(-1);
            if (SUCCEEDED(hr)) hr = control_->SetOptions(options);
        }
        if (options != nullptr) options->Release();
    } catch (HRESULT raised) {
        hr = raised;
    }
    if (SUCCEEDED(hr)) {
        hr = control_->Startup(0, 0);
        started_ = SUCCEEDED(hr);
    }
    if (SUCCEEDED(hr))
        hr = CreateObjectFromModule(CLSID_CddbMusicId, modules_, IID_ICddbMusicId, reinterpret_cast<void**>(&musicId_));
    if (SUCCEEDED(hr))
        hr = CreateObjectFromModule(CLSID_CddbLink, modules_, IID_ICddbLink, reinterpret_cast<void**>(&link_));
    return hr;
}

void CGNSDKUtil::ShutdownLookup() {
    ReleaseAndClear(&link_);
    ReleaseAndClear(&musicId_);
    if (control_ != nullptr && started_) control_->Shutdown();
    started_ = false;
    ReleaseAndClear(&control_);
    UnloadModules();
}

void CGNSDKUtil::UnloadModules() {
    for (int index = kModuleCount - 1; index >= 0; --index) {
        if (modules_[index].handle != nullptr) FreeLibrary(modules_[index].handle);
        modules_[index] = CModule();
    }
}

HRESULT CGNSDKUtil::Lookup(const std::wstring& filePath, const std::wstring& lookupId, bool wantData,
                           bool wantPicture, CLookupResult* result) {
    if (result == nullptr) return E_POINTER;
    if (musicId_ == nullptr || link_ == nullptr) return E_UNEXPECTED;
    ICddbMatch* match = nullptr;
    HRESULT hr;
    try {
        if (lookupId.empty()) {
            CBstr path(filePath.c_str());
            long count = 0;
            hr = musicId_->IdentifyFile(path.Get(), &count, &match);
            if (hr == S_OK && match != nullptr) {
                BSTR identifier = nullptr;
                if (match->GetIdentifier(&identifier) == S_OK && identifier != nullptr && identifier[0] != L'\0')
                    result->learntIdentifier = identifier;
                SysFreeString(identifier);
            }
        } else {
            CBstr identifier(lookupId.c_str());
            hr = link_->FetchByIdentifier(identifier.Get(), &match);
        }
        if (hr == S_OK && match == nullptr) hr = S_FALSE;
        if (hr == S_OK && wantData) {
            CBstr name(kDataItemName);
            const HRESULT dataHr = CopyAnswer(
                [&](BYTE* buffer, ULONG capacity, ULONG* length) {
                    return match->GetDataItem(name.Get(), kCddbDataItemBinary, buffer, capacity, length);
                },
                &result->data);
            if (dataHr == E_OUTOFMEMORY) hr = dataHr;
        }
        if (hr == S_OK && wantPicture) {
            CopyAnswer([&](BYTE* buffer, ULONG capacity, ULONG* length) { return match->GetCoverArt(buffer, capacity, length); },
                       &result->picture);
        }
    } catch (HRESULT raised) {
        hr = raised;
    }
    if (match != nullptr) match->Release();
    return hr;
}
