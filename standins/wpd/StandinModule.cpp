// Entry points of the simulated player's in-process server: the COM exports that register and
// create its classes under the platform's class identifiers, and the test controls.

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/CSimulatedPlayers.h"
#include "standins/wpd/CStandinDevice.h"
#include "standins/wpd/CStandinKeyCollection.h"
#include "standins/wpd/CStandinManager.h"
#include "standins/wpd/CStandinPropVariantCollection.h"
#include "standins/wpd/CStandinValues.h"
#include "standins/wpd/WpdStandinControl.h"

#include <new>
#include <string>
#include <vector>

namespace standin {

std::atomic<long>& LiveObjectCount() {
    static std::atomic<long> count{0};
    return count;
}

LPWSTR TaskString(const wchar_t* text) {
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    LPWSTR copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (copy) CopyMemory(copy, text, bytes);
    return copy;
}

namespace {

HMODULE g_module = nullptr;

using CreateFn = HRESULT (*)(REFIID, void**);

struct ClassEntry {
    const CLSID* clsid;
    CreateFn create;
};

const ClassEntry kClasses[] = {
    {&CLSID_PortableDeviceManager, &CStandinManager::Create},
    {&CLSID_PortableDevice, &CStandinDevice::Create},
    {&CLSID_PortableDeviceValues, &CStandinValues::Create},
    {&CLSID_PortableDeviceKeyCollection, &CStandinKeyCollection::Create},
    {&CLSID_PortableDevicePropVariantCollection, &CStandinPropVariantCollection::Create},
};

class CClassFactory final : public CComObject, public IClassFactory {
public:
    explicit CClassFactory(CreateFn create) : create_(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (!result) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *result = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *result = nullptr;
        return E_NOINTERFACE;
    }
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override {
        if (!result) return E_POINTER;
        *result = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, result);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++LiveObjectCount() : --LiveObjectCount();
        return S_OK;
    }

private:
    CreateFn create_;
};

std::wstring ClassKey(const CLSID& clsid) {
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    return std::wstring(L"CLSID\\") + text;
}

}  // namespace
}  // namespace standin

using namespace standin;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    for (const ClassEntry& entry : kClasses) {
        if (!IsEqualCLSID(clsid, *entry.clsid)) continue;
        CClassFactory* factory = new (std::nothrow) CClassFactory(entry.create);
        if (!factory) return E_OUTOFMEMORY;
        HRESULT hr = factory->QueryInterface(iid, result);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return LiveObjectCount() == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return E_FAIL;
    for (const ClassEntry& entry : kClasses) {
        std::wstring key = ClassKey(*entry.clsid) + L"\\InprocServer32";
        HKEY server = nullptr;
        LONG error = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &server,
                                     nullptr);
        if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
        const wchar_t model[] = L"Both";
        error = RegSetValueExW(server, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                               (length + 1) * sizeof(wchar_t));
        if (error == ERROR_SUCCESS) {
            error = RegSetValueExW(server, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model),
                                   sizeof(model));
        }
        RegCloseKey(server);
        if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    HRESULT result = S_OK;
    for (const ClassEntry& entry : kClasses) {
        LONG error = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(*entry.clsid).c_str());
        if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) result = HRESULT_FROM_WIN32(error);
    }
    return result;
}

extern "C" HRESULT WINAPI WpdStandinAttach(LPCWSTR id, LPCWSTR friendlyName, LPCWSTR manufacturer,
                                           LPCWSTR description, LPCWSTR protocol, LPCWSTR folder,
                                           LPCWSTR storageName, ULONGLONG capacity) {
    if (!id || !friendlyName || !manufacturer || !description || !protocol || !folder || !storageName) {
        return E_POINTER;
    }
    SimDeviceConfig config{id, friendlyName, manufacturer, description, protocol, folder, storageName, capacity};
    return CSimulatedPlayers::Instance().Attach(config);
}

extern "C" HRESULT WINAPI WpdStandinDetach(LPCWSTR id) {
    if (!id) return E_POINTER;
    return CSimulatedPlayers::Instance().Detach(id);
}

extern "C" void WINAPI WpdStandinReset() { CSimulatedPlayers::Instance().Reset(); }

extern "C" void WINAPI WpdStandinArmFault(int fault, LONG nthCall, HRESULT failure) {
    if (fault < kWpdFaultOpen || fault > kWpdFaultDiskFull) return;
    CSimulatedPlayers::Instance().ArmFault(static_cast<Fault>(fault), nthCall, failure);
}

extern "C" HRESULT WINAPI WpdStandinSetVendor(LPCWSTR id, LPCWSTR extensionDescription, const WORD* opcodes,
                                              DWORD opcodeCount, const BYTE* deviceInfo, DWORD deviceInfoSize,
                                              DWORD responseCode) {
    if (!id || !extensionDescription || (!opcodes && opcodeCount) || (!deviceInfo && deviceInfoSize)) {
        return E_POINTER;
    }
    SimVendorConfig vendor;
    vendor.extensionDescription = extensionDescription;
    vendor.opcodes.assign(opcodes, opcodes + opcodeCount);
    vendor.deviceInfo.assign(deviceInfo, deviceInfo + deviceInfoSize);
    vendor.responseCode = responseCode;
    return CSimulatedPlayers::Instance().SetVendor(id, vendor);
}

extern "C" DWORD WINAPI WpdStandinOperations(LPCWSTR id, DWORD (*entries)[3], DWORD capacity) {
    if (!id) return 0;
    std::vector<SimOperation> operations = CSimulatedPlayers::Instance().Operations(id);
    for (DWORD i = 0; entries && i < capacity && i < operations.size(); ++i) {
        const SimOperation& operation = operations[i];
        entries[i][0] = operation.opcode;
        entries[i][1] = operation.params.size() > 0 ? operation.params[0] : 0;
        entries[i][2] = operation.params.size() > 1 ? operation.params[1] : 0;
    }
    return static_cast<DWORD>(operations.size());
}
