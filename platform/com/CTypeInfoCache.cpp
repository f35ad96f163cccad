#include "platform/com/CTypeInfoCache.h"

namespace {

// Asked for US English, LoadRegTypeLib also finds the neutral entry RegisterTypeLib writes; under
// Wine the neutral locale itself is not a dependable question.
const LCID kTypeLibLocale = 0x409;

// The type library in this program's own file: an unregistered in-process use (tests) still works.
HRESULT LoadOwnTypeLib(ITypeLib** result) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(GetLastError());
    return LoadTypeLibEx(path, REGKIND_NONE, result);
}

}  // namespace

CTypeInfoCache::CTypeInfoCache(const GUID& libId, WORD majorVersion, WORD minorVersion, const IID& iid)
    : libId_(libId), majorVersion_(majorVersion), minorVersion_(minorVersion), iid_(iid) {}

HRESULT CTypeInfoCache::Get(ITypeInfo** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    std::lock_guard<std::mutex> guard(mutex_);
    if (!typeInfo_) {
        HRESULT hr = Load();
        if (FAILED(hr)) return hr;
    }
    typeInfo_->AddRef();
    *result = typeInfo_.Get();
    return S_OK;
}

HRESULT CTypeInfoCache::Load() {
    CScopedComPtr<ITypeLib> library;
    HRESULT hr = LoadRegTypeLib(libId_, majorVersion_, minorVersion_, kTypeLibLocale, library.Receive());
    if (FAILED(hr)) {
        CScopedComPtr<ITypeLib> own;
        if (FAILED(LoadOwnTypeLib(own.Receive()))) return hr;
        TLIBATTR* attributes = nullptr;
        if (FAILED(own->GetLibAttr(&attributes))) return hr;
        bool same = IsEqualGUID(attributes->guid, libId_) != FALSE;
        own->ReleaseTLibAttr(attributes);
        if (!same) return hr;
        library = std::move(own);
    }
    return library->GetTypeInfoOfGuid(iid_, typeInfo_.Receive());
}
