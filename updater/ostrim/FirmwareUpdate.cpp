#include "updater/ostrim/FirmwareUpdate.h"

#include <objbase.h>
#include <process.h>

#include "updater/ostrim/FirmwareDisplay.h"
#include "updater/ostrim/GantrelLibrary.h"
#include "updater/ostrim/UpdateClock.h"

namespace {

constexpr DWORD kBeforeFirstCheckMs = 5000;
constexpr int kLeaveChecks = 5;
constexpr DWORD kLeaveCheckMs = 1000;
constexpr int kReturnChecks = 295;
constexpr DWORD kReturnCheckMs = 2000;
constexpr DWORD kProgressPassMs = 1000;
constexpr DWORD kFullBarMs = 50;

}  // namespace

double CFirmwareUpdate::ExpectedSeconds(ULONG totalSize) {
    return static_cast<double>(totalSize) / 1048576.0 * 3.0 + 180.0;
}

HRESULT CFirmwareUpdate::UpdateTornelle(const DEVICE_INFO& player, const std::wstring& firmwareFile,
                                        ULONG totalSize) {
    m_player = player;
    m_firmwareFile = firmwareFile;
    m_totalSize = totalSize;
    HRESULT hr = StartFirmwareUpdate();
    if (SUCCEEDED(hr) && FAILED(m_result)) hr = m_result;
    if (m_gantrel.IsBound()) {
        m_gantrel.Exports().deleteFirmwareBinary(m_player.vendorId, m_player.productId, m_player.serial,
                                                 m_gantrel.targetPath.c_str());
    }
    m_gantrel.targetPath.clear();
    return hr;
}

HRESULT CFirmwareUpdate::StartFirmwareUpdate() {
    JoinThreads();
    m_result = S_OK;
    InterlockedExchange(&m_done, 0);
    m_updateThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, FirmwareUpdateThread, this, 0, nullptr));
    if (m_updateThread == nullptr) return E_OUTOFMEMORY;
    m_progressThread =
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, FirmwareProgressThread, this, 0, nullptr));
    if (m_progressThread == nullptr) {
        // Without the progress thread nobody closes the display: wait for the update instead.
        JoinThreads();
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = m_display.ShowAndWait();
    // The display may return before the threads end; their result is read only once they have.
    JoinThreads();
    return hr;
}

void CFirmwareUpdate::JoinThreads() {
    for (HANDLE* thread : {&m_updateThread, &m_progressThread}) {
        if (*thread == nullptr) continue;
        WaitForSingleObject(*thread, INFINITE);
        CloseHandle(*thread);
        *thread = nullptr;
    }
}

void CFirmwareUpdate::Finish(HRESULT result) {
    // The progress thread reads the result as soon as it sees the flag.
    m_result = result;
    InterlockedExchange(&m_done, 1);
}

HRESULT CFirmwareUpdate::WaitForPlayerRestart() {
    HRESULT hr = m_gantrel.UpdateFirmware(m_player.vendorId, m_player.productId, m_player.serial,
                                          m_firmwareFile.c_str());
    if (FAILED(hr)) return hr;
    m_clock.Sleep(kBeforeFirstCheckMs);
    bool left = false;
    for (int check = 0; check < kLeaveChecks && !left; ++check) {
        m_clock.Sleep(kLeaveCheckMs);
        hr = m_gantrel.CheckSamePlayer(m_player);
        if (FAILED(hr)) return hr;
        left = hr == 1;
    }
    if (!left) return kPlayerDidNotRestart;
    for (int check = 0; check < kReturnChecks; ++check) {
        m_clock.Sleep(kReturnCheckMs);
        hr = m_gantrel.CheckSamePlayer(m_player);
        if (FAILED(hr)) return hr;
        if (hr == 0) return S_OK;
    }
    return kPlayerDidNotRestart;
}

unsigned __stdcall CFirmwareUpdate::FirmwareUpdateThread(void* self) {
    auto* update = static_cast<CFirmwareUpdate*>(self);
    const HRESULT comHr = CoInitialize(nullptr);
    const HRESULT result = update->WaitForPlayerRestart();
    update->Finish(result);
    if (SUCCEEDED(comHr)) CoUninitialize();
    return static_cast<unsigned>(result);
}

unsigned __stdcall CFirmwareUpdate::FirmwareProgressThread(void* self) {
    auto* update = static_cast<CFirmwareUpdate*>(self);
    const double expected = ExpectedSeconds(update->m_totalSize);
    for (unsigned pass = 0; !update->IsDone(); ++pass) {
        update->m_clock.Sleep(kProgressPassMs);
        const double percent = pass * 100.0 / expected;
        update->m_display.ShowProgress(percent >= 99.0 ? 99 : static_cast<int>(percent));
    }
    if (SUCCEEDED(update->m_result)) {
        update->m_display.ShowProgress(100);
        update->m_clock.Sleep(kFullBarMs);
    }
    update->m_display.Close();
    return 0;
}
