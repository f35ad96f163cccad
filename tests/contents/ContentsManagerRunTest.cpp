#include <gtest/gtest.h>

#include <algorithm>

#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "tests/contents/ContentsTestSupport.h"

#include <shlobj.h>
#include <winioctl.h>

namespace {

TEST(ContentsManagerReset, ResetDuringBlockedEnumerationReturnsOnceBothWorkersAreIdle) {
    ContentsFixture fixture;
    fixture.client->blockInEnumerate = true;
    CTestDataObject data;
    data.SetMarker(L"iTunesObjectList");
    data.SetFiles({L"C:\\iTunes\\a.m4a"});
    fixture.manager.HandleDrop(&data);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(fixture.client->enteredEnumerate, 10000));
    fixture.manager.Cancel();
    fixture.manager.Reset();
    // The enumeration was cancelled and the manager accepts and works again.
    EXPECT_FALSE(fixture.manager.IsCancelled());
    fixture.client->blockInEnumerate = false;
    fixture.manager.SetAnnouncedCount(0);
    CTestDataObject next;
    next.SetFiles({L"C:\\music\\b.mp3"});
    fixture.manager.HandleDrop(&next);
    EXPECT_TRUE(WaitFor([&] { return fixture.sink.Count() == 1; }));
}

TEST(ContentsManagerReset, ResetAnswersAWorkerThatSendsToTheUiThread) {
    ContentsFixture fixture;
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    HANDLE sending = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    fixture.coordinator.onDeviceRequest = [&] {
        SetEvent(sending);
        SendMessageW(window, WM_NULL, 0, 0);
    };
    CTestDataObject data;
    data.SetFiles({L"C:\\music\\a.mp3"});
    fixture.manager.HandleDrop(&data);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sending, 10000));
    // The worker now waits inside SendMessageW for this thread; a plain wait would never end.
    fixture.manager.Reset();
    EXPECT_TRUE(fixture.WaitAccounted());
    fixture.coordinator.onDeviceRequest = nullptr;
    CloseHandle(sending);
    DestroyWindow(window);
}

TEST(ContentsManagerAutomation, KindsRaiseTheAnnouncedCountAsTheyShould) {
    ContentsFixture fixture;
    fixture.client->selections = {{L"Mix", 2}};
    fixture.client->readable = {{L"Mix", 2}};
    fixture.manager.AddTransferRequest(2, L"", 5);
    EXPECT_EQ(5, fixture.manager.GetAnnouncedCount());
    fixture.manager.AddTransferRequest(7, L"xxMix", 0);
    EXPECT_EQ(7, fixture.manager.GetAnnouncedCount());
    fixture.manager.AddTransferRequest(7, L"Nothing", 0);
    EXPECT_EQ(7, fixture.manager.GetAnnouncedCount());
    EXPECT_EQ(1, fixture.coordinator.ends.load());
    EXPECT_TRUE(WaitFor([&] { return fixture.sink.Count() == 2; }));
}

TEST(ContentsManagerAutomation, OutOfRangePrefixGoesToListA) {
    ContentsFixture fixture;
    fixture.manager.AddTransferRequest(2, L"", 3);
    const int32_t prefixes[] = {-1, 9, 1000000};
    for (int32_t prefix : prefixes) fixture.manager.AddTransferRequest(1, L"C:\\a.mp3", prefix);
    EXPECT_TRUE(WaitFor([&] { return fixture.coordinator.itemsDone.load() == 3; }));
    EXPECT_EQ(3u, fixture.manager.GetReportListA().size());
    EXPECT_EQ(0u, fixture.sink.Count());
}

