// The two server files as their callers meet them: class objects by identifier, the unload
// answer, the property page, and self-registration through regsvr32.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "filters/tembric/ITembricResult.h"
#include "filters/vandle/VandleIds.h"
#include "library/util/ScopedWin.h"
#include "tests/filters/FilterTestSupport.h"
#include "tests/support/WindowCapture.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFn)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* CanUnloadNowFn)();

class CServerFile {
public:
    explicit CServerFile(const wchar_t* name)
        : module_(LoadLibraryExW((ProgramFolder() + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {}
    ~CServerFile() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    bool Loaded() const { return module_ != nullptr; }
    HMODULE Module() const { return module_; }
    HRESULT Create(REFCLSID clsid, REFIID iid, void** object) {
        auto get = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        if (get == nullptr) return E_FAIL;
        IClassFactory* factory = nullptr;
        HRESULT hr = get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
        if (FAILED(hr)) return hr;
        hr = factory->CreateInstance(nullptr, iid, object);
        factory->Release();
        return hr;
    }
    HRESULT CanUnloadNow() {
        auto can = reinterpret_cast<CanUnloadNowFn>(reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
        return can != nullptr ? can() : E_FAIL;
    }

private:
    HMODULE module_;
};

TEST(FilterServerTest, EachServerMakesItsFiltersAndNothingElse) {
    CComThread com;
    CServerFile tembric(L"Tembric.ax");
    CServerFile vandle(L"Vandle.ax");
    ASSERT_TRUE(tembric.Loaded());
    ASSERT_TRUE(vandle.Loaded());
    for (const char* name : {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"}) {
        EXPECT_NE(nullptr, GetProcAddress(GetModuleHandleW(L"Tembric.ax"), name)) << name;
        EXPECT_NE(nullptr, GetProcAddress(GetModuleHandleW(L"Vandle.ax"), name)) << name;
    }

    IBaseFilter* detector = nullptr;
    ASSERT_EQ(S_OK, tembric.Create(CLSID_Tembric, IID_IBaseFilter, reinterpret_cast<void**>(&detector)));
    EXPECT_EQ(S_FALSE, tembric.CanUnloadNow());
    ITembricResult* result = nullptr;
    ASSERT_EQ(S_OK, detector->QueryInterface(IID_ITembricResult, reinterpret_cast<void**>(&result)));
    HRESULT verdict = E_UNEXPECTED;
    EXPECT_EQ(S_OK, result->GetResult(&verdict));
    EXPECT_EQ(S_FALSE, verdict);
    result->Release();
    detector->Release();
    EXPECT_EQ(S_OK, tembric.CanUnloadNow());

    IBaseFilter* orrick = nullptr;
    ASSERT_EQ(S_OK, vandle.Create(CLSID_Orrick, IID_IBaseFilter, reinterpret_cast<void**>(&orrick)));
    CLSID clsid = {};
    EXPECT_EQ(S_OK, orrick->GetClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_Orrick, clsid));
    orrick->Release();

    void* none = nullptr;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, tembric.Create(CLSID_Orrick, IID_IBaseFilter, &none));
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, vandle.Create(CLSID_Tembric, IID_IBaseFilter, &none));
}

// A page site that counts the dirty reports.
class CCountingSite : public IPropertyPageSite {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPageSite)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD flags) override {
        if (flags & PROPPAGESTATUS_DIRTY) ++dirtyReports;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetLocaleID(LCID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }
    int dirtyReports = 0;
};

TEST(FilterServerTest, ThePropertyPageShowsItsTextAndTracksDirtiness) {
    CComThread com;
    CServerFile vandle(L"Vandle.ax");
    IPropertyPage* page = nullptr;
    ASSERT_EQ(S_OK, vandle.Create(CLSID_OrrickProperties, IID_IPropertyPage, reinterpret_cast<void**>(&page)));
    PROPPAGEINFO info = {};
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    EXPECT_STREQ(L"Orrick Filter", info.pszTitle);
    EXPECT_GT(info.size.cx, 0);
    CoTaskMemFree(info.pszTitle);

    CCountingSite site;
    ASSERT_EQ(S_OK, page->SetPageSite(&site));
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    RECT area = {0, 0, 500, 200};
    ASSERT_EQ(S_OK, page->Activate(parent, &area, FALSE));
    HWND dialog = GetWindow(parent, GW_CHILD);
    ASSERT_NE(nullptr, dialog);
    ASSERT_EQ(S_OK, page->Show(SW_SHOW));
    ShowWindow(parent, SW_SHOW);
    UpdateWindow(parent);
    CWindowCapture capture;
    ASSERT_TRUE(capture.Capture(parent));
    EXPECT_FALSE(capture.LooksBlank());
    EXPECT_TRUE(capture.SavePng(ScreenshotPath(L"OrrickPage")));
    wchar_t text[64] = {};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM found) CALLBACK -> BOOL {
            GetWindowTextW(child, reinterpret_cast<wchar_t*>(found), 64);
            return reinterpret_cast<wchar_t*>(found)[0] == 0;
        },
        reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(L"VideoInfo and Color space Transform", text);
    HWND list = GetDlgItem(dialog, 1001);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(0, SendMessageW(list, LB_GETCOUNT, 0, 0));

    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1001, 2), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1001, 1), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(S_OK, page->IsPageDirty());
    EXPECT_EQ(1, site.dirtyReports);
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    EXPECT_EQ(S_OK, page->Deactivate());
    page->SetPageSite(nullptr);
    page->Release();
    DestroyWindow(parent);
}

