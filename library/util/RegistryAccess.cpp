#include "library/util/RegistryAccess.h"

#include "library/util/SettingsTestSeam.h"

#include <atomic>
#include <vector>

namespace {

std::atomic<bool> g_machineSettingsWritable{true};

// Texts longer than this are not settings of ours; refusing them bounds the allocation.
constexpr DWORD kMaxStringBytes = 64 * 1024;

}  // namespace

void SetMachineSettingsWritableForTest(bool writable) { g_machineSettingsWritable = writable; }

namespace registry {

const wchar_t kProductKey[] = L"Software\\Tavrel Corporation\\Quillbay";

bool OpenForRead(HKEY root, const wchar_t* subKey, CScopedRegKey* key) {
    return RegOpenKeyExW(root, subKey, 0, KEY_READ, key->Receive()) == ERROR_SUCCESS;
}

bool CreateForWrite(HKEY root, const wchar_t* subKey, CScopedRegKey* key) {
    return RegCreateKeyExW(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                           key->Receive(), nullptr) == ERROR_SUCCESS;
}

bool CreateMachineKeyForWrite(const wchar_t* subKey, CScopedRegKey* key) {
    if (!g_machineSettingsWritable) {
        key->Reset();
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return CreateForWrite(HKEY_LOCAL_MACHINE, subKey, key);
}

bool ReadDword(HKEY key, const wchar_t* name, DWORD* out) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        return false;
    }
    if (type != REG_DWORD || size != sizeof(value)) return false;
    *out = value;
    return true;
}

bool WriteDword(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

bool ReadString(HKEY key, const wchar_t* name, std::wstring* out) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ || size > kMaxStringBytes) return false;
    // One spare character beyond what is stored: the text ends in a null even when the value's
    // data does not.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD capacity = size;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &capacity) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    buffer[capacity / sizeof(wchar_t)] = L'\0';
    out->assign(buffer.data());
    return true;
}

bool WriteString(HKEY key, const wchar_t* name, const std::wstring& value) {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
           ERROR_SUCCESS;
}

}  // namespace registry
