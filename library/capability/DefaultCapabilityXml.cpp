#include "library/capability/DefaultCapabilityXml.h"

#include <cstring>

namespace {

// The module that holds this code: the resource is linked into the same program or DLL.
HMODULE OwnModule() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&OwnModule), &module)) {
        return nullptr;
    }
    return module;
}

}  // namespace

HRESULT LoadDefaultCapabilityXml(char* buffer, DWORD* size, int resourceId) {
    if (!size) return E_POINTER;
    HMODULE module = OwnModule();
    if (!module) return E_FAIL;
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"XML");
    if (!resource) return E_FAIL;
    DWORD resourceSize = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || resourceSize == 0) return E_FAIL;
    if (!buffer) {
        *size = resourceSize;
        return S_OK;
    }
    if (*size < resourceSize) return E_FAIL;
    std::memcpy(buffer, data, resourceSize);
    *size = resourceSize;
    return S_OK;
}
