#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"
#include "library/util/ShellFolders.h"
#include "library/util/SystemSettings.h"
#include "tests/util/UtilTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

bool EndsWith(const std::wstring& text, const std::wstring& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

TEST(FoldersTest, DataFoldersLieBelowTheShellsApplicationDataFolders) {
    CScratchRegistry registry;
    ASSERT_TRUE(registry.IsActive());
    const std::wstring user = GetUserDataFolder();
    EXPECT_EQ(GetShellFolder(CSIDL_APPDATA) + L"\\Tavrel Corporation\\Quillbay\\", user);
    EXPECT_FALSE(GetShellFolder(CSIDL_APPDATA).empty());
    EXPECT_EQ(GetShellFolder(CSIDL_COMMON_APPDATA) + L"\\Tavrel Corporation\\Quillbay\\", GetCommonDataFolder());

    EXPECT_EQ(user, GetDeviceDataFolder());
    ASSERT_TRUE(SetCurrentDevId(L"054c_0123_SER"));
    EXPECT_EQ(user + L"054c_0123_SER\\", GetDeviceDataFolder());
}

TEST(FoldersTest, MediaFoldersAddTheirSuffixToTheShellFolders) {
    const std::wstring music = GetMyMusicFolder();
    const std::wstring videos = GetMyVideosFolder();
    const std::wstring documents = GetMyDocumentsFolder();
    EXPECT_EQ(GetShellFolder(CSIDL_MYMUSIC), music);
    EXPECT_EQ(GetShellFolder(CSIDL_MYVIDEO), videos);
    EXPECT_EQ(GetShellFolder(CSIDL_PERSONAL), documents);
    EXPECT_FALSE(music.empty());
    EXPECT_NE(L'\\', music.back());

    const std::wstring podcastsRu = L"\\iTunes\\iTunes Music\\\u041F\u043E\u0434\u043A\u0430\u0441\u0442\u044B";
    EXPECT_EQ(music + L"\\iTunes\\iTunes Music", GetITunesMusicFolder());
    EXPECT_EQ(music + L"\\iTunes\\iTunes Media\\Music", GetITunesMediaMusicFolder());
    EXPECT_EQ(music + L"\\iTunes\\iTunes Music\\Podcast", GetITunesMusicPodcastFolder());
    EXPECT_EQ(music + L"\\iTunes\\iTunes Media\\Podcast", GetITunesMediaPodcastFolder());
    EXPECT_EQ(music + L"\\iTunes\\iTunes Music\\Podcasts", GetITunesMusicPodcastsFolder());
    EXPECT_EQ(music + L"\\iTunes\\iTunes Media\\Podcasts", GetITunesMediaPodcastsFolder());
    EXPECT_EQ(music + podcastsRu, GetITunesMusicPodcastsRuFolder());
    EXPECT_TRUE(EndsWith(GetITunesMediaPodcastsRuFolder(), L"\\iTunes\\iTunes Media\\\u041F\u043E\u0434\u043A\u0430\u0441\u0442\u044B"));
    EXPECT_EQ(music + L"\\RSS Media", GetMyMusicRssMediaFolder());
    EXPECT_EQ(videos + L"\\RSS Media", GetMyVideosRssMediaFolder());
    EXPECT_EQ(documents + L"\\My Podcasts", GetMyPodcastsFolder());
    EXPECT_EQ(L"", GetShellFolder(0x7F));
}

TEST(FoldersTest, OlderApplicationFoldersLoseTheirTrailingBackslashes) {
    CScratchRegistry registry;
    ASSERT_TRUE(registry.IsActive());
    EXPECT_EQ(L"", GetDunmarshJukeboxFolder());
    auto put = [&](const wchar_t* key, const std::wstring& value) {
        HKEY handle = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExW(registry.Machine(), key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr));
        RegSetValueExW(handle, L"PackageRootDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    };
    put(L"SOFTWARE\\Tavrel Corporation\\Dunmarsh Jukebox\\Database", L"D:\\Jukebox\\\\");
    put(L"SOFTWARE\\Tavrel Corporation\\Tavrel Brightwell\\Database", L"E:\\Bright");
    put(L"SOFTWARE\\Tavrel Corporation\\Pavolin Port\\Merrowlyn\\Database", L"F:\\M\\");
    EXPECT_EQ(L"D:\\Jukebox", GetDunmarshJukeboxFolder());
    EXPECT_EQ(L"E:\\Bright", GetBrightwellFolder());
    EXPECT_EQ(L"F:\\M", GetMerrowlynFolder());
    EXPECT_EQ(L"F:\\M\\", ReadMerrowlynRoot());
}

TEST(FoldersTest, ProxyIsSplitAtItsFirstColon) {
    CScratchRegistry registry;
    ASSERT_TRUE(registry.IsActive());
    const wchar_t kInternet[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    bool enabled = true;
    std::wstring host = L"old";
    long port = 1;
    EXPECT_FALSE(GetSystemProxy(&enabled, &host, &port));
    EXPECT_FALSE(enabled);

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(registry.User(), kInternet, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr));
    auto putServer = [&](const std::wstring& server) {
        RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    };
    DWORD on = 1;
    RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof(on));
    putServer(L"proxy.example:8080:extra");
    EXPECT_TRUE(GetSystemProxy(&enabled, &host, &port));
    EXPECT_TRUE(enabled);
    EXPECT_EQ(L"proxy.example", host);
    EXPECT_EQ(8080, port);

    putServer(L"no-port-here");
    host = L"old";
    EXPECT_FALSE(GetSystemProxy(&enabled, &host, &port));
    EXPECT_TRUE(enabled);
    EXPECT_EQ(L"old", host);
    RegCloseKey(key);
}

TEST(FoldersTest, DetectorEntryIsWrittenToTheMachinesRunKey) {
    CScratchRegistry registry;
    ASSERT_TRUE(registry.IsActive());
    const std::wstring path = L"C:\\Program Files\\Quillbay\\QuillbayDetector.exe";
    ASSERT_TRUE(WriteDetectorRunEntry(path));
    wchar_t stored[MAX_PATH] = {};
    DWORD size = sizeof(stored);
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(registry.Machine(), L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                          L"QuillbayDetector.exe", RRF_RT_REG_SZ, nullptr, stored, &size));
    EXPECT_EQ(path, stored);
    EXPECT_EQ((path.size() + 1) * sizeof(wchar_t), size);
}

}  // namespace

