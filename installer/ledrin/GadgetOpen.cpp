#include "installer/ledrin/GadgetOpen.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>

DWORD OpenGadgetFile(const wchar_t* path) {
    if (!path) return ERROR_INVALID_PARAMETER;
    if (!PathFileExistsW(path)) return ERROR_FILE_NOT_FOUND;
    wchar_t parameters[kMaxHandlerParameters] = {};
    // A cut path would open another file (or none): refuse it instead.
    const int length = std::swprintf(parameters, kMaxHandlerParameters, L"url.dll,FileProtocolHandler %ls", path);
    if (length < 0 || static_cast<size_t>(length) >= kMaxHandlerParameters) return ERROR_FILENAME_EXCED_RANGE;

    SHELLEXECUTEINFOW execute = {};
    static_assert(sizeof(void*) != 4 || sizeof(execute) == 60, "the 32-bit structure is 60 bytes");
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"open";
    execute.lpFile = L"rundll32.exe";
    execute.lpParameters = parameters;
    execute.nShow = SW_HIDE;
    if (ShellExecuteExW(&execute)) return 0;
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(execute.hInstApp) & 0xFFFF);
}
