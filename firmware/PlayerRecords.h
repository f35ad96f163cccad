#pragma once
// The records of found players, one list per transport.

#include <windows.h>

#include <vector>

struct MSC_DEVICE_RECORD {
    WCHAR driveLetter;  // 0 marks a candidate that failed
    DWORD vendorId;
    DWORD productId;
    WCHAR serial[33];
    WCHAR firmwareVersion[5];
    WCHAR secondVersion[5];
    WCHAR modelName[33];
    WCHAR modelKey[129];
    WCHAR productCode[65];
    BYTE identifierBytes[2];
};

struct MTP_DEVICE_RECORD {
    WCHAR deviceId[128];
    DWORD vendorId;
    DWORD productId;
    WCHAR serial[32];
    WCHAR firmwareVersion[5];
    WCHAR secondVersion[5];
    WCHAR modelName[33];
    WCHAR modelKey[129];
    WCHAR productCode[65];
    BYTE identifierBytes[2];
};

extern std::vector<MSC_DEVICE_RECORD> MSCTornelleList;
extern std::vector<MTP_DEVICE_RECORD> MTPTornelleList;