TEST(ContentsManagerAutomation, KindFourteenDeletesSourcesOnlyBelowTheWizardCache) {
    ContentsFixture fixture;
    const std::wstring cache = GetUserDataFolder() + L"HVX_Cache\\";
    const std::wstring cached = cache + L"song.mp3";
    const std::wstring own = L"C:\\Users\\me\\Music\\song.mp3";
    const std::wstring escaping = cache + L"..\\..\\song.mp3";
    const std::wstring escapingSlash = cache + L"../../song.mp3";
    fixture.manager.AddTransferRequest(14, cached, int32_t(cache.size()));
    fixture.manager.AddTransferRequest(14, own, 18);
    fixture.manager.AddTransferRequest(14, escaping, int32_t(cache.size()));
    fixture.manager.AddTransferRequest(14, escapingSlash, int32_t(cache.size()));
    ASSERT_TRUE(WaitFor([&] { return fixture.sink.Count() == 4; }));
    for (const auto& arrival : fixture.sink.Arrivals()) {
        SCOPED_TRACE(arrival.sourcePath);
        EXPECT_EQ(1, arrival.replaceExisting);
        EXPECT_EQ(arrival.sourcePath == cached ? 1 : 0, arrival.deleteSource);
    }
}

TEST(ContentsManagerLists, ListsKeepOrderAndClearApart) {
    ContentsFixture fixture;
    // A script announces its files with kind 2 before it sends them.
    fixture.manager.AddTransferRequest(2, L"", 2);
    fixture.manager.AddTransferRequest(1, L"C:\\1.mp3", 99);
    fixture.manager.AddTransferRequest(1, L"C:\\2.mp3", 99);
    fixture.client->selections = {{L"Gone", 1}};
    fixture.manager.AddTransferRequest(7, L"Gone", 0);
    ASSERT_TRUE(fixture.WaitAccounted());
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\1.mp3", L"C:\\2.mp3"}), fixture.manager.GetReportListA());
    fixture.manager.ClearReportListA();
    EXPECT_TRUE(fixture.manager.GetReportListA().empty());
    EXPECT_EQ(std::vector<std::wstring>{L"Gone"}, fixture.manager.GetReportListD());
}

// Hostile drops: everything announced is accounted for, nothing crashes or hangs.
TEST(ContentsManagerHostile, HundredThousandFilesAreAllAccounted) {
    ContentsFixture fixture;
    std::vector<std::wstring> paths;
    for (int i = 0; i < 100000; ++i) paths.push_back(L"C:\\many\\" + std::to_wstring(i) + L".mp3");
    CTestDataObject data;
    data.SetFiles(paths);
    EXPECT_EQ(1, fixture.manager.HandleDrop(&data));
    EXPECT_EQ(100000, fixture.manager.GetAnnouncedCount());
    ASSERT_TRUE(fixture.WaitAccounted(120000));
    EXPECT_EQ(100000u, fixture.sink.Count());
}

TEST(ContentsManagerHostile, ReservedCharactersAndLongPaths) {
    const std::wstring root = MakeTempFolder(L"hostile");
    // A folder chain far past MAX_PATH, created through the long-path prefix.
    std::wstring deep = root + L"\\Deep";
    for (int i = 0; i < 30; ++i) deep += L"\\folder_with_a_long_name_" + std::to_wstring(i);
    ASSERT_TRUE(CreateFolderTree(AddLongPathPrefix(deep)));
    ASSERT_TRUE(WriteEmptyFile(deep + L"\\deep.mp3"));
    ASSERT_GT(deep.size(), 600u);
    {
        ContentsFixture fixture;
        CTestDataObject data;
        data.SetFiles({root + L"\\Deep", L"C:\\odd\\a<b>|c?.mp3", L"C:\\odd\\CON", L"\\\\?\\C:\\x\\..\\..\\y.mp3", L"relative.mp3"});
        fixture.manager.HandleDrop(&data);
        ASSERT_TRUE(fixture.WaitAnnouncedAndAccounted(5));
        EXPECT_EQ(5, fixture.manager.GetAnnouncedCount());
        for (const auto& arrival : fixture.sink.Arrivals()) {
            EXPECT_EQ(std::wstring::npos, arrival.relativePath.find_first_of(L"<>|?*\""));
            EXPECT_NE(deep + L"\\deep.mp3", arrival.sourcePath);
        }
        // Found below the dropped folder, but no player's path can hold it: refused, not lost.
        const std::vector<std::wstring> refused = fixture.manager.GetReportListA();
        EXPECT_NE(refused.end(), std::find(refused.begin(), refused.end(), deep + L"\\deep.mp3"));
    }
    RemoveTree(root);
}

