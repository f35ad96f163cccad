#include "tests/itunes/ITunesStandinServer.h"

#include "library/itunes/SushiController.h"
#include "library/util/ModuleFolder.h"

#include <fstream>
#include <sstream>

namespace {

const wchar_t kStandinKey[] = L"Software\\Quillbay\\Standins\\iTunes";
// Generous: the machine may run every test at once.
const DWORD kProcessLimitMs = 60000;

}  // namespace

bool RunITunesStandin(const wchar_t* argument) {
    std::wstring command = L"\"" + GetModuleFolder() + L"QbStandinITunes.exe\" " + argument;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    DWORD status = 1;
    if (WaitForSingleObject(process.hProcess, kProcessLimitMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &status);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status == 0;
}

CITunesStandinServer::CITunesStandinServer(std::wstring folder) : folder_(std::move(folder)) {
    CreateDirectoryW(folder_.c_str(), nullptr);
    // Named objects are shared by every process of the prefix: the name is this process's own.
    stallEventName_ = L"QbITunesStandinStalled." + std::to_wstring(GetCurrentProcessId());
    stalled_ = CreateEventW(nullptr, TRUE, FALSE, stallEventName_.c_str());
}

CITunesStandinServer::~CITunesStandinServer() {
    if (stalled_ && WaitForSingleObject(stalled_, 0) == WAIT_OBJECT_0) KillStalledServer();
    if (stalled_) CloseHandle(stalled_);
    Unregister();
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kStandinKey);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((folder_ + L"\\" + entry.cFileName).c_str());
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder_.c_str());
}

bool CITunesStandinServer::Register() { return RunITunesStandin(L"-RegServer"); }

bool CITunesStandinServer::Unregister() { return RunITunesStandin(L"-UnregServer"); }

bool CITunesStandinServer::UseLibrary(const std::string& text) {
    const std::wstring path = folder_ + L"\\library.txt";
    {
        std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
        file << text;
        if (!file) return false;
    }
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kStandinKey, L"Library", REG_SZ, path.c_str(),
                           static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::string CITunesStandinServer::LoggedCalls() const {
    std::ifstream file(LogPath().c_str(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool CITunesStandinServer::WaitStalled(DWORD timeoutMs) {
    return stalled_ && WaitForSingleObject(stalled_, timeoutMs) == WAIT_OBJECT_0;
}

bool CITunesStandinServer::KillStalledServer() {
    DWORD id = 0;
    DWORD size = sizeof(id);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kStandinKey, L"ServerProcess", RRF_RT_REG_DWORD, nullptr, &id, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kStandinKey, L"ServerProcess");
    if (stalled_) ResetEvent(stalled_);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) return false;
    TerminateProcess(process, 3);
    const bool ended = WaitForSingleObject(process, kProcessLimitMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

std::unique_ptr<CSushiController> ConnectToStandin(const std::wstring& pictureFolder, DWORD limitMs) {
    std::unique_ptr<CSushiController> client(new CSushiController(pictureFolder));
    const DWORD start = GetTickCount();
    while (client->Open() != CSushiController::kConnected) {
        if (GetTickCount() - start >= limitMs) return nullptr;
        Sleep(200);
    }
    return client;
}
