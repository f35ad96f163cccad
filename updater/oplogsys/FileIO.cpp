#include "updater/oplogsys/FileIO.h"

#include <cwchar>

#include "updater/oplogsys/AnsiText.h"
#include "updater/oplogsys/LogPaths.h"

namespace opLogSys::File {
namespace {

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The first of "<name>[01].log" to "<name>[99].log" that does not exist; the 99th when all do.
std::wstring FreeNumberedPath(const std::wstring& path) {
    const size_t dot = path.find_last_of(L'.');
    const size_t slash = path.find_last_of(L'\\');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    const std::wstring stem = hasExtension ? path.substr(0, dot) : path;
    const std::wstring extension = hasExtension ? path.substr(dot) : std::wstring();
    std::wstring numbered;
    for (int number = 1; number <= 99; ++number) {
        wchar_t suffix[8] = {};
        std::swprintf(suffix, 8, L"[%02d]", number);
        numbered = stem + suffix + extension;
        if (!Exists(numbered)) break;
    }
    return numbered;
}

}  // namespace

CFileIO::CFileIO(const wchar_t* name, const wchar_t* location, bool autoflush)
    : location_(location ? location : L""), autoflush_(autoflush) {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    wchar_t stamp[40] = {};
    std::swprintf(stamp, 40, L"%04d-%02d-%02d [%02d-%02d-%02d]", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    path_ = ResolveFolder(location_) + (name ? name : L"") + L"-" + stamp + L".log";
}

CFileIO::~CFileIO() {
    if (file_ != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(file_);
        CloseHandle(file_);
    }
}

bool CFileIO::EnsureOpen() {
    if (file_ != INVALID_HANDLE_VALUE) return true;
    const std::wstring path = Exists(path_) ? FreeNumberedPath(path_) : path_;
    file_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                        FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return false;
    SetFilePointer(file_, 0, nullptr, FILE_END);
    openedPath_ = path;
    return true;
}

int CFileIO::WriteBytes(const wchar_t* text) {
    const std::string bytes = ToAnsiLine(text);
    DWORD written = 0;
    if (!bytes.empty() && !WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return -1;
    return static_cast<int>(written);
}

int CFileIO::Write(const wchar_t* text) {
    Common::CLockScope<Common::CCriticalSection> scope(lock_);
    if (!EnsureOpen()) return -1;
    return WriteBytes(text);
}

int CFileIO::WriteLine(const wchar_t* text) {
    Common::CLockScope<Common::CCriticalSection> scope(lock_);
    if (!EnsureOpen()) return -1;
    // The file is in the ANSI code page, so the line is too.
    const int written = WriteBytes(text);
    if (written < 0 || WriteBytes(L"\r\n") < 0) return -1;
    return written;
}

void CFileIO::Flush() {
    Common::CLockScope<Common::CCriticalSection> scope(lock_);
    if (file_ != INVALID_HANDLE_VALUE && autoflush_) FlushFileBuffers(file_);
}

}  // namespace opLogSys::File
