#include <gtest/gtest.h>

#include "library/contents/DragSource.h"
#include "library/util/FileSystem.h"
#include "tests/contents/ContentsTestSupport.h"

namespace {

TEST(ContentsManagerDrop, DroppedFolderGivesOneRequestPerFileWithTheFolderPrefix) {
    const std::wstring root = MakeTempFolder(L"folderdrop");
    const std::wstring album = root + L"\\Album";
    ASSERT_TRUE(CreateFolderTree(album + L"\\Disc 2"));
    ASSERT_TRUE(WriteEmptyFile(album + L"\\01.mp3"));
    ASSERT_TRUE(WriteEmptyFile(album + L"\\02.mp3"));
    ASSERT_TRUE(WriteEmptyFile(album + L"\\Disc 2\\01.mp3"));
    ASSERT_TRUE(WriteEmptyFile(root + L"\\single.mp3"));
    {
        ContentsFixture fixture;
        fixture.coordinator.onPlayer.insert(album + L"\\02.mp3");
        CTestDataObject data;
        data.SetFiles({album, root + L"\\single.mp3"});
        EXPECT_EQ(1, fixture.manager.HandleDrop(&data));
        ASSERT_TRUE(fixture.WaitAnnouncedAndAccounted(4));
        EXPECT_EQ(4, fixture.manager.GetAnnouncedCount());
        EXPECT_EQ(1, fixture.coordinator.itemsDone.load());
        std::set<std::wstring> relative;
        for (const auto& arrival : fixture.sink.Arrivals()) relative.insert(arrival.relativePath);
        EXPECT_EQ((std::set<std::wstring>{L"Album\\01.mp3", L"Album\\Disc 2\\01.mp3", L"single.mp3"}), relative);
        EXPECT_EQ(std::vector<std::wstring>{album + L"\\02.mp3"}, fixture.manager.GetReportListB());
    }
    RemoveTree(root);
}

TEST(ContentsManagerDrop, NoDataObjectReturnsZeroAndResetsProgressOnlyWhenIdle) {
    ContentsFixture fixture;
    EXPECT_EQ(0, fixture.manager.HandleDrop(nullptr));
    EXPECT_EQ(1, fixture.coordinator.progressResets.load());
    fixture.coordinator.busy = true;
    EXPECT_EQ(0, fixture.manager.HandleDrop(nullptr));
    EXPECT_EQ(1, fixture.coordinator.progressResets.load());
}

TEST(ContentsManagerDrop, DropWhileCancelledReturnsOneAndPostsNothing) {
    ContentsFixture fixture;
    fixture.manager.Cancel();
    CTestDataObject data;
    data.SetFiles({L"C:\\music\\a.mp3"});
    EXPECT_EQ(1, fixture.manager.HandleDrop(&data));
    Sleep(100);
    EXPECT_EQ(0, fixture.manager.GetAnnouncedCount());
    EXPECT_EQ(0u, fixture.sink.Count());
}

TEST(ContentsManagerDrop, ITunesTextAndFilesStoresTheListNameBeforeTheFileRequests) {
    ContentsFixture fixture;
    fixture.client->library = {L"C:\\iTunes\\a.m4a", L"C:\\iTunes\\b.m4a"};
    CTestDataObject data;
    data.SetMarker(L"iTunesObjectList");
    data.SetText(L"Road Trip");
    data.SetFiles({L"C:\\iTunes\\a.m4a", L"C:\\iTunes\\b.m4a", L"C:\\iTunes\\gone.m4a"});
    EXPECT_EQ(1, fixture.manager.HandleDrop(&data));
    ASSERT_TRUE(fixture.WaitAnnouncedAndAccounted(3));
    // One kind-4 request: one enumeration with the stored name and all three parked paths.
    ASSERT_EQ(1u, fixture.client->enumeratedNames.size());
    EXPECT_EQ(L"Road Trip", fixture.client->enumeratedNames[0]);
    EXPECT_EQ(3u, fixture.client->enumeratedPaths[0].size());
    EXPECT_EQ(3, fixture.manager.GetAnnouncedCount());
    EXPECT_EQ(2u, fixture.sink.Count());
    // The path iTunes did not know leaves the run as done.
    EXPECT_EQ(1, fixture.coordinator.itemsDone.load());
}

TEST(ContentsManagerDrop, FailedITunesConnectReportsEveryAnnouncedItemDone) {
    ContentsFixture fixture;
    fixture.client->connects = false;
    CTestDataObject data;
    data.SetMarker(L"iTunesObjectList");
    data.SetFiles({L"C:\\iTunes\\a.m4a", L"C:\\iTunes\\b.m4a"});
    fixture.manager.HandleDrop(&data);
    ASSERT_TRUE(fixture.WaitAnnouncedAndAccounted(2));
    EXPECT_EQ(2, fixture.coordinator.itemsDone.load());
    EXPECT_TRUE(fixture.client->enumeratedNames.empty());
}

TEST(ContentsManagerDrop, ITunesSelectionByListNameBlock) {
    struct Case {
        const char* name;
        std::string block;
        int32_t tracks;  // announced; 0 when the drop must queue nothing
    };
    std::wstring named = L"??Party";  // two leading characters the library does not know
    std::string withName(12, '\x01');
    withName.append(reinterpret_cast<const char*>(named.c_str()), (named.size() + 1) * 2);
    std::string unterminated(12, '\x01');
    unterminated.append(reinterpret_cast<const char*>(L"Party"), 10);
    const Case cases[] = {
        {"name 12 bytes in, shortened by two", withName, 3},
        {"no terminator: bounded by the block", unterminated, 3},
        {"block of exactly 12 bytes", std::string(12, '\x01'), 0},
        {"block shorter than the header", std::string(5, '\x01'), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ContentsFixture fixture;
        fixture.client->selections = {{L"Party", 3}};
        fixture.client->readable = {{L"Party", 3}};
        CTestDataObject data;
        data.SetMarker(L"iTunesObjectList");
        data.SetBytes(L"iTunesObjectListName", c.block.data(), c.block.size());
        EXPECT_EQ(1, fixture.manager.HandleDrop(&data));
        ASSERT_TRUE(fixture.WaitAnnouncedAndAccounted(c.tracks));
        EXPECT_EQ(c.tracks, fixture.manager.GetAnnouncedCount());
        EXPECT_EQ(size_t(c.tracks), fixture.sink.Count());
    }
}

TEST(ContentsManagerDrop, UnreadableSelectionGoesToListDAndEveryTrackIsDone) {
    ContentsFixture fixture;
    fixture.client->selections = {{L"Broken", 4}, {L"Half", 4}};
    fixture.client->readable = {{L"Half", 2}};
    for (const wchar_t* name : {L"Broken", L"Half"}) {
        CTestDataObject data;
        data.SetMarker(L"iTunesObjectList");
        data.SetText(name);
        EXPECT_EQ(1, fixture.manager.HandleDrop(&data));
    }
    ASSERT_TRUE(fixture.WaitAnnouncedAndAccounted(8));
    EXPECT_EQ(8, fixture.manager.GetAnnouncedCount());
    EXPECT_EQ(2u, fixture.sink.Count());
    EXPECT_EQ(6, fixture.coordinator.itemsDone.load());
    EXPECT_EQ(std::vector<std::wstring>{L"Broken"}, fixture.manager.GetReportListD());
}

TEST(ContentsManagerDrop, DragSourceKindFollowsTheFormatsInOrder) {
    CTestDataObject other, own, edit, both;
    own.SetMarker(L"TavrelPelmInternalDropSource");
    edit.SetMarker(L"TavrelPelmEditContent");
    both.SetMarker(L"TavrelPelmEditContent");
    both.SetMarker(L"iTunesObjectList");
    EXPECT_EQ(0, GetDragSourceKind(&other));
    EXPECT_EQ(2, GetDragSourceKind(&own));
    EXPECT_EQ(2, GetDragSourceKind(&edit));
    EXPECT_EQ(1, GetDragSourceKind(&both));
    EXPECT_EQ(0, GetDragSourceKind(nullptr));
}

TEST(ContentsManagerDrop, EachDroppedItemKeepsItsOwnFolderPrefix) {
    ContentsFixture fixture;
    CTestDataObject data;
    data.SetMarker(L"TavrelPelmInternalDropSource");
    // Pictures: songs of our own drops are placed by their tags instead.
    data.SetFiles({L"C:\\a\\x.jpg", L"D:\\b\\c\\y.jpg"});
    fixture.manager.HandleDrop(&data);
    ASSERT_TRUE(fixture.WaitAccounted());
    // Each item keeps its own folder prefix, even when the items come from different folders.
    std::set<std::wstring> relative;
    for (const auto& arrival : fixture.sink.Arrivals()) relative.insert(arrival.relativePath);
    EXPECT_EQ((std::set<std::wstring>{L"x.jpg", L"y.jpg"}), relative);
}

}  // namespace
