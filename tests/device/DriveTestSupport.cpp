#include "tests/device/DriveTestSupport.h"

#include <cstdlib>

namespace {
std::wstring FromEnvironment(const wchar_t* name) {
    wchar_t value[64] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 64);
    return length > 0 && length < 64 ? std::wstring(value, length) : std::wstring();
}
}  // namespace

std::wstring TestDriveLetters() { return FromEnvironment(L"QB_DEVICE_TEST_DRIVES"); }
std::wstring FullDriveLetter() { return FromEnvironment(L"QB_DEVICE_TEST_FULL_DRIVE"); }

std::wstring RootOf(wchar_t letter) { return std::wstring(1, letter) + L":\\"; }

void EmptyFolder(const std::wstring& folder) {
    std::wstring base = folder;
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW((base + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = base + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyFolder(path);
            RemoveDirectoryW(path.c_str());
        } else {
            DeleteFileW(path.c_str());
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                &written, nullptr) &&
                                      written == bytes.size());
    CloseHandle(file);
    return ok;
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsHiddenPath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::wstring LocalScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"qb_device_tests";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void DriveTest::SetUp() {
    letters_ = TestDriveLetters();
    if (letters_.size() < 3) {
        GTEST_SKIP() << "no removable test drives (run through run_with_drives.sh)";
    }
    for (wchar_t letter : letters_) EmptyFolder(RootOf(letter));
    EmptyFolder(LocalScratchFolder());
}

void DriveTest::TearDown() {
    for (wchar_t letter : letters_) EmptyFolder(RootOf(letter));
}

void DriveTest::MakePlayer(wchar_t letter, const std::wstring& deviceId) {
    ASSERT_TRUE(WriteBytes(RootOf(letter) + L"capability_00.xml", "<capability/>"));
    facts_.AddUsbDrive(letter, deviceId);
}

void DrivePlayerTest::SetUp() {
    DriveTest::SetUp();
    if (IsSkipped()) return;
    MakePlayer(Letter(0), L"1234_0ab1_A");
    ASSERT_EQ(controller_.FindDevice(), CDeviceControllerBase::kDeviceFound);
    controller_.SetListener(&listener_);
    root_ = RootOf(Letter(0));
}
