#include "tests/wpd/WpdStandinSupport.h"

#include "library/util/FileSystem.h"



namespace {

template <class T>
T Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

CScratchFolder::CScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    wchar_t name[64];
    wsprintfW(name, L"qbwpd%lu_%ld_%lu", GetCurrentProcessId(), InterlockedIncrement(&counter), GetTickCount());
    path_ = std::wstring(temp) + name;
    CreateFolderTree(path_);
}

CScratchFolder::~CScratchFolder() { RemoveTree(path_); }

std::wstring CScratchFolder::WriteFile(const std::wstring& relativePath, const std::string& bytes) const {
    std::wstring full = path_ + L"\\" + relativePath;
    size_t slash = full.rfind(L'\\');
    CreateFolderTree(full.substr(0, slash));
    HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    return full;
}

std::wstring CScratchFolder::MakeFolder(const std::wstring& relativePath) const {
    std::wstring full = path_ + L"\\" + relativePath;
    CreateFolderTree(full);
    return full;
}

std::string ReadWholeFile(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

CWpdStandin::~CWpdStandin() {
    if (!module_) return;
    if (reset_) reset_();
    Unregister();
    FreeLibrary(module_);
}

HRESULT CWpdStandin::Install() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.rfind(L'\\') + 1);
    module_ = LoadLibraryW((folder + WPD_STANDIN_MODULE).c_str());
    if (!module_) return HRESULT_FROM_WIN32(GetLastError());
    attach_ = Resolve<WpdStandinAttachFn>(module_, "WpdStandinAttach");
    detach_ = Resolve<WpdStandinDetachFn>(module_, "WpdStandinDetach");
    reset_ = Resolve<WpdStandinResetFn>(module_, "WpdStandinReset");
    armFault_ = Resolve<WpdStandinArmFaultFn>(module_, "WpdStandinArmFault");
    if (!attach_ || !detach_ || !reset_ || !armFault_) return E_NOINTERFACE;
    reset_();
    return Register();
}

HRESULT CWpdStandin::Register() {
    auto registerServer = Resolve<HRESULT(WINAPI*)()>(module_, "DllRegisterServer");
    if (!registerServer) return E_NOINTERFACE;
    HRESULT hr = registerServer();
    registered_ = SUCCEEDED(hr);
    return hr;
}

HRESULT CWpdStandin::Unregister() {
    if (!registered_) return S_FALSE;
    auto unregisterServer = Resolve<HRESULT(WINAPI*)()>(module_, "DllUnregisterServer");
    if (!unregisterServer) return E_NOINTERFACE;
    registered_ = false;
    return unregisterServer();
}

HRESULT CWpdStandin::Attach(const std::wstring& id, const std::wstring& friendlyName, const std::wstring& folder,
                            uint64_t capacity, const std::wstring& protocol, const std::wstring& description) {
    return attach_(id.c_str(), friendlyName.c_str(), L"Tavrel", description.c_str(), protocol.c_str(),
                   folder.c_str(), L"Internal Storage", capacity);
}

HRESULT CWpdStandin::Detach(const std::wstring& id) { return detach_(id.c_str()); }

void CWpdStandin::ArmFault(WpdStandinFault fault, LONG nthCall, HRESULT failure) {
    armFault_(fault, nthCall, failure);
}

void CWpdStandin::Reset() { reset_(); }
