#include "FennicTestSupport.h"

#include <objbase.h>


#include "SimulatedGantrel.h"
#include "library/util/ScopedWin.h"
#include "updater/ostrim/FennicServiceManager.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* ServerEntry)();

HRESULT CallServerEntry(HMODULE server, const char* name) {
    FARPROC entry = GetProcAddress(server, name);
    if (!entry) return E_NOINTERFACE;
    return reinterpret_cast<ServerEntry>(reinterpret_cast<void*>(entry))();
}

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text; ++text) wide += static_cast<wchar_t>(*text);
    return wide;
}

std::wstring ProductKey() { return CFennicServiceManager::Registry().KeyPath(L""); }

}  // namespace

HMODULE CFennicSuite::s_components = nullptr;

std::wstring CFennicSuite::BesideTests(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module(path);
    return module.substr(0, module.find_last_of(L"\\/") + 1) + name;
}

void CFennicSuite::SetUpTestSuite() {
    s_components = LoadLibraryW(BesideTests(L"QbStandinFennic.dll").c_str());
    ASSERT_NE(nullptr, s_components);
    ASSERT_EQ(S_OK, CallServerEntry(s_components, "DllRegisterServer"));
}

void CFennicSuite::TearDownTestSuite() {
    if (s_components) CallServerEntry(s_components, "DllUnregisterServer");
}

void CFennicSuite::SetComponentsRegistered(bool registered) {
    EXPECT_EQ(S_OK, CallServerEntry(s_components, registered ? "DllRegisterServer" : "DllUnregisterServer"));
}

void CFennicSuite::SetUp() {
    CoInitialize(nullptr);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    m_service = L"OstrimTest" + Widen(test->name());
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_folder = std::wstring(temp) + L"ostrim_" + m_service + L"_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(m_folder.c_str(), nullptr);
    m_journal = m_folder + L"\\journal.txt";
    DeleteFileW(m_journal.c_str());
    SetEnvironmentVariableW(L"QB_FENNIC_STANDIN_LOG", m_journal.c_str());
    RemoveService(m_service);
    RemoveService(kSimulatedModelKey);
    SetScript(L"");
}

void CFennicSuite::TearDown() {
    RemoveService(m_service);
    RemoveService(kSimulatedModelKey);
    SetEnvironmentVariableW(L"QB_FENNIC_STANDIN", nullptr);
    SetEnvironmentVariableW(L"QB_FENNIC_STANDIN_LOG", nullptr);
    // The folder holds only files the components and the journal wrote.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((m_folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((m_folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(m_folder.c_str());
    CoUninitialize();
}

void CFennicSuite::SetScript(const std::wstring& script) {
    SetEnvironmentVariableW(L"QB_FENNIC_STANDIN", (script + L";dir=" + m_folder).c_str());
}

std::string CFennicSuite::Journal() const {
    CScopedHandle file(CreateFileW(m_journal.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    std::string text;
    if (!file.IsValid()) return text;
    char block[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), block, sizeof(block), &read, nullptr) && read > 0) text.append(block, read);
    return text;
}

std::wstring CFennicSuite::StatusKey(const std::wstring& service, const std::wstring& instance) {
    return std::wstring(CFennicServiceManager::kClientKey) + L"\\" + service + L"\\" + instance;
}

std::wstring CFennicSuite::ReadValue(const std::wstring& key, const wchar_t* name) {
    std::wstring value;
    if (!CFennicServiceManager::Registry().ReadString(key, name, &value)) return L"<missing>";
    return value;
}

void CFennicSuite::WriteValue(const std::wstring& key, const wchar_t* name, const wchar_t* value) {
    ASSERT_EQ(S_OK, CFennicServiceManager::Registry().WriteString(key, name, value));
}

void CFennicSuite::RemoveService(const std::wstring& service) {
    for (const wchar_t* parent : {CFennicServiceManager::kClientKey, CFennicServiceManager::kEndKey}) {
        const std::wstring key = ProductKey() + L"\\" + parent + L"\\" + service;
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    }
}
