#include "standins/wpd/PresetPlayers.h"

#include "library/util/ScopedWin.h"
#include "standins/wpd/CSimulatedPlayers.h"

namespace standin {

const wchar_t kPresetPlayersKey[] = L"Software\\Quillbay\\Standins\\WpdPlayers";

namespace {

const DWORD kMaxPlayers = 16;
const DWORD kDefaultCapacityMiB = 256;

// A REG_SZ of at most MAX_PATH characters; the fallback when missing or of another type.
std::wstring ReadText(HKEY key, const wchar_t* name, const wchar_t* fallback) {
    wchar_t text[MAX_PATH + 1];
    DWORD bytes = sizeof(text);
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS) return fallback;
    return text;
}

void AttachPreset(HKEY players, const wchar_t* name) {
    CScopedRegKey key;
    if (RegOpenKeyExW(players, name, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return;
    DWORD capacity = kDefaultCapacityMiB;
    DWORD bytes = sizeof(capacity);
    RegGetValueW(key.Get(), nullptr, L"CapacityMiB", RRF_RT_REG_DWORD, nullptr, &capacity, &bytes);
    SimDeviceConfig config{ReadText(key.Get(), L"DeviceId", L""),
                           ReadText(key.Get(), L"FriendlyName", name),
                           ReadText(key.Get(), L"Manufacturer", L"Quillbay"),
                           ReadText(key.Get(), L"Description", L"Simulated player"),
                           ReadText(key.Get(), L"Protocol", L"MTP: 1.0"),
                           ReadText(key.Get(), L"Folder", L""),
                           ReadText(key.Get(), L"StorageName", L"Internal storage"),
                           static_cast<ULONGLONG>(capacity) << 20};
    // Attach refuses a player without an id or a folder.
    CSimulatedPlayers::Instance().Attach(config);
}

}  // namespace

void AttachPresetPlayers() {
    CScopedRegKey players;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPresetPlayersKey, 0, KEY_READ, players.Receive()) != ERROR_SUCCESS) return;
    for (DWORD index = 0; index < kMaxPlayers; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(players.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        AttachPreset(players.Get(), name);
    }
}

}  // namespace standin
