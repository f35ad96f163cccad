#include "tests/util/UtilTestSupport.h"

#include "library/content/GuidString.h"
#include "library/util/FileSystem.h"


namespace {

const wchar_t kTestsKey[] = L"Software\\QuillbayUtilTests";

}  // namespace

CScratchRegistry::CScratchRegistry() {
    std::wstring guid;
    if (!CreateGuidString(&guid)) return;
    rootPath_ = std::wstring(kTestsKey) + L"\\" + guid;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (rootPath_ + L"\\User").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        user_.Receive(), nullptr) != ERROR_SUCCESS ||
        RegCreateKeyExW(HKEY_CURRENT_USER, (rootPath_ + L"\\Machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, machine_.Receive(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    active_ = RegOverridePredefKey(HKEY_CURRENT_USER, user_.Get()) == ERROR_SUCCESS &&
              RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_.Get()) == ERROR_SUCCESS;
}

CScratchRegistry::~CScratchRegistry() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    user_.Reset();
    machine_.Reset();
    if (rootPath_.empty()) return;
    RegDeleteTreeW(HKEY_CURRENT_USER, rootPath_.c_str());
    // Removes the parent too when no other run still uses it.
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestsKey);
}

CScratchFolder::CScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    std::wstring guid;
    if (GetTempPathW(MAX_PATH + 1, temp) == 0 || !CreateGuidString(&guid)) return;
    std::wstring path = std::wstring(temp) + L"qb-util-" + guid;
    if (CreateDirectoryW(path.c_str(), nullptr)) path_ = path;
}

CScratchFolder::~CScratchFolder() {
    // Prefixed, so folders nested past MAX_PATH go too.
    if (!path_.empty()) DeleteFolderTree(AddLongPathPrefix(path_));
}

bool CScratchFolder::WriteFile(const std::wstring& relative, const std::string& bytes) const {
    const std::wstring path = Join(relative);
    const size_t slash = path.find_last_of(L'\\');
    if (!CreateFolderTree(path.substr(0, slash))) return false;
    CScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (!file.IsValid()) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
    CScopedHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    bytes->clear();
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes->append(buffer, read);
    return true;
}

void DeleteFolderTree(const std::wstring& path) {
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                DeleteFolderTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}
