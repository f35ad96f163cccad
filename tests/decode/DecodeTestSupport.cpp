#include "tests/decode/DecodeTestSupport.h"

#include "library/util/ScopedWin.h"

CScratchFile::CScratchFile(const std::vector<uint8_t>& bytes) {
    wchar_t folder[MAX_PATH];
    wchar_t name[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"qbd", 0, name);
    path_ = name;
    CScopedHandle file(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

CScratchFile::~CScratchFile() { DeleteFileW(path_.c_str()); }

std::wstring FixturePath(const wchar_t* name) {
    std::string dir = QB_TEST_DATA_DIR "/decode/";
    std::wstring path(dir.begin(), dir.end());
    return path + name;
}

std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    CScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid()) return bytes;
    LARGE_INTEGER size;
    GetFileSizeEx(file.Get(), &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

bool TranscodeTokenIsFree() {
    CScopedHandle token(OpenEventW(EVENT_ALL_ACCESS, FALSE, L"TranscodeSingleModeEvent"));
    if (!token.IsValid()) return false;
    if (WaitForSingleObject(token.Get(), 0) != WAIT_OBJECT_0) return false;
    SetEvent(token.Get());
    return true;
}
