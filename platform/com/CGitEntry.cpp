#include "platform/com/CGitEntry.h"

namespace {

HRESULT GetTable(CScopedComPtr<IGlobalInterfaceTable>* table) {
    return CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER, IID_IGlobalInterfaceTable,
                            reinterpret_cast<void**>(table->Receive()));
}

}  // namespace

HRESULT CGitEntry::Register(IUnknown* object, REFIID iid) {
    Revoke();
    if (!object) return S_OK;
    CScopedComPtr<IGlobalInterfaceTable> table;
    HRESULT hr = GetTable(&table);
    if (FAILED(hr)) return hr;
    DWORD cookie = 0;
    hr = table->RegisterInterfaceInGlobal(object, iid, &cookie);
    if (SUCCEEDED(hr)) cookie_ = cookie;
    return hr;
}

void CGitEntry::Revoke() {
    if (cookie_ == 0) return;
    CScopedComPtr<IGlobalInterfaceTable> table;
    if (SUCCEEDED(GetTable(&table))) table->RevokeInterfaceFromGlobal(cookie_);
    cookie_ = 0;
}

HRESULT CGitEntry::Fetch(DWORD cookie, REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (cookie == 0) return E_INVALIDARG;
    CScopedComPtr<IGlobalInterfaceTable> table;
    HRESULT hr = GetTable(&table);
    if (FAILED(hr)) return hr;
    return table->GetInterfaceFromGlobal(cookie, iid, result);
}
