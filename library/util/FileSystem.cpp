#include "library/util/FileSystem.h"

#include "library/util/TextConversion.h"

#include <windows.h>

namespace {

// Folder trees below this depth are not followed: a junction loop must not recurse forever.
constexpr int kMaxFolderDepth = 64;

bool IsDotEntry(const wchar_t* name) { return lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0; }

bool IsDriveRootOfKnownType(const std::wstring& path) {
    if (path.size() != 3 || path.compare(1, 2, L":\\") != 0) return false;
    UINT type = GetDriveTypeW(path.c_str());
    return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
}

bool ReadAttributes(const std::wstring& path, DWORD* attributes) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    *attributes = data.dwFileAttributes;
    return true;
}

// folder + "\" + name, without doubling a separator the folder already ends in.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
    return folder + L"\\" + name;
}

bool EndsWith(const std::wstring& text, const wchar_t* suffix) {
    const size_t length = wcslen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

bool IsCachedFileName(const std::wstring& name) {
    static const wchar_t* const kCachedSuffixes[] = {L".jpg", L".png", L".fil", L".txt", L".thm",
                                                     L".opml", L".zel", L".dat", L".wmv", L".ZEP"};
    for (const wchar_t* suffix : kCachedSuffixes) {
        if (EndsWith(name, suffix)) return true;
    }
    return false;
}

class CScopedFind {
public:
    CScopedFind(const std::wstring& pattern, WIN32_FIND_DATAW* data)
        : handle_(FindFirstFileW(pattern.c_str(), data)) {}
    ~CScopedFind() {
        if (IsValid()) FindClose(handle_);
    }
    CScopedFind(const CScopedFind&) = delete;
    CScopedFind& operator=(const CScopedFind&) = delete;
    bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW* data) { return FindNextFileW(handle_, data) != FALSE; }

private:
    HANDLE handle_;
};

void EnumFilesBelow(const std::wstring& folder, std::vector<std::wstring>* files, bool includeHidden, int depth) {
    if (depth > kMaxFolderDepth) return;
    WIN32_FIND_DATAW data = {};
    CScopedFind find(JoinPath(AddLongPathPrefix(folder), L"*.*"), &data);
    if (!find.IsValid()) return;
    do {
        if (IsDotEntry(data.cFileName)) continue;
        const std::wstring path = JoinPath(folder, data.cFileName);
        if (!includeHidden && (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0) continue;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            EnumFilesBelow(path, files, includeHidden, depth + 1);
        } else {
            files->push_back(path);
        }
    } while (find.Next(&data));
}

void DeleteCachedFilesBelow(const std::wstring& folder, bool removeFolders, bool recurse, int depth) {
    if (depth > kMaxFolderDepth) return;
    WIN32_FIND_DATAW data = {};
    CScopedFind find(JoinPath(folder, L"*.*"), &data);
    if (!find.IsValid()) return;
    do {
        if (IsDotEntry(data.cFileName)) continue;
        const std::wstring path = JoinPath(folder, data.cFileName);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (!recurse) continue;
            DeleteCachedFilesBelow(path, removeFolders, recurse, depth + 1);
            if (removeFolders) RemoveDirectoryW(path.c_str());
        } else if (IsCachedFileName(path)) {
            DeleteFileW(path.c_str());
        }
    } while (find.Next(&data));
}

void DeleteFolderContentsBelow(const std::wstring& folder, int depth) {
    if (depth > kMaxFolderDepth) return;
    WIN32_FIND_DATAW data = {};
    CScopedFind find(JoinPath(folder, L"*.*"), &data);
    if (!find.IsValid()) return;
    do {
        if (IsDotEntry(data.cFileName)) continue;
        const std::wstring path = JoinPath(folder, data.cFileName);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        // A reparse point is removed as a link; what it points to is not ours.
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            DeleteFolderContentsBelow(path, depth + 1);
            RemoveDirectoryW(path.c_str());
        } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveDirectoryW(path.c_str());
        } else {
            DeleteFileW(path.c_str());
        }
    } while (find.Next(&data));
}

}  // namespace

void DeleteFolderContents(const std::wstring& folder, bool removeFolder) {
    if (folder.empty()) return;
    DeleteFolderContentsBelow(folder, 0);
    if (removeFolder) RemoveDirectoryW(folder.c_str());
}

bool CreateFolderTree(const std::wstring& path) {
    if (path.empty()) return false;
    if (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0) return false;
    if (!CreateFolderTree(path.substr(0, slash))) return false;
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool PathExists(const std::wstring& path) {
    DWORD attributes = 0;
    return ReadAttributes(path, &attributes) || IsDriveRootOfKnownType(path);
}

bool FolderExists(const std::wstring& path) {
    DWORD attributes = 0;
    if (ReadAttributes(path, &attributes)) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return IsDriveRootOfKnownType(path);
}

std::wstring AddLongPathPrefix(const std::wstring& path) {
    if (path.compare(0, 2, L"\\\\") == 0) return path;
    // The prefix turns off the API's path parsing, so only a full "X:\" path may carry it; a
    // relative path with it would name nothing.
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\') return path;
    return L"\\\\?\\" + path;
}

void EnumFilesRecursive(const std::wstring& folder, std::vector<std::wstring>* files, bool includeHidden) {
    if (files == nullptr || folder.empty()) return;
    EnumFilesBelow(folder, files, includeHidden, 0);
}

void DeleteCachedFiles(const std::wstring& folder, bool removeFolders, bool recurse) {
    if (folder.empty()) return;
    DeleteCachedFilesBelow(folder, removeFolders, recurse, 0);
}

void SanitizeFileName(std::wstring* name) {
    if (name == nullptr) return;
    const size_t dot = name->find_last_of(L'.');
    if (dot == std::wstring::npos) {
        ReplaceReservedChars(name);
        return;
    }
    std::wstring stem = name->substr(0, dot);
    std::wstring extension = name->substr(dot + 1);
    ReplaceReservedChars(&stem);
    ReplaceReservedChars(&extension);
    *name = stem + L"." + extension;
}

std::wstring GetFileNameFromPath(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

uint32_t GetFileLength(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow;
}

std::wstring RenameFile(const std::wstring& from, const std::wstring& to) {
    if (!MoveFileW(from.c_str(), to.c_str())) return std::wstring();
    return from;
}
