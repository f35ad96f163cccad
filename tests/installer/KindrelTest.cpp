#include <gtest/gtest.h>

#include "installer/kindrel/RefusalText.h"
#include "library/util/ScopedWin.h"
#include "tests/installer/InstallerTestSupport.h"

namespace {

// Wine reports the Windows version that HKCU\Software\Wine\AppDefaults\<program> names.
class CWineVersion {
public:
    explicit CWineVersion(const wchar_t* version) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        valid_ = RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                                static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~CWineVersion() { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    bool IsValid() const { return valid_; }

private:
    static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\Kindrel.exe";
    bool valid_ = false;
};

class KindrelTest : public ::testing::Test {
protected:
    CInstallerRun run_{L"Kindrel.exe", L"Launcher.exe"};
};

}  // namespace

TEST(KindrelTextTest, RefusalTextIsStoredInTheJapaneseCodePage) {
    const wchar_t text[] =
        L"\x304A\x8CB7\x3044\x4E0A\x3052\x306E\x201C\x30C8\x30EB\x30CD\x30EB\x201D\x306F\x3001\x304A\x4F7F\x3044\x306E"
        L" OS \x3067\x306F\x3054\x5229\x7528\x306B\x306A\x308C\x307E\x305B\x3093\x3002\n"
        L"\x30B5\x30DD\x30FC\x30C8\x3059\x308B OS \x60C5\x5831\x306B\x3064\x3044\x3066\x306F\x53D6\x6271\x8AAC\x660E"
        L"\x66F8\x306A\x3069\x3067\x3054\x78BA\x8A8D\x304F\x3060\x3055\x3044\x3002";
    char expected[512] = {};
    const int length = WideCharToMultiByte(932, 0, text, -1, expected, sizeof(expected), nullptr, nullptr);
    ASSERT_GT(length, 1);
    EXPECT_EQ(std::string(expected), std::string(kRefusalTextCp932));
}

TEST_F(KindrelTest, WindowsXpStartsTheLauncher) {
    ASSERT_TRUE(run_.IsValid());
    CWineVersion version(L"winxp");
    ASSERT_TRUE(version.IsValid());
    EXPECT_EQ(0u, run_.Run(L""));
    EXPECT_NE(run_.Recorded(10000).find(L"Launcher.exe"), std::wstring::npos);
}

TEST_F(KindrelTest, MissingLauncherEndsSilently) {
    ASSERT_TRUE(run_.IsValid());
    CWineVersion version(L"winxp");
    ASSERT_TRUE(DeleteFileW(run_.Folder().Join(L"Launcher.exe").c_str()));
    EXPECT_EQ(0u, run_.Run(L""));
    EXPECT_EQ(L"", run_.Recorded(300));
}

TEST_F(KindrelTest, Windows2000GetsTheRefusalAndNothingStarts) {
    ASSERT_TRUE(run_.IsValid());
    CWineVersion version(L"win2k");
    ASSERT_TRUE(version.IsValid());
    // The refusal is a modal message box: find it, close it, and the program ends.
    HANDLE process = run_.Start(L"");
    ASSERT_NE(nullptr, process);
    CScopedHandle owned(process);
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i) {
        box = FindWindowW(nullptr, L"Software Setup");
        if (!box) Sleep(50);
    }
    ASSERT_NE(nullptr, box) << "no refusal shown";
    PostMessageW(box, WM_CLOSE, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    EXPECT_EQ(L"", run_.Recorded(300));
}
