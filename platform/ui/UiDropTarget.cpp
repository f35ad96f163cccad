#include "platform/ui/UiDropTarget.h"

CUiDropTarget::~CUiDropTarget() = default;

HRESULT CUiDropTarget::Register(HWND hwnd) {
    if (hwnd_ != nullptr) return DRAGDROP_E_ALREADYREGISTERED;
    const HRESULT result = RegisterDragDrop(hwnd, this);
    if (SUCCEEDED(result)) hwnd_ = hwnd;
    return result;
}

void CUiDropTarget::Revoke() {
    if (hwnd_ == nullptr) return;
    RevokeDragDrop(hwnd_);
    hwnd_ = nullptr;
}

HRESULT CUiDropTarget::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDropTarget)) return E_NOINTERFACE;
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
}

ULONG CUiDropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG CUiDropTarget::Release() {
    const LONG remaining = InterlockedDecrement(&references_);
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
}

HRESULT CUiDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    if (effect == nullptr) return E_INVALIDARG;
    enterEffect_ = data != nullptr ? OnDragEnter(data, keyState, point) : DROPEFFECT_NONE;
    *effect = enterEffect_;
    return S_OK;
}

HRESULT CUiDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    if (effect == nullptr) return E_INVALIDARG;
    *effect = OnDragOver(keyState, point);
    return S_OK;
}

HRESULT CUiDropTarget::DragLeave() {
    OnDragLeave();
    enterEffect_ = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT CUiDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    if (effect == nullptr) return E_INVALIDARG;
    *effect = data != nullptr ? OnDrop(data, keyState, point) : DROPEFFECT_NONE;
    enterEffect_ = DROPEFFECT_NONE;
    return S_OK;
}

DWORD CUiDropTarget::OnDragOver(DWORD, POINTL) { return enterEffect_; }
