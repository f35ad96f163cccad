#pragma once
// The player's firmware update: one thread copies the file, sends the update command and waits
// for the player to restart; another feeds the modal display the main thread waits in.

#include <windows.h>

#include <string>

#include "firmware/Gantrel.h"

class CGantrelLibrary;
class IFirmwareDisplay;
class IUpdateClock;

constexpr HRESULT kPlayerDidNotRestart = static_cast<HRESULT>(0x80041211);

class CFirmwareUpdate {
public:
    CFirmwareUpdate(CGantrelLibrary& gantrel, IFirmwareDisplay& display, IUpdateClock& clock)
        : m_gantrel(gantrel), m_display(display), m_clock(clock) {}
    ~CFirmwareUpdate() { JoinThreads(); }
    CFirmwareUpdate(const CFirmwareUpdate&) = delete;
    CFirmwareUpdate& operator=(const CFirmwareUpdate&) = delete;

    // Updates `player` with the downloaded file; the copy on the player is deleted afterwards,
    // whatever the outcome.
    HRESULT UpdateTornelle(const DEVICE_INFO& player, const std::wstring& firmwareFile, ULONG totalSize);

    static unsigned __stdcall FirmwareUpdateThread(void* self);
    static unsigned __stdcall FirmwareProgressThread(void* self);

    // Seconds the progress display expects the update to take for an update of `totalSize` bytes.
    static double ExpectedSeconds(ULONG totalSize);

    // Reset by the start, set by the update thread once the result is stored.
    bool IsDone() const { return InterlockedCompareExchange(&m_done, 0, 0) != 0; }
    HRESULT Result() const { return m_result; }

private:
    HRESULT StartFirmwareUpdate();
    HRESULT WaitForPlayerRestart();
    void Finish(HRESULT result);
    void JoinThreads();

    CGantrelLibrary& m_gantrel;
    IFirmwareDisplay& m_display;
    IUpdateClock& m_clock;
    DEVICE_INFO m_player = {};
    std::wstring m_firmwareFile;
    ULONG m_totalSize = 0;
    HRESULT m_result = S_OK;
    mutable volatile LONG m_done = 0;
    HANDLE m_updateThread = nullptr;
    HANDLE m_progressThread = nullptr;
};
