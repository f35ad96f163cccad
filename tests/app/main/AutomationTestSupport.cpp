#include "AutomationTestSupport.h"

#include "platform/com/InterfaceTable.h"

CRecordingListener* CRecordingListener::Create() { return new CRecordingListener; }

HRESULT STDMETHODCALLTYPE CRecordingListener::QueryInterface(REFIID iid, void** result) {
    static const InterfaceEntry<CRecordingListener> kInterfaces[] = {
        {&IID_IDispatch, [](CRecordingListener* self) -> IUnknown* { return static_cast<IDispatch*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}

ULONG STDMETHODCALLTYPE CRecordingListener::Release() {
    LONG left = --references_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CRecordingListener::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CRecordingListener::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                                     VARIANT*, EXCEPINFO*, UINT*) {
    std::wstring call = L"bad call";
    if (id == DISPID_VALUE && flags == DISPATCH_METHOD && parameters && parameters->cNamedArgs == 0) {
        if (parameters->cArgs == 0) {
            call = L"";
        } else if (parameters->cArgs == 1 && parameters->rgvarg[0].vt == VT_BSTR) {
            call = parameters->rgvarg[0].bstrVal ? parameters->rgvarg[0].bstrVal : L"";
        } else if (parameters->cArgs == 1 && parameters->rgvarg[0].vt == VT_I4) {
            call = std::to_wstring(parameters->rgvarg[0].lVal);
        }
    }
    {
        std::lock_guard<std::mutex> guard(mutex_);
        calls_.push_back(call);
    }
    if (onCall_) onCall_();
    return S_OK;
}

std::vector<std::wstring> CRecordingListener::Calls() {
    std::lock_guard<std::mutex> guard(mutex_);
    return calls_;
}

size_t CRecordingListener::CallCount() {
    std::lock_guard<std::mutex> guard(mutex_);
    return calls_.size();
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool held = condition();
    while (!held && GetTickCount64() < deadline) {
        DWORD index = 0;
        CoWaitForMultipleHandles(0, 10, 1, &never, &index);
        held = condition();
    }
    CloseHandle(never);
    return held;
}

void CRecordingCoordinator::Transfer(BSTR value, int fileType, int basePathLength, int* result) {
    Record(L"Transfer " + std::wstring(value ? value : L"") + L" " + std::to_wstring(fileType) + L" " +
           std::to_wstring(basePathLength));
    *result = 9;
}

void CRecordingCoordinator::Record(const std::wstring& call) {
    std::lock_guard<std::mutex> guard(mutex_);
    calls_.push_back(call);
}

std::vector<std::wstring> CRecordingCoordinator::Calls() {
    std::lock_guard<std::mutex> guard(mutex_);
    return calls_;
}
