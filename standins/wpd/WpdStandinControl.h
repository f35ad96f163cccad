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

#define WPD_STANDIN_MODULE L"wpdstandin.dll"
