#include "tests/installer/InstallerTestSupport.h"

#include "library/content/GuidString.h"
#include "library/util/ScopedWin.h"

std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

CInstallerRun::CInstallerRun(const wchar_t* program, const wchar_t* startedName) {
    if (folder_.Path().empty()) return;
    const std::wstring source = TestProgramFolder();
    program_ = folder_.Join(program);
    recordFile_ = folder_.Join(L"recorded.txt");
    valid_ = CopyFileW((source + program).c_str(), program_.c_str(), FALSE) &&
             CopyFileW((source + L"record_command_line.exe").c_str(), folder_.Join(startedName).c_str(), FALSE);
}

DWORD CInstallerRun::Run(const std::wstring& arguments) {
    CScopedHandle process(Start(arguments));
    DWORD code = ~0u;
    if (process.IsValid() && WaitForSingleObject(process.Get(), 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.Get(), &code);
    return code;
}

HANDLE CInstallerRun::Start(const std::wstring& arguments) {
    SetEnvironmentVariableW(L"QB_RECORD_FILE", recordFile_.c_str());
    std::wstring commandLine = L"\"" + program_ + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.Path().c_str(), &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

std::wstring CInstallerRun::Recorded(DWORD waitMs) {
    const DWORD start = GetTickCount();
    std::string bytes;
    do {
        if (ReadWholeFile(recordFile_, &bytes) && !bytes.empty()) break;
        Sleep(50);
    } while (GetTickCount() - start < waitMs);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

namespace {

bool SetDefaultValue(const std::wstring& key, const std::wstring& value) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExW(created, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(created);
    return result == ERROR_SUCCESS;
}

}  // namespace

CFileTypeRegistration::CFileTypeRegistration(const std::wstring& program) {
    std::wstring guid;
    if (!CreateGuidString(&guid)) return;
    const std::wstring unique = guid.substr(0, 8);
    extension_ = L".qb" + unique;
    className_ = L"QuillbayTestType" + unique;
    valid_ = SetDefaultValue(L"Software\\Classes\\" + extension_, className_) &&
             SetDefaultValue(L"Software\\Classes\\" + className_ + L"\\shell\\open\\command",
                             L"\"" + program + L"\" \"%1\"");
}

CFileTypeRegistration::~CFileTypeRegistration() {
    if (!extension_.empty()) RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + extension_).c_str());
    if (!className_.empty()) RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + className_).c_str());
}
