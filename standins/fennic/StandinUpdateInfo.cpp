#include "standins/fennic/StandinUpdateInfo.h"

#include <new>
#include <string>

#include "platform/com/CGitEntry.h"

namespace standin {

namespace {

const wchar_t* Text(BSTR text) { return text != nullptr ? text : L""; }

}  // namespace

CStandinUpdateInfo::CStandinUpdateInfo() {
    m_events = AddConnectionPoint(kDiidFennicUpdateInfoEvents);
}

HRESULT CStandinUpdateInfo::Create(IUnknown* outer, REFIID iid, void** result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* object = new (std::nothrow) CStandinUpdateInfo();
    if (object == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = object->m_events != nullptr ? object->QueryInterface(iid, result) : E_OUTOFMEMORY;
    object->Release();
    return hr;
}

HRESULT CStandinUpdateInfo::QueryInterface(REFIID iid, void** result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidFennicUpdateInfo)) {
        *result = static_cast<IFennicUpdateInfo*>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *result = static_cast<IConnectionPointContainer*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT CStandinUpdateInfo::SetPollingManual(BOOL manual, BSTR service) {
    Journal(L"info.1 manual=%d %ls", manual ? 1 : 0, Text(service));
    return CFennicScript::Current().FailureOf(L"info.1");
}

HRESULT CStandinUpdateInfo::AskCheckVersion(BSTR first, BSTR second, int op) {
    HRESULT answer = E_FAIL;
    for (DWORD cookie : m_events->SinkCookies()) {
        CScopedComPtr<IDispatch> sink;
        if (FAILED(CGitEntry::Fetch(cookie, IID_IDispatch, &sink))) continue;
        // Arguments last first.
        VARIANT arguments[3];
        VariantInit(&arguments[0]);
        V_VT(&arguments[0]) = VT_I4;
        V_I4(&arguments[0]) = op;
        VariantInit(&arguments[1]);
        V_VT(&arguments[1]) = VT_BSTR;
        V_BSTR(&arguments[1]) = second;
        VariantInit(&arguments[2]);
        V_VT(&arguments[2]) = VT_BSTR;
        V_BSTR(&arguments[2]) = first;
        DISPPARAMS params = {arguments, nullptr, 3, 0};
        VARIANT result;
        VariantInit(&result);
        const HRESULT hr = sink->Invoke(kDispidCheckVersion, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                        &result, nullptr, nullptr);
        answer = SUCCEEDED(hr) && V_VT(&result) == VT_I4 ? V_I4(&result) : (FAILED(hr) ? hr : E_UNEXPECTED);
        VariantClear(&result);
    }
    Journal(L"event.1 %ls %ls %d 0x%08lX", Text(first), Text(second), op, static_cast<unsigned long>(answer));
    return answer;
}

HRESULT CStandinUpdateInfo::CheckUpdate(BSTR service, const FennicProductRecord* product, BOOL* exists) {
    if (exists == nullptr || product == nullptr) return E_POINTER;
    *exists = FALSE;
    Journal(L"info.3 %ls name=%ls code=%ls version=%ls instance=%ls last=%ls", Text(service),
            Text(product->displayName), Text(product->productCode), Text(product->installedVersion),
            Text(product->instanceId), Text(product->lastUpdateStatus));
    const HRESULT failure = CFennicScript::Current().FailureOf(L"info.3");
    if (FAILED(failure)) return failure;
    const std::wstring offer = CFennicScript::Current().Text(L"offer");
    if (offer.empty()) return S_OK;
    CScopedBstr offered(offer.c_str());
    const HRESULT answer = AskCheckVersion(offered.Get(), product->installedVersion,
                                           static_cast<int>(CFennicScript::Current().Number(L"op", 8)));
    if (FAILED(answer)) return answer;
    *exists = answer == S_OK;
    return S_OK;
}

HRESULT CStandinUpdateInfo::GetUpdateDetails(BSTR service, FennicUpdateDetails* details) {
    if (details == nullptr) return E_POINTER;
    ZeroMemory(details, sizeof(*details));
    Journal(L"info.4 %ls", Text(service));
    const HRESULT failure = CFennicScript::Current().FailureOf(L"info.4");
    if (FAILED(failure)) return failure;
    const std::wstring offer = CFennicScript::Current().Text(L"offer");
    details->description = SysAllocString(L"A newer version is available.");
    details->version = SysAllocString(offer.c_str());
    details->fileId = SysAllocString((L"upd" + std::wstring(Text(service))).c_str());
    details->hashReference = SysAllocString(L"sha1:standin");
    details->pollingSet = CFennicScript::Current().Number(L"pollingSet", 0) != 0;
    details->pollingManual = CFennicScript::Current().Number(L"pollingManual", 0) != 0;
    if (offer.empty()) return S_OK;
    details->files = static_cast<FennicUpdateFile*>(CoTaskMemAlloc(sizeof(FennicUpdateFile)));
    if (details->files == nullptr) return E_OUTOFMEMORY;
    ZeroMemory(details->files, sizeof(FennicUpdateFile));
    details->fileCount = 1;
    details->files[0].name = SysAllocString(L"update");
    details->files[0].size = static_cast<ULONG>(CFennicScript::Current().Number(L"size", 4096));
    return S_OK;
}

HRESULT CStandinUpdateInfo::ReportStatus(const FennicStatusRecord* status, BSTR service) {
    if (status == nullptr) return E_POINTER;
    Journal(L"info.6 %02ld %ls code=%ls name=%ls version=%ls", status->statusCode, Text(service),
            Text(status->productCode), Text(status->displayName), Text(status->version));
    return S_OK;
}

HRESULT CStandinUpdateInfo::SetServiceAddress(BSTR address) {
    Journal(L"info.8 %ls", Text(address));
    return CFennicScript::Current().FailureOf(L"info.8");
}

}  // namespace standin
