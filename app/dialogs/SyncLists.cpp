#include "app/dialogs/SyncLists.h"

#include <windows.h>

#include "library/util/DataFolders.h"
#include "library/util/ScopedWin.h"
#include "library/util/TextConversion.h"

namespace {

const wchar_t* KindSuffix(int kind) {
    switch (kind) {
        case 0: return L"Music.dat";
        case 2: return L"Movie.dat";
        case 3: return L"Pcast.dat";
        default: return nullptr;
    }
}

std::wstring ListFile(const wchar_t* stem, int kind) {
    const wchar_t* suffix = KindSuffix(kind);
    if (suffix == nullptr) return std::wstring();
    return GetDeviceDataFolder() + stem + suffix;
}

// A path as one line of the file; false when it cannot be one.
bool EncodeLine(const std::wstring& path, std::string* line) {
    if (path.empty() || path.find_first_of(L"\r\n") != std::wstring::npos) return false;
    if (!WideToUtf8(path, line)) return false;
    line->append("\r\n");
    return true;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

std::wstring GetSyncPathListFile(int kind) { return ListFile(L"SyncPath", kind); }
std::wstring GetSyncFileListFile(int kind) { return ListFile(L"SyncFileList", kind); }

void ParseListBytes(const std::string& bytes, std::vector<std::wstring>* paths) {
    size_t lineStart = 0;
    for (;;) {
        const size_t end = bytes.find("\r\n", lineStart);
        if (end == std::string::npos) return;
        const std::string line = bytes.substr(lineStart, end - lineStart);
        lineStart = end + 2;
        std::wstring path;
        if (line.empty() || line.find('\0') != std::string::npos) continue;
        if (Utf8ToWide(line, &path) && !path.empty()) paths->push_back(path);
    }
}

bool ReadListFile(const std::wstring& file, std::vector<std::wstring>* paths) {
    paths->clear();
    if (file.empty()) return false;
    // Read-only and shared: a list that is read-only or open elsewhere is still read.
    CScopedHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.IsValid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(handle.Get(), chunk, sizeof(chunk), &read, nullptr)) return false;
        if (read == 0) break;
        bytes.append(chunk, read);
        // Parse what is complete so far, so a huge list never sits in memory twice.
        const size_t lastBreak = bytes.rfind("\r\n");
        if (lastBreak != std::string::npos) {
            ParseListBytes(bytes.substr(0, lastBreak + 2), paths);
            bytes.erase(0, lastBreak + 2);
        }
    }
    return true;
}

bool AppendListLine(const std::wstring& file, const std::wstring& path, bool flush) {
    std::string line;
    if (file.empty() || !EncodeLine(path, &line) || !CreateDeviceDataFolder()) return false;
    CScopedHandle handle(CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.IsValid() || !WriteAll(handle.Get(), line)) return false;
    return !flush || FlushFileBuffers(handle.Get());
}

namespace {

bool ResetListFile(const std::wstring& file) {
    if (file.empty() || !CreateDeviceDataFolder()) return false;
    if (!DeleteFileW(file.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    CScopedHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
    return handle.IsValid();
}

}  // namespace

bool AppendSyncPathLine(int kind, const std::wstring& path) {
    return AppendListLine(GetSyncPathListFile(kind), path, false);
}

bool AppendSyncPathLines(int kind, const std::vector<std::wstring>& paths) {
    bool all = true;
    for (const std::wstring& path : paths) all = AppendSyncPathLine(kind, path) && all;
    return all;
}

bool ResetSyncPathList(int kind) { return ResetListFile(GetSyncPathListFile(kind)); }

bool ReplaceSyncPathList(int kind, const std::vector<std::wstring>& paths) {
    const std::wstring file = GetSyncPathListFile(kind);
    if (file.empty() || !CreateDeviceDataFolder()) return false;
    // A list the user made read-only stays as it is.
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    std::string bytes;
    for (const std::wstring& path : paths) {
        std::string line;
        if (EncodeLine(path, &line)) bytes += line;
    }
    const std::wstring fresh = file + L".new";
    {
        CScopedHandle handle(CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.IsValid()) return false;
        if (!WriteAll(handle.Get(), bytes) || !FlushFileBuffers(handle.Get())) {
            handle.Reset();
            DeleteFileW(fresh.c_str());
            return false;
        }
    }
    if (MoveFileExW(fresh.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(fresh.c_str());
    return false;
}

bool ReadSyncPathList(int kind, std::vector<std::wstring>* paths) {
    return ReadListFile(GetSyncPathListFile(kind), paths);
}

bool AppendSyncFileListLine(int kind, const std::wstring& path) {
    return AppendListLine(GetSyncFileListFile(kind), path, true);
}

bool ReadSyncFileList(int kind, std::vector<std::wstring>* paths) {
    return ReadListFile(GetSyncFileListFile(kind), paths);
}

bool ResetSyncFileList(int kind) { return ResetListFile(GetSyncFileListFile(kind)); }
