#include "standins/cdlookup/CddbStandinScript.h"

namespace cddb_standin {

const wchar_t kMatchIdentifier[] = L"STANDIN-CDDB-0001";
const BYTE kDataBlock[] = {'M', 'O', 'O', 'D', 0, 0, 0, 4, 'd', 'd', 'b', 'b'};
const ULONG kDataBlockSize = sizeof(kDataBlock);
const BYTE kCoverPicture[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01,
                              0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 'c', 'd', 0xFF, 0xD9};
const ULONG kCoverPictureSize = sizeof(kCoverPicture);
HINSTANCE g_peerModule = nullptr;

std::wstring Mode() {
    wchar_t value[64] = {};
    const DWORD length = GetEnvironmentVariableW(L"QB_CDDB_STANDIN", value, 64);
    if (length == 0 || length >= 64) return L"match";
    return value;
}

bool IsMode(const wchar_t* mode) { return Mode() == mode; }

void Report(const wchar_t* name, const std::wstring& value) { SetEnvironmentVariableW(name, value.c_str()); }

void Append(const wchar_t* name, const std::wstring& value) {
    wchar_t existing[4096] = {};
    const DWORD length = GetEnvironmentVariableW(name, existing, 4096);
    std::wstring text = length > 0 && length < 4096 ? std::wstring(existing) : std::wstring();
    Report(name, text + value);
}

}  // namespace cddb_standin
