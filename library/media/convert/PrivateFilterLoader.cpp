#include "library/media/convert/PrivateFilterLoader.h"

#include <set>

#include "library/util/ModuleFolder.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFn)(REFCLSID, REFIID, void**);

// One load reference per module, however many objects were made from it.
class CLoadedModuleSet {
public:
    ~CLoadedModuleSet() { UnloadAll(); }
    bool Contains(HMODULE module) const { return modules_.count(module) != 0; }
    void Insert(HMODULE module) { modules_.insert(module); }
    void Unload(HMODULE module) {
        if (modules_.erase(module) != 0) FreeLibrary(module);
    }
    void UnloadAll() {
        for (HMODULE module : modules_) FreeLibrary(module);
        modules_.clear();
    }
    std::vector<HMODULE> Modules() const { return std::vector<HMODULE>(modules_.begin(), modules_.end()); }

private:
    std::set<HMODULE> modules_;
};

CLoadedModuleSet g_loadedModules;

}  // namespace

HRESULT LoadPrivateComServer(const std::wstring& fileName, REFCLSID clsid, REFIID iid, void** object) {
    const std::wstring folder = GetModuleFolder();
    if (folder.empty()) return E_FAIL;
    const std::wstring path = folder + fileName;
    // Libraries the server itself needs are looked for beside it first.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) return E_FAIL;
    return CreateFromModule(clsid, iid, object, module);
}

HRESULT CreateFromModule(REFCLSID clsid, REFIID iid, void** object, HMODULE module) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // A module found again gives back the caller's extra reference; objects made from it
    // earlier may still be alive, so only a module this call brought in is unloaded on failure.
    const bool loadedHere = !g_loadedModules.Contains(module);
    if (loadedHere) {
        g_loadedModules.Insert(module);
    } else {
        FreeLibrary(module);
    }
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (getClassObject == nullptr) {
        if (loadedHere) UnloadPrivateComServer(module);
        return E_FAIL;
    }
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) {
        if (loadedHere) UnloadPrivateComServer(module);
        return hr;
    }
    hr = factory->CreateInstance(nullptr, iid, object);
    factory->Release();
    if (FAILED(hr) && loadedHere) UnloadPrivateComServer(module);
    return hr;
}

void UnloadPrivateComServer(HMODULE module) { g_loadedModules.Unload(module); }

void UnloadAllPrivateComServers() { g_loadedModules.UnloadAll(); }

std::vector<HMODULE> LoadedPrivateComServers() { return g_loadedModules.Modules(); }
