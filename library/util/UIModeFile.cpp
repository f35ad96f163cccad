#include "library/util/UIModeFile.h"

#include <windows.h>

#include <string>

#include "library/util/DataFolders.h"
#include "library/util/ScopedWin.h"

namespace {

std::wstring UIModePath() {
    const std::wstring folder = GetCommonDataFolder();
    if (folder.empty()) return std::wstring();
    return folder + (folder.back() == L'\\' ? L"" : L"\\") + L"TNUIMode.dat";
}

}  // namespace

int ReadUIMode() { return ReadUIModeFile(UIModePath()); }

int ReadUIModeFile(const std::wstring& path) {
    if (path.empty()) return 0;
    CScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return 0;
    // The first line only: three bytes are enough to tell "2" from "2\r" or "22".
    char head[3] = {};
    DWORD read = 0;
    if (!ReadFile(file.Get(), head, sizeof(head), &read, nullptr) || read == 0) return 0;
    if (head[0] < '0' || head[0] > '2') return 0;
    if (read > 1 && head[1] != '\r' && head[1] != '\n') return 0;
    return head[0] - '0';
}

bool WriteUIMode() {
    const std::wstring path = UIModePath();
    if (path.empty()) return false;
    CScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    DWORD written = 0;
    return file.IsValid() && WriteFile(file.Get(), "2", 1, &written, nullptr) && written == 1;
}
