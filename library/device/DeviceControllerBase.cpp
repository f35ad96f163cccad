#include "library/device/DeviceControllerBase.h"

#include <objbase.h>

const wchar_t CDeviceControllerBase::kCapabilityFileName[] = L"capability_00.xml";
const wchar_t CDeviceControllerBase::kCarAudioMarkerName[] = L"Carvell.dat";

CDeviceControllerBase::~CDeviceControllerBase() = default;

HRESULT CDeviceControllerBase::InitializeCom() {
    return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

void CDeviceControllerBase::GetFolderStates(bool* folder1Empty, bool* folder2Empty,
                                            bool* folder3Empty) {
    const bool first = CheckFolder1();
    const bool second = CheckFolder2();
    const bool third = CheckFolder3();
    if (folder1Empty) *folder1Empty = first;
    if (folder2Empty) *folder2Empty = second;
    if (folder3Empty) *folder3Empty = third;
}

bool CDeviceControllerBase::HasCapabilityFile() {
    std::wstring fullPath;
    return FileExists(kCapabilityFileName, &fullPath);
}
