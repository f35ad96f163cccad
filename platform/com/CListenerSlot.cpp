#include "platform/com/CListenerSlot.h"

#include <algorithm>
#include <vector>

HRESULT CListenerSlot::Put(IDispatch* listener) {
    std::lock_guard<std::mutex> guard(mutex_);
    return entry_.Register(listener, IID_IDispatch);
}

DWORD CListenerSlot::Cookie() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return entry_.Cookie();
}

HRESULT CListenerSlot::CallMember(DWORD cookie, DISPID member, const VARIANT* arguments, UINT count) {
    if (cookie == 0) return E_POINTER;
    CScopedComPtr<IDispatch> listener;
    HRESULT hr = CGitEntry::Fetch(cookie, IID_IDispatch, &listener);
    if (FAILED(hr)) return hr;
    // DISPPARAMS lists the arguments last first.
    std::vector<VARIANT> reversed(arguments, arguments + count);
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS parameters = {reversed.empty() ? nullptr : reversed.data(), nullptr, count, 0};
    CScopedVariant result;
    // The user-default locale, as scripts expect it.
    const LCID kUserDefault = 0x800;
    return listener->Invoke(member, IID_NULL, kUserDefault, DISPATCH_METHOD, &parameters, result.Receive(),
                            nullptr, nullptr);
}