// Reads a dialog template (DLGTEMPLATE form) field by field, never past its end.
class CTemplateReader {
public:
    CTemplateReader(const BYTE* bytes, size_t size) : bytes_(bytes), size_(size) {}
    bool Ok() const { return ok_; }
    template <typename T>
    T Read() {
        T value = {};
        if (sizeof(T) > size_ - offset_) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, bytes_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    std::wstring Text() {
        std::wstring text;
        for (wchar_t c = Read<wchar_t>(); ok_ && c != 0; c = Read<wchar_t>()) text += c;
        return text;
    }
    // A class or title field: an ordinal (0xFFFF, then the value) or a string.
    std::wstring NameOrOrdinal() {
        const size_t at = offset_;
        if (Read<WORD>() == 0xFFFF) return L"#" + std::to_wstring(Read<WORD>());
        offset_ = at;
        return Text();
    }
    void AlignToDword() { offset_ = offset_ + 3 < size_ ? (offset_ + 3) & ~size_t(3) : size_; }

private:
    const BYTE* bytes_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

TEST(FilterServerTest, ThePageDialogAndTitleComeFromTheServersResources) {
    CServerFile vandle(L"Vandle.ax");
    ASSERT_TRUE(vandle.Loaded());
    wchar_t title[32] = {};
    EXPECT_EQ(13, LoadStringW(vandle.Module(), 102, title, ARRAYSIZE(title)));
    EXPECT_STREQ(L"Orrick Filter", title);

    HRSRC found = FindResourceW(vandle.Module(), MAKEINTRESOURCEW(101), RT_DIALOG);
    ASSERT_NE(nullptr, found);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(vandle.Module(), found)));
    ASSERT_NE(nullptr, bytes);
    CTemplateReader reader(bytes, SizeofResource(vandle.Module(), found));
    const DLGTEMPLATE dialog = reader.Read<DLGTEMPLATE>();
    EXPECT_EQ(DWORD(DS_SETFONT | DS_CONTROL | WS_CHILD), dialog.style & ~DWORD(DS_3DLOOK));
    EXPECT_EQ(2, dialog.cdit);
    EXPECT_EQ(262, dialog.cx);
    EXPECT_EQ(86, dialog.cy);
    EXPECT_EQ(L"", reader.NameOrOrdinal());  // no menu
    EXPECT_EQ(L"", reader.NameOrOrdinal());  // the dialog class
    EXPECT_EQ(L"", reader.NameOrOrdinal());  // no caption
    EXPECT_EQ(8, reader.Read<WORD>());
    EXPECT_EQ(L"MS Shell Dlg", reader.Text());

    struct Item {
        WORD id;
        const wchar_t* windowClass;
        const wchar_t* text;
    };
    const Item expected[] = {{0xFFFF, L"#130", L"VideoInfo and Color space Transform"}, {1001, L"#131", L""}};
    for (const Item& item : expected) {
        reader.AlignToDword();
        const DLGITEMTEMPLATE control = reader.Read<DLGITEMTEMPLATE>();
        EXPECT_EQ(item.id, control.id);
        EXPECT_EQ(item.windowClass, reader.NameOrOrdinal());
        EXPECT_EQ(item.text, reader.NameOrOrdinal());
        EXPECT_EQ(0, reader.Read<WORD>());  // no creation data
    }
    EXPECT_TRUE(reader.Ok());
}

DWORD RunRegsvr32(const std::wstring& arguments) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + system + L"\\regsvr32.exe\" /s " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return GetLastError() | 0x80000000u;
    }
    CScopedHandle processHandle(process.hProcess);
    CScopedHandle threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

std::wstring ServerPath(REFCLSID clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    const std::wstring key = std::wstring(L"CLSID\\") + text + L"\\InprocServer32";
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"";
    return value;
}

bool InFilterCategory(REFCLSID clsid) {
    wchar_t category[40] = {};
    wchar_t filter[40] = {};
    StringFromGUID2(CLSID_LegacyAmFilterCategory, category, 40);
    StringFromGUID2(clsid, filter, 40);
    const std::wstring key = std::wstring(L"CLSID\\") + category + L"\\Instance\\" + filter;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

TEST(FilterServerTest, Regsvr32RegistersAndRemovesBothServers) {
    struct Server {
        const wchar_t* file;
        std::vector<const CLSID*> classes;
        const CLSID* filter;
    };
    const Server servers[] = {
        {L"Tembric.ax", {&CLSID_Tembric}, &CLSID_Tembric},
        {L"Vandle.ax", {&CLSID_Orrick, &CLSID_OrrickProperties}, &CLSID_Orrick},
    };
    for (const Server& server : servers) {
        const std::wstring path = ProgramFolder() + server.file;
        ASSERT_EQ(0u, RunRegsvr32(L"\"" + path + L"\"")) << server.file;
        for (const CLSID* clsid : server.classes) {
            EXPECT_EQ(0, _wcsicmp(path.c_str(), ServerPath(*clsid).c_str())) << server.file;
        }
        EXPECT_TRUE(InFilterCategory(*server.filter)) << server.file;
        ASSERT_EQ(0u, RunRegsvr32(L"/u \"" + path + L"\"")) << server.file;
        for (const CLSID* clsid : server.classes) EXPECT_EQ(L"", ServerPath(*clsid)) << server.file;
        EXPECT_FALSE(InFilterCategory(*server.filter)) << server.file;
    }
}

}  // namespace
