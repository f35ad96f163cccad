#pragma once
// The simulated update-information service: offers the scripted version when the program, asked
// through the event, agrees that it is newer than the installed one.

#include <windows.h>

#include "platform/com/CConnectionPointContainer.h"
#include "platform/com/CServerObject.h"
#include "platform/fennic/FennicInterfaces.h"
#include "standins/fennic/StandinDispatch.h"
#include "standins/fennic/StandinScript.h"

namespace standin {

class CStandinUpdateInfo final : public CServerObject, public IFennicUpdateInfo, public CConnectionPointContainer {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    QB_SERVER_OBJECT_REFCOUNT
    STANDIN_DISPATCH_NOT_NAMED

    HRESULT STDMETHODCALLTYPE SetPollingManual(BOOL manual, BSTR service) override;
    HRESULT STDMETHODCALLTYPE Reserved2() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CheckUpdate(BSTR service, const FennicProductRecord* product, BOOL* exists) override;
    HRESULT STDMETHODCALLTYPE GetUpdateDetails(BSTR service, FennicUpdateDetails* details) override;
    HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReportStatus(const FennicStatusRecord* status, BSTR service) override;
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetServiceAddress(BSTR address) override;

private:
    CStandinUpdateInfo();

    // The program's answer to "does `first` stand in relation `op` to `second`", or a failure.
    HRESULT AskCheckVersion(BSTR first, BSTR second, int op);

    CConnectionPoint* m_events = nullptr;
};

}  // namespace standin
