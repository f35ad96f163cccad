#include "standins/fennic/StandinUserInterface.h"

#include <chrono>
#include <new>

namespace standin {

namespace {

// A display nobody closes would hang the test; a real one would wait for the user.
constexpr DWORD kDisplayLimitMs = 300000;

const wchar_t* Text(BSTR text) { return text != nullptr ? text : L""; }

}  // namespace

CStandinUserInterface::CStandinUserInterface()
    : m_firmwareClosed(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_heldAsked(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CStandinUserInterface::~CStandinUserInterface() {
    for (HANDLE event : {m_firmwareClosed, m_heldAsked}) {
        if (event != nullptr) CloseHandle(event);
    }
}

HRESULT CStandinUserInterface::Create(IUnknown* outer, REFIID iid, void** result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* object = new (std::nothrow) CStandinUserInterface();
    if (object == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, result);
    object->Release();
    return hr;
}

HRESULT CStandinUserInterface::QueryInterface(REFIID iid, void** result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidFennicUserInterface)) {
        *result = static_cast<IFennicUserInterface*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT CStandinUserInterface::AskUser(const FennicUiRecord* record, BOOL* accepted) {
    if (accepted == nullptr || record == nullptr) return E_POINTER;
    *accepted = CFennicScript::Current().Number(L"accept", 1) != 0;
    Journal(L"ui.3 %ls name=%ls size=%lu reportOnly=%d accepted=%d", Text(record->service), Text(record->displayName),
            record->totalSize, record->reportOnly ? 1 : 0, *accepted ? 1 : 0);
    return CFennicScript::Current().FailureOf(L"ui.3");
}

HRESULT CStandinUserInterface::OpenDownloadDisplay(BSTR service) {
    Journal(L"ui.4 %ls", Text(service));
    std::lock_guard<std::mutex> hold(m_displayLock);
    ++m_downloadOpened;
    return CFennicScript::Current().FailureOf(L"ui.4");
}

HRESULT CStandinUserInterface::WaitDownloadDisplay(BSTR service, volatile LONG* cancelled) {
    if (cancelled == nullptr) return E_POINTER;
    if (CFennicScript::Current().Number(L"cancel", 0) != 0) {
        // The user presses cancel: the download is held while the display confirms, and the
        // flag is set before the hold ends.
        if (WaitForSingleObject(m_heldAsked, kDisplayLimitMs) != WAIT_OBJECT_0) return E_ABORT;
        InterlockedExchange(cancelled, 1);
        m_cancelWritten = true;
        Journal(L"ui.5 %ls cancelled", Text(service));
        return kDownloadCancelled;
    }
    {
        // The worker may close the display before the program starts waiting in it.
        std::unique_lock<std::mutex> hold(m_displayLock);
        if (!m_displayChanged.wait_for(hold, std::chrono::milliseconds(kDisplayLimitMs),
                                       [this] { return m_downloadClosed >= m_downloadOpened; })) {
            return E_ABORT;
        }
    }
    Journal(L"ui.5 %ls closed", Text(service));
    return S_OK;
}

HRESULT CStandinUserInterface::CloseDownloadDisplay(BSTR service) {
    Journal(L"ui.6 %ls", Text(service));
    std::lock_guard<std::mutex> hold(m_displayLock);
    ++m_downloadClosed;
    m_displayChanged.notify_all();
    return S_OK;
}

HRESULT CStandinUserInterface::ShowNoUpdate(LONG, LONG, LONG* answer) {
    if (answer != nullptr) *answer = IDOK;
    Journal(L"ui.9");
    return S_OK;
}

HRESULT CStandinUserInterface::ShowError(HRESULT error) {
    Journal(L"ui.10 0x%08lX", static_cast<unsigned long>(error));
    return S_OK;
}

HRESULT CStandinUserInterface::ShowDownloadProgress(LONG percent, BSTR service) {
    Journal(L"ui.11 %ld %ls", percent, Text(service));
    return S_OK;
}

HRESULT CStandinUserInterface::DisplayFinished(BSTR displayName, BSTR service) {
    Journal(L"ui.12 %ls %ls", Text(displayName), Text(service));
    return S_OK;
}

HRESULT CStandinUserInterface::IsDownloadHeld(BSTR, BOOL* held) {
    if (held == nullptr) return E_POINTER;
    *held = FALSE;
    const long holdAsks = CFennicScript::Current().Number(L"hold", 0);
    if (holdAsks > 0) {
        // The user pauses the download for that many questions, then resumes it.
        *held = ++m_heldAsks <= holdAsks ? TRUE : FALSE;
    } else if (CFennicScript::Current().Number(L"cancel", 0) != 0) {
        // Answer first: once the event is set the display may end the hold at any moment.
        *held = m_cancelWritten ? FALSE : TRUE;
        SetEvent(m_heldAsked);
    }
    return S_OK;
}

HRESULT CStandinUserInterface::ShowFirmwareDisplay(BSTR service) {
    Journal(L"ui.14 %ls", Text(service));
    if (WaitForSingleObject(m_firmwareClosed, kDisplayLimitMs) != WAIT_OBJECT_0) return E_ABORT;
    ResetEvent(m_firmwareClosed);
    return S_OK;
}

HRESULT CStandinUserInterface::ShowFirmwareProgress(LONG percent, BSTR service) {
    Journal(L"ui.15 %ld %ls", percent, Text(service));
    return S_OK;
}

HRESULT CStandinUserInterface::CloseFirmwareDisplay(BSTR service) {
    Journal(L"ui.16 %ls", Text(service));
    SetEvent(m_firmwareClosed);
    return S_OK;
}

}  // namespace standin