namespace {

TEST(FoldersTest, ClearUserDataFolderDeletesWorkFilesAndEmptiedFoldersOnlyWhenAsked) {
    CScratchRegistry registry;
    ASSERT_TRUE(registry.IsActive());
    CScratchFolder appData;
    ASSERT_FALSE(appData.Path().empty());
    // Point this user's application-data folder at the scratch folder.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(registry.User(), L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                              0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const std::wstring& path = appData.Path();
    RegSetValueExW(key, L"AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (GetShellFolder(CSIDL_APPDATA) != path) GTEST_SKIP() << "the shell does not follow User Shell Folders here";

    const std::wstring data = L"Tavrel Corporation\\Quillbay\\";
    ASSERT_TRUE(appData.WriteFile(data + L"report.txt", "x"));
    ASSERT_TRUE(appData.WriteFile(data + L"Quillbay.ini", "x"));
    ASSERT_TRUE(appData.WriteFile(data + L"054c_0123_S\\DevIcon.fil", "x"));
    ASSERT_TRUE(appData.WriteFile(data + L"Tavrel_Automotive\\MOOD.ZEP", "x"));
    ASSERT_TRUE(appData.WriteFile(data + L"Tavrel_Automotive\\keep.bin", "x"));
    auto exists = [&](const std::wstring& relative) { return PathExists(appData.Join(data + relative)); };

    ClearUserDataFolder(false);
    EXPECT_FALSE(exists(L"report.txt"));
    EXPECT_TRUE(exists(L"Quillbay.ini"));
    EXPECT_TRUE(exists(L"054c_0123_S\\DevIcon.fil"));

    ClearUserDataFolder(true);
    EXPECT_FALSE(exists(L"054c_0123_S"));
    EXPECT_FALSE(exists(L"Tavrel_Automotive\\MOOD.ZEP"));
    EXPECT_TRUE(exists(L"Tavrel_Automotive\\keep.bin"));
    EXPECT_TRUE(exists(L"Quillbay.ini"));
}

}  // namespace
