#include "tests/firmware/SimulatedMtpPlayers.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

const wchar_t kPlayerExtensionDescription[] = L"microsoft.com: 1.0; tavrel.com: 1.0;";
const std::vector<WORD> kPlayerOpcodes = {0x9401, 0x9402};

std::vector<BYTE> MtpDeviceInfo(const std::string& model, const std::string& version, const std::string& secondVersion,
                                const std::string& serial, BYTE first, BYTE second) {
    std::vector<BYTE> reply(144, 0);
    memcpy(reply.data() + 16, model.data(), std::min<size_t>(model.size(), 16));
    memcpy(reply.data() + 36, version.data(), std::min<size_t>(version.size(), 4));
    memcpy(reply.data() + 44, secondVersion.data(), std::min<size_t>(secondVersion.size(), 4));
    memcpy(reply.data() + 60, serial.data(), std::min<size_t>(serial.size(), 16));
    reply[112] = first;
    reply[113] = second;
    return reply;
}

std::wstring MtpDeviceId(uint16_t product, const std::wstring& usbSerial) {
    wchar_t id[160];
    swprintf(id, 160, L"\\\\?\\usb#vid_%04x&pid_%04x#%ls#{6ac27878-a6fa-4155-ba85-f98f491d4f33}", kVendor, product,
             usbSerial.c_str());
    return id;
}
