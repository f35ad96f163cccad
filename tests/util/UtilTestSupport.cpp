#include "tests/util/UtilTestSupport.h"

#include "library/content/GuidString.h"
#include "library/util/FileSystem.h"

namespace {

const wchar_t kTreePrefix[] = L"QuillbayTests-";

}  // namespace

CScratchKeyTree::CScratchKeyTree(HKEY software) : software_(software) {
    std::wstring guid;
    if (software_ == nullptr || !CreateGuidString(&guid)) return;
    name_ = kTreePrefix + guid;
    if (RegCreateKeyExW(software_, (name_ + L"\\User").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        user_.Receive(), nullptr) != ERROR_SUCCESS ||
        RegCreateKeyExW(software_, (name_ + L"\\Machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        machine_.Receive(), nullptr) != ERROR_SUCCESS) {
        user_.Reset();
        machine_.Reset();
    }
}

CScratchKeyTree::~CScratchKeyTree() {
    user_.Reset();
    machine_.Reset();
    if (!name_.empty()) RegDeleteTreeW(software_, name_.c_str());
}

CScratchRegistry::CScratchRegistry() {
    // Opened before the redirection, so the tree is made and removed in the real hive.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, software_.Receive()) != ERROR_SUCCESS) {
        return;
    }
    tree_ = std::make_unique<CScratchKeyTree>(software_.Get());
    if (!tree_->IsValid()) return;
    active_ = RegOverridePredefKey(HKEY_CURRENT_USER, tree_->User()) == ERROR_SUCCESS &&
              RegOverridePredefKey(HKEY_LOCAL_MACHINE, tree_->Machine()) == ERROR_SUCCESS;
}

CScratchRegistry::~CScratchRegistry() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    tree_.reset();
}

CScratchFolder::CScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    std::wstring guid;
    if (GetTempPathW(MAX_PATH + 1, temp) == 0 || !CreateGuidString(&guid)) return;
    // A copied or freshly made prefix may not have its temporary folder yet.
    CreateFolderTree(temp);
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
