#include "updater/ostrim/DownloadProgress.h"

#include <process.h>

#include "updater/ostrim/UpdateClock.h"

namespace {

constexpr DWORD kProgressPassMs = 1000;
constexpr DWORD kHeldPollMs = 500;

}  // namespace

HRESULT CDownloadProgress::StartDownload(BSTR service, BSTR fileId) {
    JoinThread();
    m_service = service;
    m_fileId = fileId;
    m_result = S_OK;
    InterlockedExchange(&m_cancelled, 0);
    m_thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, DownloadProgressThread, this, 0, nullptr));
    if (m_thread == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = m_ui->OpenDownloadDisplay(service);
    if (SUCCEEDED(hr)) hr = m_ui->WaitDownloadDisplay(service, &m_cancelled);
    if (hr == kDownloadCancelled) InterlockedExchange(&m_cancelled, 1);
    if (FAILED(hr) && !Cancelled()) {
        // The display is gone: a worker still waiting for the download would never be told.
        InterlockedExchange(&m_cancelled, 1);
    }
    // The worker writes the result; it is read only once the worker has ended.
    JoinThread();
    return hr;
}

void CDownloadProgress::JoinThread() {
    if (m_thread == nullptr) return;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

HRESULT CDownloadProgress::Run() {
    m_result = S_OK;
    LONG progress = 0;
    bool resumed = false;
    HRESULT status = S_OK;
    while (progress < 100) {
        m_clock.Sleep(kProgressPassMs);
        // A display that ended without a hold (cancelled or failed) has no one left to feed.
        if (Cancelled()) return status;
        BOOL held = FALSE;
        HRESULT hr = m_ui->IsDownloadHeld(m_service, &held);
        if (SUCCEEDED(hr) && held) {
            hr = m_download->Hold(m_service);
            while (SUCCEEDED(hr)) {
                hr = m_ui->IsDownloadHeld(m_service, &held);
                if (FAILED(hr) || !held) break;
                m_clock.Sleep(kHeldPollMs);
            }
            if (Cancelled()) return status;
            if (SUCCEEDED(hr)) hr = m_download->Start(m_fileId, m_service);
            if (SUCCEEDED(hr)) resumed = true;
        }
        if (SUCCEEDED(hr)) hr = m_download->GetProgress(m_service, &progress);
        if (SUCCEEDED(hr)) {
            LONG value = 0;
            hr = m_download->GetStatus(&value, &status);
        }
        if (FAILED(hr)) {
            // A failed call ends this pass; only the display is told about anything else.
            break;
        }
        // A restarted download reports the earlier cancellation until it runs again.
        if (resumed && status == kDownloadCancelled) status = S_OK;
        m_result = status;
        if (FAILED(status)) break;
        m_ui->ShowDownloadProgress(progress, m_service);
    }
    if (!Cancelled()) m_ui->CloseDownloadDisplay(m_service);
    return status;
}

unsigned __stdcall CDownloadProgress::DownloadProgressThread(void* self) {
    return static_cast<unsigned>(static_cast<CDownloadProgress*>(self)->Run());
}
