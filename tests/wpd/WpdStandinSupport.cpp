#include "tests/wpd/WpdStandinSupport.h"

#include "library/util/FileSystem.h"
#include "library/util/ScopedCom.h"
#include "platform/wpd/PortableDevice.h"

#include <vector>



namespace {

template <class T>
T Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::string ReadObjectData(IPortableDeviceContent* content, const std::wstring& objectId) {
    CScopedComPtr<IPortableDeviceResources> resources;
    CScopedComPtr<IStream> stream;
    DWORD optimal = 0;
    if (FAILED(content->Transfer(resources.Receive())) ||
        FAILED(resources->GetStream(objectId.c_str(), WPD_RESOURCE_DEFAULT, STGM_READ, &optimal, stream.Receive())) ||
        optimal == 0) {
        return "<unreadable>";
    }
    std::string bytes;
    std::vector<char> buffer(optimal);
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(buffer.data(), optimal, &read)) && read > 0) bytes.append(buffer.data(), read);
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
    setVendor_ = Resolve<WpdStandinSetVendorFn>(module_, "WpdStandinSetVendor");
    operations_ = Resolve<WpdStandinOperationsFn>(module_, "WpdStandinOperations");
    if (!attach_ || !detach_ || !reset_ || !armFault_ || !setVendor_ || !operations_) return E_NOINTERFACE;
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

HRESULT CWpdStandin::SetVendor(const std::wstring& id, const std::wstring& extensionDescription,
                               const std::vector<WORD>& opcodes, const std::vector<BYTE>& deviceInfo,
                               DWORD responseCode) {
    return setVendor_(id.c_str(), extensionDescription.c_str(), opcodes.data(), static_cast<DWORD>(opcodes.size()),
                      deviceInfo.data(), static_cast<DWORD>(deviceInfo.size()), responseCode);
}

std::vector<std::array<DWORD, 3>> CWpdStandin::Operations(const std::wstring& id) {
    const DWORD count = operations_(id.c_str(), nullptr, 0);
    std::vector<std::array<DWORD, 3>> entries(count);
    if (count > 0) {
        operations_(id.c_str(), reinterpret_cast<DWORD(*)[3]>(entries.data()), count);
    }
    return entries;
}

void CWpdStandin::ArmFault(WpdStandinFault fault, LONG nthCall, HRESULT failure) {
    armFault_(fault, nthCall, failure);
}

void CWpdStandin::Reset() { reset_(); }
