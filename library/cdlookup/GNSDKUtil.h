#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "library/cdlookup/CddbSdkInterfaces.h"

// The CD-lookup SDK of one worker thread: its four modules loaded by path from the program folder,
// the control object with the client registered, and the two objects the lookup uses. Everything
// is released in reverse order by ShutdownLookup and the destructor.
class CGNSDKUtil {
public:
    enum ModuleIndex { kControl = 0, kUi = 1, kMusicId = 2, kLink = 3, kModuleCount = 4 };

    struct CModule {
        HMODULE handle = nullptr;
        DllGetObjectFn getObject = nullptr;
        DllGetClassObjectFn getClassObject = nullptr;
    };

    // What one lookup brought back.
    struct CLookupResult {
        std::wstring learntIdentifier;  // set when the file was identified
        std::vector<BYTE> data;
        std::vector<BYTE> picture;
    };

    CGNSDKUtil() = default;
    ~CGNSDKUtil();
    CGNSDKUtil(const CGNSDKUtil&) = delete;
    CGNSDKUtil& operator=(const CGNSDKUtil&) = delete;

    // A negative HRESULT when the SDK cannot be set up; what was set up stays until shut down.
    HRESULT InitializeLookup(const std::wstring& programFolder, const std::wstring& dataFolder,
                             const std::wstring& proxyHost, long proxyPort);
    void ShutdownLookup();

    HRESULT LoadSdkModules(const std::wstring& folder);
    static HRESULT CreateObjectFromModule(REFCLSID classId, const CModule* modules, REFIID interfaceId,
                                          void** object);

    // Identifies the file when lookupId is empty, else fetches the stored identifier's match; asks
    // for the data block and the picture as wanted. S_FALSE when nothing matched.
    HRESULT Lookup(const std::wstring& filePath, const std::wstring& lookupId, bool wantData, bool wantPicture,
                   CLookupResult* result);

private:
    void UnloadModules();

    CModule modules_[kModuleCount];
    ICddbControl* control_ = nullptr;
    ICddbMusicId* musicId_ = nullptr;
    ICddbLink* link_ = nullptr;
    bool started_ = false;
};
