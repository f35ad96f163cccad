// Appends its command line (UTF-16) and a line feed to the file that QB_RECORD_FILE names.
#include <windows.h>

int wmain() {
    wchar_t path[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"QB_RECORD_FILE", path, MAX_PATH)) return 1;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    const wchar_t* line = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
    WriteFile(file, L"\n", sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return 0;
}