TEST(ContentsManagerHostile, LyingFileListBlocksAreReadWithinTheirSize) {
    struct Case {
        const char* name;
        DWORD offset;
        std::wstring list;  // without the list's own end
        int32_t announced;
    } cases[] = {
        {"offset past the block", 100000, L"C:\\a.mp3", 0},
        {"offset inside the header", 4, L"C:\\a.mp3", 0},
        {"no terminators at all", sizeof(DROPFILES), L"C:\\a.mp3", 1},
        {"empty list", sizeof(DROPFILES), L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ContentsFixture fixture;
        DROPFILES header = {};
        header.pFiles = c.offset;
        header.fWide = TRUE;
        std::string block(reinterpret_cast<const char*>(&header), sizeof(header));
        block.append(reinterpret_cast<const char*>(c.list.data()), c.list.size() * sizeof(wchar_t));
        CTestDataObject data;
        data.SetBytes(CF_HDROP, block.data(), block.size());
        EXPECT_EQ(1, fixture.manager.HandleDrop(&data));
        ASSERT_TRUE(fixture.WaitAnnouncedAndAccounted(c.announced));
        EXPECT_EQ(c.announced, fixture.manager.GetAnnouncedCount());
    }
}

// Makes `link` a junction to `target`; false where the file system cannot.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    HANDLE handle = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const std::wstring substitute = L"\\??\\" + target;
    std::vector<BYTE> buffer(sizeof(DWORD) + 2 * sizeof(WORD) + 4 * sizeof(WORD) +
                             (substitute.size() + target.size() + 2) * sizeof(wchar_t));
    BYTE* p = buffer.data();
    const WORD substituteBytes = WORD(substitute.size() * 2), printBytes = WORD(target.size() * 2);
    const WORD dataLength = WORD(buffer.size() - 8);
    *reinterpret_cast<DWORD*>(p) = IO_REPARSE_TAG_MOUNT_POINT;
    *reinterpret_cast<WORD*>(p + 4) = dataLength;
    WORD* fields = reinterpret_cast<WORD*>(p + 8);
    fields[0] = 0;
    fields[1] = substituteBytes;
    fields[2] = WORD(substituteBytes + 2);
    fields[3] = printBytes;
    wchar_t* names = reinterpret_cast<wchar_t*>(p + 16);
    memcpy(names, substitute.c_str(), substituteBytes + 2);
    memcpy(names + substitute.size() + 1, target.c_str(), printBytes + 2);
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, p, DWORD(buffer.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(handle);
    return ok != FALSE;
}

TEST(ContentsManagerHostile, JunctionLoopEndsAndIsAccounted) {
    const std::wstring root = MakeTempFolder(L"loop");
    ASSERT_TRUE(WriteEmptyFile(root + L"\\a.mp3"));
    if (!MakeJunction(root + L"\\loop", root)) {
        RemoveDirectoryW((root + L"\\loop").c_str());
        if (!CreateSymbolicLinkW((root + L"\\loop").c_str(), root.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
            RemoveTree(root);
            GTEST_SKIP() << "Wine 8 creates neither junctions (FSCTL_SET_REPARSE_POINT) nor symbolic links";
        }
    }
    {
        ContentsFixture fixture;
        CTestDataObject data;
        data.SetFiles({root});
        fixture.manager.HandleDrop(&data);
        ASSERT_TRUE(fixture.WaitAnnouncedAndAccounted(1, 60000));
        // The file below the loop is sent once, not once per turn of the loop.
        EXPECT_EQ(1, fixture.manager.GetAnnouncedCount());
        std::vector<std::wstring> found;
        fixture.manager.SetScanningForWalk(true);
        std::vector<std::wstring> previous;
        fixture.manager.ScanFolder(root, &found, true, &previous, 0);
        EXPECT_EQ(std::vector<std::wstring>{root + L"\\a.mp3"}, found);
    }
    RemoveDirectoryW((root + L"\\loop").c_str());
    RemoveTree(root);
}

}  // namespace
