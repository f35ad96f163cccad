#pragma once
// Binds the firmware library at run time: without it only the player's firmware check fails,
// the application's own update still runs.

#include <windows.h>

#include <string>

#include "firmware/Gantrel.h"

// The exports Ostrim calls, in binding order.
struct GantrelExports {
    decltype(&::GetDevices) getDevices = nullptr;
    decltype(&::GetDeviceCount) getDeviceCount = nullptr;
    decltype(&::GetDeviceInfo) getDeviceInfo = nullptr;
    decltype(&::CopyFirmwareBinary) copyFirmwareBinary = nullptr;
    decltype(&::SendUpdateCommand) sendUpdateCommand = nullptr;
    decltype(&::DeleteFirmwareBinary) deleteFirmwareBinary = nullptr;
    decltype(&::CheckVersion) checkVersion = nullptr;
};

constexpr HRESULT kNoPlayer = static_cast<HRESULT>(0x80040200);
constexpr HRESULT kSeveralPlayers = static_cast<HRESULT>(0x80040202);

class IUpdateClock;

class CGantrelLibrary {
public:
    explicit CGantrelLibrary(IUpdateClock& clock) : m_clock(clock) {}
    ~CGantrelLibrary() { Unload(); }
    CGantrelLibrary(const CGantrelLibrary&) = delete;
    CGantrelLibrary& operator=(const CGantrelLibrary&) = delete;

    // Loads the firmware library ("Gantrel.dll" unless told) through the normal search path and
    // binds every export.
    HRESULT Load(const wchar_t* moduleName = L"Gantrel.dll");
    // Binds exports that live elsewhere (a simulated library); they stay bound until Unload.
    void Attach(const GantrelExports& exports);
    void Unload();
    bool IsBound() const { return m_bound; }
    const GantrelExports& Exports() const { return m_exports; }

    HRESULT GetSinglePlayerInfo(DEVICE_INFO* info);
    // Copies the firmware file to the player's root and sends the update command.
    HRESULT UpdateFirmware(DWORD vendorId, DWORD productId, const wchar_t* serial, const wchar_t* firmwareFile);
    // 0 when the player of `stored` is the one connected, 1 when it is not (or not alone).
    HRESULT CheckSamePlayer(const DEVICE_INFO& stored);

    // Where UpdateFirmware put the file on the player; emptied by whoever deletes it.
    std::wstring targetPath;

private:
    IUpdateClock& m_clock;
    HMODULE m_module = nullptr;
    bool m_bound = false;
    GantrelExports m_exports;
};
