#pragma once
// The filter's property page: a fixed text and an empty list, nothing to set.

#include <ocidl.h>

#include "platform/dshow/DsUnknown.h"

class COrrickProperties : public CDsUnknown, public IPropertyPage {
public:
    explicit COrrickProperties(IUnknown* outer);
    ~COrrickProperties() override;

    QB_DS_DELEGATING_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IPropertyPage
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT STDMETHODCALLTYPE Show(UINT command) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() override;
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpDir) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override;

    HWND Window() const { return window_; }
    // A control's notification: code 1 marks the page dirty and tells the site.
    void OnCommand(WORD code);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    IPropertyPageSite* site_ = nullptr;
    HWND window_ = nullptr;
    bool dirty_ = false;
};
