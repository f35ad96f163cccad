#include "updater/oplogsys/ErrorLogIO.h"

#include <vector>

#include "updater/oplogsys/AnsiText.h"

namespace opLogSys {
namespace {

// The mutex is named by the file name without its folder and extension.
std::wstring MutexName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

bool WriteAll(HANDLE file, const char* bytes, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

}  // namespace

bool TrimLogFile(HANDLE file, DWORD limit) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size)) return false;
    if (size.QuadPart <= static_cast<LONGLONG>(limit)) return true;
    // A line may start at the first kept byte only after a CR LF, so read two bytes more.
    const LONGLONG firstKept = size.QuadPart - limit;
    const LONGLONG readFrom = firstKept >= 2 ? firstKept - 2 : 0;
    std::vector<char> tail(static_cast<size_t>(size.QuadPart - readFrom));
    LARGE_INTEGER position = {};
    position.QuadPart = readFrom;
    DWORD read = 0;
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) ||
        !ReadFile(file, tail.data(), static_cast<DWORD>(tail.size()), &read, nullptr) || read != tail.size())
        return false;
    size_t start = static_cast<size_t>(firstKept - readFrom);
    while (start < tail.size() && !(start >= 2 && tail[start - 2] == '\r' && tail[start - 1] == '\n')) ++start;
    const DWORD kept = static_cast<DWORD>(tail.size() - start);
    position.QuadPart = 0;
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return false;
    if (kept > 4 && !WriteAll(file, tail.data() + start, kept)) return false;
    return SetEndOfFile(file) != FALSE;
}

COutputErrorLogIO::COutputErrorLogIO(const wchar_t* path, DWORD sizeLimit, bool trim)
    : path_(path ? path : L""), mutex_(MutexName(path_)), sizeLimit_(sizeLimit), trim_(trim) {}

COutputErrorLogIO::~COutputErrorLogIO() { Close(); }

int COutputErrorLogIO::Lock() {
    mutex_.Lock();
    if (users_ == 0 && file_ == INVALID_HANDLE_VALUE && !path_.empty()) {
        file_ = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ != INVALID_HANDLE_VALUE) SetFilePointer(file_, 0, nullptr, FILE_END);
    }
    return ++users_;
}

int COutputErrorLogIO::Unlock() {
    if (users_ > 0 && --users_ == 0) Close();
    return mutex_.Unlock();
}

void COutputErrorLogIO::Close() {
    if (file_ == INVALID_HANDLE_VALUE) return;
    if (trim_) TrimLogFile(file_, sizeLimit_);
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}

int COutputErrorLogIO::Write(const wchar_t* text) {
    Lock();
    int written = 0;
    if (file_ != INVALID_HANDLE_VALUE) {
        const std::string bytes = ToAnsiLine(text);
        if (WriteAll(file_, bytes.data(), static_cast<DWORD>(bytes.size()))) written = static_cast<int>(bytes.size());
    }
    Unlock();
    return written;
}

int COutputErrorLogIO::WriteLine(const wchar_t* text) {
    Lock();
    const int written = Write(text);
    Write(L"\r\n");
    Unlock();
    return written;
}

}  // namespace opLogSys
