#pragma once
// The download of one update: the main thread waits inside the user-interface component's modal
// download display while a worker feeds it the progress, restarts a held download and closes the
// display at the end.

#include <windows.h>

#include <string>

#include "platform/fennic/FennicInterfaces.h"

class IUpdateClock;

class CDownloadProgress {
public:
    CDownloadProgress(IFennicUserInterface* ui, IFennicDownload* download, IUpdateClock& clock)
        : m_ui(ui), m_download(download), m_clock(clock) {}
    ~CDownloadProgress() { JoinThread(); }
    CDownloadProgress(const CDownloadProgress&) = delete;
    CDownloadProgress& operator=(const CDownloadProgress&) = delete;

    // Runs the display until it closes: the display's own result (kDownloadCancelled when the
    // user cancelled). The worker has ended when this returns.
    HRESULT StartDownload(BSTR service, BSTR fileId);

    static unsigned __stdcall DownloadProgressThread(void* self);

    // The last status the worker read from the download component.
    HRESULT Result() const { return m_result; }
    bool Cancelled() const { return InterlockedCompareExchange(&m_cancelled, 0, 0) != 0; }

private:
    HRESULT Run();
    void JoinThread();

    IFennicUserInterface* m_ui;
    IFennicDownload* m_download;
    IUpdateClock& m_clock;
    BSTR m_service = nullptr;  // borrowed for the display's lifetime
    BSTR m_fileId = nullptr;
    HRESULT m_result = S_OK;
    mutable volatile LONG m_cancelled = 0;
    HANDLE m_thread = nullptr;
};
