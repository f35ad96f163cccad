#pragma once
// The registry entries of a COM server (its classes, ProgIDs, AppID and type library), written by
// -RegServer or DllRegisterServer and removed by -UnregServer or DllUnregisterServer. Everything
// goes under HKLM\Software\Classes: Wine does not read classes from the user's hive.

#include <windows.h>

#include <string>

struct ServerClassInfo {
    const CLSID* clsid;
    const wchar_t* progId;                    // "Maker.Class.1"
    const wchar_t* versionIndependentProgId;  // "Maker.Class"
    const wchar_t* description;
};

struct ServerInfo {
    enum class Kind { LocalServer, InprocServer };
    Kind kind;
    const GUID* appId;              // local servers; null for none
    const wchar_t* appName;         // the AppID key's default value
    const wchar_t* threadingModel;  // in-process servers
    const ServerClassInfo* classes;
    size_t classCount;
    bool hasTypeLib;  // the module holds its type library as resource TYPELIB 1
};

class CServerRegistration {
public:
    CServerRegistration(const ServerInfo& info, std::wstring modulePath);

    // Writes every entry; stops at the first failure and returns it.
    HRESULT Register();
    // Removes every entry this server writes; entries already gone are no failure. The roots
    // (CLSID, AppID, TypeLib) stay.
    HRESULT Unregister();

    // The LocalServer32 command: the path, quoted when it holds a space, so that COM does not
    // start a program named by the path's first word.
    static std::wstring LocalServerCommand(const std::wstring& path);
    static std::wstring GuidText(const GUID& guid);

private:
    HRESULT RegisterCoclass(const ServerClassInfo& entry, const std::wstring& libId);
    HRESULT RegisterAppId();
    HRESULT RegisterTypeLibrary(std::wstring* libId);
    HRESULT UnregisterTypeLibrary();
    std::wstring ModuleFileName() const;

    ServerInfo info_;
    std::wstring modulePath_;
};
