#pragma once
// Base of a window's OLE drop target. A concrete target answers the drop effects; the base does
// the COM plumbing and the registration. Reference counted: the creator holds the first
// reference, RegisterDragDrop takes its own while registered.

#include <windows.h>
#include <ole2.h>

class CUiDropTarget : public IDropTarget {
public:
    CUiDropTarget() = default;
    CUiDropTarget(const CUiDropTarget&) = delete;
    CUiDropTarget& operator=(const CUiDropTarget&) = delete;

    // RegisterDragDrop for the window (OLE must be initialised on the thread).
    HRESULT Register(HWND hwnd);
    // RevokeDragDrop of the registered window; nothing when none is.
    void Revoke();
    HWND RegisteredWindow() const { return hwnd_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

protected:
    // Destroyed by the last Release.
    virtual ~CUiDropTarget();

    // Required: the effect a drop would have (DROPEFFECT_*); the data object of DragEnter stays
    // valid until DragLeave or Drop.
    virtual DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINTL point) = 0;
    // Optional: the base keeps the answer of OnDragEnter.
    virtual DWORD OnDragOver(DWORD keyState, POINTL point);
    // Optional.
    virtual void OnDragLeave() {}
    // Required: takes the data; the effect that happened.
    virtual DWORD OnDrop(IDataObject* data, DWORD keyState, POINTL point) = 0;

private:
    LONG references_ = 1;
    HWND hwnd_ = nullptr;
    DWORD enterEffect_ = DROPEFFECT_NONE;
};
