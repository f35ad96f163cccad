#include "SimulatedGantrel.h"

#include <cwchar>
#include <memory>

namespace {

std::unique_ptr<SimulatedGantrelState> g_state = std::make_unique<SimulatedGantrelState>();
int g_reportedCount = 0;

HRESULT __cdecl SimGetDevices() {
    SimulatedGantrelState& s = Sim();
    if (FAILED(s.getDevicesResult)) return s.getDevicesResult;
    g_reportedCount = s.playersBeforeCommand;
    if (!s.commandSent) return S_OK;
    const int poll = ++s.pollsAfterCommand;
    if (!s.back && poll > s.leaveAfterPolls) {
        s.back = s.returns(poll);
        if (!s.back) g_reportedCount = s.playersWhileAway;
    }
    return S_OK;
}

HRESULT __cdecl SimGetDeviceCount(int* count) {
    *count = g_reportedCount;
    return S_OK;
}

HRESULT __cdecl SimGetDeviceInfo(DEVICE_INFO* records, unsigned count) {
    if (count < 1) return E_INVALIDARG;
    records[0] = SimulatedPlayer(Sim().back ? L"1.10" : L"1.00");
    return S_OK;
}

HRESULT __cdecl SimCopyFirmwareBinary(DWORD, DWORD, const wchar_t*, const wchar_t* file, const wchar_t* path, BOOL) {
    Sim().copiedFrom = file;
    Sim().copiedTo = path;
    return Sim().copyResult;
}

HRESULT __cdecl SimSendUpdateCommand(DWORD, DWORD, const wchar_t*) {
    Sim().commandSent = true;
    return S_OK;
}

HRESULT __cdecl SimDeleteFirmwareBinary(DWORD, DWORD, const wchar_t*, const wchar_t* path) {
    Sim().deleted = path;
    ++Sim().deleteCalls;
    return S_OK;
}

HRESULT __cdecl SimCheckVersion(const wchar_t*, const wchar_t*) { return Sim().versionOrder; }

}  // namespace

SimulatedGantrelState& Sim() { return *g_state; }

GantrelExports ResetSimulatedGantrel() {
    g_state = std::make_unique<SimulatedGantrelState>();
    GantrelExports exports;
    exports.getDevices = SimGetDevices;
    exports.getDeviceCount = SimGetDeviceCount;
    exports.getDeviceInfo = SimGetDeviceInfo;
    exports.copyFirmwareBinary = SimCopyFirmwareBinary;
    exports.sendUpdateCommand = SimSendUpdateCommand;
    exports.deleteFirmwareBinary = SimDeleteFirmwareBinary;
    exports.checkVersion = SimCheckVersion;
    return exports;
}

DEVICE_INFO SimulatedPlayer(const wchar_t* firmwareVersion) {
    DEVICE_INFO info = {};
    info.vendorId = 0x054C;
    info.productId = 0x0385;
    wcscpy_s(info.serial, L"5A0000000000000000000000000000A1");
    wcscpy_s(info.firmwareVersion, firmwareVersion);
    wcscpy_s(info.modelKey, kSimulatedModelKey);
    wcscpy_s(info.modelName, L"TORNELLE T 1");
    return info;
}
