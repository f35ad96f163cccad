#pragma once
// The simulated download component: "downloads" by writing a file of the scripted size into the
// scripted folder, a step of progress per read.

#include <windows.h>

#include <mutex>
#include <string>

#include "platform/com/CServerObject.h"
#include "platform/fennic/FennicInterfaces.h"
#include "standins/fennic/StandinDispatch.h"
#include "standins/fennic/StandinScript.h"

namespace standin {

class CStandinDownload final : public CServerObject, public IFennicDownload {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    QB_SERVER_OBJECT_REFCOUNT
    STANDIN_DISPATCH_NOT_NAMED

    HRESULT STDMETHODCALLTYPE GetProgress(BSTR service, LONG* percent) override;
    HRESULT STDMETHODCALLTYPE Start(BSTR fileId, BSTR service) override;
    HRESULT STDMETHODCALLTYPE Hold(BSTR service) override;
    HRESULT STDMETHODCALLTYPE GetLocalPath(BSTR service, BSTR* path) override;
    HRESULT STDMETHODCALLTYPE Finish(BSTR localPath, BSTR service) override;
    HRESULT STDMETHODCALLTYPE GetStatus(LONG* value, HRESULT* status) override;
    HRESULT STDMETHODCALLTYPE CheckHash(BSTR hashReference, BOOL* matches) override;

private:
    CStandinDownload() {}

    std::mutex m_lock;
    std::wstring m_path;  // empty until a download started
    LONG m_progress = 0;
    HRESULT m_status = S_OK;
};

}  // namespace standin
