#include "platform/com/CServerRegistration.h"

#include "library/util/ScopedWin.h"

#include <gtest/gtest.h>

namespace {

const CLSID kClass = {0x3f9a1c70, 0x2b4d, 0x4e8f, {0xa1, 0x05, 0x9c, 0x7e, 0x21, 0x44, 0x6d, 0x01}};
const GUID kAppId = {0x3f9a1c70, 0x2b4d, 0x4e8f, {0xa1, 0x05, 0x9c, 0x7e, 0x21, 0x44, 0x6d, 0x02}};
const ServerClassInfo kClasses[] = {
    {&kClass, L"Quillbay.RegistrationTest.1", L"Quillbay.RegistrationTest", L"Registration test class"},
};

bool HasKey(const std::wstring& subKey) {
    CScopedRegKey key;
    std::wstring path = L"Software\\Classes\\" + subKey;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

std::wstring Value(const std::wstring& subKey, const wchar_t* name = nullptr) {
    wchar_t text[MAX_PATH];
    DWORD bytes = sizeof(text);
    std::wstring path = L"Software\\Classes\\" + subKey;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, path.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

}  // namespace

TEST(ServerRegistration, WritesAndRemovesEveryEntryOfALocalServer) {
    const std::wstring clsid = CServerRegistration::GuidText(kClass);
    const std::wstring appId = CServerRegistration::GuidText(kAppId);
    const std::wstring classKey = L"CLSID\\" + clsid;
    ServerInfo info = {ServerInfo::Kind::LocalServer, &kAppId, L"Registration test", nullptr, kClasses, 1, false};
    CServerRegistration registration(info, L"C:\\Program Files\\Quillbay\\RegTest.exe");
    ASSERT_EQ(S_OK, registration.Register());

    EXPECT_EQ(L"Registration test class", Value(classKey));
    EXPECT_EQ(L"\"C:\\Program Files\\Quillbay\\RegTest.exe\"", Value(classKey + L"\\LocalServer32"));
    EXPECT_EQ(L"Quillbay.RegistrationTest.1", Value(classKey + L"\\ProgID"));
    EXPECT_EQ(L"Quillbay.RegistrationTest", Value(classKey + L"\\VersionIndependentProgID"));
    EXPECT_TRUE(HasKey(classKey + L"\\Programmable"));
    EXPECT_EQ(appId, Value(classKey, L"AppID"));
    EXPECT_FALSE(HasKey(classKey + L"\\TypeLib"));
    EXPECT_FALSE(HasKey(classKey + L"\\InprocServer32"));
    EXPECT_EQ(clsid, Value(L"Quillbay.RegistrationTest.1\\CLSID"));
    EXPECT_EQ(clsid, Value(L"Quillbay.RegistrationTest\\CLSID"));
    EXPECT_EQ(L"Quillbay.RegistrationTest.1", Value(L"Quillbay.RegistrationTest\\CurVer"));
    EXPECT_EQ(L"Registration test", Value(L"AppID\\" + appId));
    EXPECT_EQ(appId, Value(L"AppID\\RegTest.exe", L"AppID"));

    ASSERT_EQ(S_OK, registration.Unregister());
    for (const std::wstring& key : {classKey, std::wstring(L"Quillbay.RegistrationTest.1"),
                                    std::wstring(L"Quillbay.RegistrationTest"), L"AppID\\" + appId,
                                    std::wstring(L"AppID\\RegTest.exe")}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(HasKey(key));
    }
    EXPECT_TRUE(HasKey(L"CLSID"));
    EXPECT_TRUE(HasKey(L"AppID"));
    // Removing what is already gone succeeds.
    EXPECT_EQ(S_OK, registration.Unregister());
}

TEST(ServerRegistration, AnInProcessServerNamesItsFileAndThreadingModel) {
    const std::wstring classKey = L"CLSID\\" + CServerRegistration::GuidText(kClass);
    ServerInfo info = {ServerInfo::Kind::InprocServer, nullptr, nullptr, L"Both", kClasses, 1, false};
    CServerRegistration registration(info, L"C:\\Program Files\\Quillbay\\RegTest.dll");
    ASSERT_EQ(S_OK, registration.Register());
    // An in-process path is never quoted: the loader takes the value as one file name.
    EXPECT_EQ(L"C:\\Program Files\\Quillbay\\RegTest.dll", Value(classKey + L"\\InprocServer32"));
    EXPECT_EQ(L"Both", Value(classKey + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_FALSE(HasKey(classKey + L"\\LocalServer32"));
    EXPECT_EQ(L"<missing>", Value(classKey, L"AppID"));
    ASSERT_EQ(S_OK, registration.Unregister());
    EXPECT_FALSE(HasKey(classKey));
}
