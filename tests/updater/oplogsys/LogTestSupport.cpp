#include "tests/updater/oplogsys/LogTestSupport.h"

#include <atomic>

#include "library/util/ScopedWin.h"

#include "updater/oplogsys/FileLogFactory.h"
#include "updater/oplogsys/LogPaths.h"

namespace oplogtest {

std::wstring UniqueLogName() {
    static std::atomic<int> next{0};
    return L"TestLog" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++next);
}

opLogSys::CLogSysInfo* MakeFileConfiguration(const std::wstring& folder, int minLevel, int maxLevel) {
    auto* info = new opLogSys::CLogSysInfo();
    info->SetFactory(new opLogSys::File::COutputLogSystemFactory(folder.c_str(), true));
    info->State()->AddFilter(minLevel, maxLevel, opLogSys::GetDefaultLogName());
    return info;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + L"\\" + entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return files;
}

std::string ReadSharedFile(const std::wstring& path) {
    // Log files stay open for writing while the process runs.
    CScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    LARGE_INTEGER size = {};
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size)) return bytes;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    bytes.resize(read);
    return bytes;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    const std::string bytes = ReadSharedFile(path);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Ansi(const std::wstring& text) {
    if (text.empty()) return std::string();
    std::string bytes(text.size() * 2, '\0');
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(size > 0 ? size : 0);
    return bytes;
}

}  // namespace oplogtest
