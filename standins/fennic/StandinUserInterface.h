#pragma once
// The simulated user-interface component: answers the user's questions from the script and keeps
// its modal displays open until the worker that feeds them closes them.

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "platform/com/CServerObject.h"
#include "platform/fennic/FennicInterfaces.h"
#include "standins/fennic/StandinDispatch.h"
#include "standins/fennic/StandinScript.h"

namespace standin {

class CStandinUserInterface final : public CServerObject, public IFennicUserInterface {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    QB_SERVER_OBJECT_REFCOUNT
    STANDIN_DISPATCH_NOT_NAMED

    HRESULT STDMETHODCALLTYPE Reserved1() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved2() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AskUser(const FennicUiRecord* record, BOOL* accepted) override;
    HRESULT STDMETHODCALLTYPE OpenDownloadDisplay(BSTR service) override;
    HRESULT STDMETHODCALLTYPE WaitDownloadDisplay(BSTR service, volatile LONG* cancelled) override;
    HRESULT STDMETHODCALLTYPE CloseDownloadDisplay(BSTR service) override;
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved8() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowNoUpdate(LONG first, LONG second, LONG* answer) override;
    HRESULT STDMETHODCALLTYPE ShowError(HRESULT error) override;
    HRESULT STDMETHODCALLTYPE ShowDownloadProgress(LONG percent, BSTR service) override;
    HRESULT STDMETHODCALLTYPE DisplayFinished(BSTR displayName, BSTR service) override;
    HRESULT STDMETHODCALLTYPE IsDownloadHeld(BSTR service, BOOL* held) override;
    HRESULT STDMETHODCALLTYPE ShowFirmwareDisplay(BSTR service) override;
    HRESULT STDMETHODCALLTYPE ShowFirmwareProgress(LONG percent, BSTR service) override;
    HRESULT STDMETHODCALLTYPE CloseFirmwareDisplay(BSTR service) override;

private:
    CStandinUserInterface();
    ~CStandinUserInterface() override;

    std::mutex m_displayLock;
    std::condition_variable m_displayChanged;
    int m_downloadOpened = 0;
    int m_downloadClosed = 0;
    HANDLE m_firmwareClosed;
    HANDLE m_heldAsked;
    std::atomic<bool> m_cancelWritten{false};
    std::atomic<long> m_heldAsks{0};
};

}  // namespace standin
