#pragma once
// What a test calls on the simulated player's module besides COM: attach and detach players and
// arm faults. The module exports these by name (stdcall, undecorated).

#include <windows.h>

enum WpdStandinFault : int {
    kWpdFaultOpen = 1,      // IPortableDevice::Open fails
    kWpdFaultWrite = 2,     // the Nth IStream::Write on a new object's stream fails
    kWpdFaultCommit = 3,    // IStream::Commit of a new object fails; nothing is created
    kWpdFaultRename = 4,    // IPortableDeviceProperties::SetValues fails
    kWpdFaultDiskFull = 5,  // the storage reports no free space until the stand-in is reset
};

using WpdStandinAttachFn = HRESULT(WINAPI*)(LPCWSTR id, LPCWSTR friendlyName, LPCWSTR manufacturer,
                                            LPCWSTR description, LPCWSTR protocol, LPCWSTR folder,
                                            LPCWSTR storageName, ULONGLONG capacity);
using WpdStandinDetachFn = HRESULT(WINAPI*)(LPCWSTR id);
using WpdStandinResetFn = void(WINAPI*)();
// nthCall counts matching calls from now, 1 being the next one; failure is what that call returns.
using WpdStandinArmFaultFn = void(WINAPI*)(int fault, LONG nthCall, HRESULT failure);

// How the player answers vendor operations: its extension description, the operation codes it
// lists, and the data of Get Device Info (0x9401), which it ends with responseCode.
using WpdStandinSetVendorFn = HRESULT(WINAPI*)(LPCWSTR id, LPCWSTR extensionDescription, const WORD* opcodes,
                                               DWORD opcodeCount, const BYTE* deviceInfo, DWORD deviceInfoSize,
                                               DWORD responseCode);
// The vendor operations the player received, oldest first: each entry is the operation code and
// its first two parameters (0 where absent). Returns how many there are; fills at most capacity.
using WpdStandinOperationsFn = DWORD(WINAPI*)(LPCWSTR id, DWORD (*entries)[3], DWORD capacity);

#define WPD_STANDIN_MODULE L"wpdstandin.dll"
