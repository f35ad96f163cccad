#include "platform/com/CServerRegistration.h"

#include "library/util/ScopedCom.h"
#include "library/util/ScopedWin.h"

#include <oleauto.h>

namespace {

const wchar_t kClassesRoot[] = L"Software\\Classes\\";

// Sets the value (null name: the key's default value) of a key below HKLM\Software\Classes,
// creating the key; a null value creates the key alone.
HRESULT SetClassesValue(const std::wstring& subKey, const wchar_t* name, const wchar_t* value) {
    CScopedRegKey key;
    std::wstring path = kClassesRoot + subKey;
    LONG error = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Receive(),
                                 nullptr);
    if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
    if (!value) return S_OK;
    DWORD bytes = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
    error = RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
    return HRESULT_FROM_WIN32(error);
}

HRESULT DeleteClassesTree(const std::wstring& subKey) {
    std::wstring path = kClassesRoot + subKey;
    LONG error = RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
    if (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND) return S_OK;
    return HRESULT_FROM_WIN32(error);
}

void KeepFirstFailure(HRESULT* result, HRESULT hr) {
    if (SUCCEEDED(*result) && FAILED(hr)) *result = hr;
}

}  // namespace

CServerRegistration::CServerRegistration(const ServerInfo& info, std::wstring modulePath)
    : info_(info), modulePath_(std::move(modulePath)) {}

std::wstring CServerRegistration::LocalServerCommand(const std::wstring& path) {
    if (path.find(L' ') == std::wstring::npos) return path;
    return L"\"" + path + L"\"";
}

std::wstring CServerRegistration::GuidText(const GUID& guid) {
    wchar_t text[40];
    if (StringFromGUID2(guid, text, 40) == 0) return std::wstring();
    return text;
}

std::wstring CServerRegistration::ModuleFileName() const {
    size_t slash = modulePath_.find_last_of(L"\\/");
    return slash == std::wstring::npos ? modulePath_ : modulePath_.substr(slash + 1);
}

HRESULT CServerRegistration::Register() {
    std::wstring libId;
    if (info_.hasTypeLib) {
        HRESULT hr = RegisterTypeLibrary(&libId);
        if (FAILED(hr)) return hr;
    }
    if (info_.appId) {
        HRESULT hr = RegisterAppId();
        if (FAILED(hr)) return hr;
    }
    for (size_t index = 0; index < info_.classCount; ++index) {
        HRESULT hr = RegisterCoclass(info_.classes[index], libId);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CServerRegistration::RegisterAppId() {
    std::wstring appId = GuidText(*info_.appId);
    HRESULT hr = SetClassesValue(L"AppID\\" + appId, nullptr, info_.appName);
    if (SUCCEEDED(hr)) hr = SetClassesValue(L"AppID\\" + ModuleFileName(), L"AppID", appId.c_str());
    return hr;
}

HRESULT CServerRegistration::RegisterCoclass(const ServerClassInfo& entry, const std::wstring& libId) {
    const std::wstring clsid = GuidText(*entry.clsid);
    const std::wstring classKey = L"CLSID\\" + clsid;
    const std::wstring progId = entry.progId;
    const std::wstring independentId = entry.versionIndependentProgId;
    HRESULT hr = SetClassesValue(progId, nullptr, entry.description);
    if (SUCCEEDED(hr)) hr = SetClassesValue(progId + L"\\CLSID", nullptr, clsid.c_str());
    if (SUCCEEDED(hr)) hr = SetClassesValue(independentId, nullptr, entry.description);
    if (SUCCEEDED(hr)) hr = SetClassesValue(independentId + L"\\CLSID", nullptr, clsid.c_str());
    if (SUCCEEDED(hr)) hr = SetClassesValue(independentId + L"\\CurVer", nullptr, entry.progId);
    if (SUCCEEDED(hr)) hr = SetClassesValue(classKey, nullptr, entry.description);
    if (SUCCEEDED(hr)) hr = SetClassesValue(classKey + L"\\ProgID", nullptr, entry.progId);
    if (SUCCEEDED(hr)) hr = SetClassesValue(classKey + L"\\VersionIndependentProgID", nullptr, entry.versionIndependentProgId);
    if (SUCCEEDED(hr)) hr = SetClassesValue(classKey + L"\\Programmable", nullptr, nullptr);
    if (SUCCEEDED(hr) && info_.kind == ServerInfo::Kind::LocalServer) {
        hr = SetClassesValue(classKey + L"\\LocalServer32", nullptr, LocalServerCommand(modulePath_).c_str());
    }
    if (SUCCEEDED(hr) && info_.kind == ServerInfo::Kind::InprocServer) {
        hr = SetClassesValue(classKey + L"\\InprocServer32", nullptr, modulePath_.c_str());
        if (SUCCEEDED(hr) && info_.threadingModel) {
            hr = SetClassesValue(classKey + L"\\InprocServer32", L"ThreadingModel", info_.threadingModel);
        }
    }
    if (SUCCEEDED(hr) && info_.appId) hr = SetClassesValue(classKey, L"AppID", GuidText(*info_.appId).c_str());
    if (SUCCEEDED(hr) && !libId.empty()) hr = SetClassesValue(classKey + L"\\TypeLib", nullptr, libId.c_str());
    return hr;
}

HRESULT CServerRegistration::RegisterTypeLibrary(std::wstring* libId) {
    CScopedComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(modulePath_.c_str(), REGKIND_NONE, library.Receive());
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    *libId = GuidText(attributes->guid);
    library->ReleaseTLibAttr(attributes);
    return RegisterTypeLib(library.Get(), const_cast<wchar_t*>(modulePath_.c_str()), nullptr);
}

HRESULT CServerRegistration::UnregisterTypeLibrary() {
    CScopedComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(modulePath_.c_str(), REGKIND_NONE, library.Receive());
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    TLIBATTR copy = *attributes;
    library->ReleaseTLibAttr(attributes);
    hr = UnRegisterTypeLib(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind);
    // Already gone counts as done.
    if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED) return S_OK;
    return hr;
}

HRESULT CServerRegistration::Unregister() {
    HRESULT result = S_OK;
    for (size_t index = 0; index < info_.classCount; ++index) {
        const ServerClassInfo& entry = info_.classes[index];
        KeepFirstFailure(&result, DeleteClassesTree(L"CLSID\\" + GuidText(*entry.clsid)));
        KeepFirstFailure(&result, DeleteClassesTree(entry.progId));
        KeepFirstFailure(&result, DeleteClassesTree(entry.versionIndependentProgId));
    }
    if (info_.appId) {
        KeepFirstFailure(&result, DeleteClassesTree(L"AppID\\" + GuidText(*info_.appId)));
        KeepFirstFailure(&result, DeleteClassesTree(L"AppID\\" + ModuleFileName()));
    }
    if (info_.hasTypeLib) KeepFirstFailure(&result, UnregisterTypeLibrary());
    return result;
}
