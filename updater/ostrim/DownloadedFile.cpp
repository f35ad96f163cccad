#include "updater/ostrim/DownloadedFile.h"

#include <shellapi.h>

#include "library/util/ScopedWin.h"

HRESULT CheckDownloadedFileSize(const wchar_t* path, uint64_t expectedBytes) {
    CScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (!file.IsValid()) return E_ACCESSDENIED;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) return E_ACCESSDENIED;
    const uint64_t actual = static_cast<uint64_t>(size.QuadPart);
    if (actual < expectedBytes) return kDownloadTooShort;
    if (actual > expectedBytes) return kDownloadTooLong;
    return S_OK;
}

HRESULT OpenWithShell(const wchar_t* file, const wchar_t* parameters) {
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", file, parameters, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) > 32) return S_OK;
    const DWORD error = GetLastError();
    if (error == ERROR_CANCELLED) return S_OK;
    // Some failures leave no last error; they are still failures.
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}
