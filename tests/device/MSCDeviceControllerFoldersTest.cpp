#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "library/device/QBTreeNode.h"
#include "library/util/DataFolders.h"
#include "tests/device/DriveTestSupport.h"

namespace {

class DriveFoldersTest : public DrivePlayerTest {
protected:
    void Hide(const std::wstring& path) {
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    }

    // MUSIC\ with two songs, an album folder with one song and a hidden song, and a hidden
    // folder holding one more song.
    void MakeMusicFolder() {
        ASSERT_TRUE(controller_.CreateFolder(L"MUSIC\\"));
        const std::wstring music = root_ + L"MUSIC\\";
        ASSERT_TRUE(WriteBytes(music + L"one.mp3", std::string(100, 'a')));
        ASSERT_TRUE(WriteBytes(music + L"two.mp3", std::string(200, 'b')));
        ASSERT_TRUE(CreateDirectoryW((music + L"Album").c_str(), nullptr));
        ASSERT_TRUE(WriteBytes(music + L"Album\\three.mp3", std::string(300, 'c')));
        ASSERT_TRUE(WriteBytes(music + L"Album\\secret.mp3", std::string(400, 'd')));
        Hide(music + L"Album\\secret.mp3");
        ASSERT_TRUE(CreateDirectoryW((music + L"Private").c_str(), nullptr));
        ASSERT_TRUE(WriteBytes(music + L"Private\\four.mp3", std::string(500, 'e')));
        Hide(music + L"Private");
    }
};

const CQBTreeNode* ChildNamed(const CQBTreeNode* node, const std::wstring& name) {
    for (const CQBTreeNode* child : node->GetChildren()) {
        if (child->GetName() == name) return child;
    }
    return nullptr;
}

TEST_F(DriveFoldersTest, FolderTreesSkipHiddenEntriesAndCountFiles) {
    MakeMusicFolder();
    controller_.BeginTreeOperation();
    int count = -1;
    std::unique_ptr<CQBTreeNode> tree(controller_.BuildFolderTree(0, &count, true));
    controller_.EndTreeOperation();
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetPath(), root_ + L"MUSIC");
    EXPECT_EQ(tree->GetName(), L"MUSIC");
    EXPECT_EQ(count, 3);
    ASSERT_EQ(listener_.trees.size(), 1u);
    EXPECT_EQ(listener_.trees[0], tree.get());

    EXPECT_EQ(tree->GetChildCount(), 4u);
    const CQBTreeNode* one = ChildNamed(tree.get(), L"one.mp3");
    ASSERT_NE(one, nullptr);
    EXPECT_TRUE(one->IsFile());
    EXPECT_EQ(one->GetSize(), 100u);
    EXPECT_EQ(one->GetPath(), root_ + L"MUSIC\\one.mp3");
    const CQBTreeNode* album = ChildNamed(tree.get(), L"Album");
    ASSERT_NE(album, nullptr);
    ASSERT_EQ(album->GetChildCount(), 1u) << "the hidden song is left out";
    EXPECT_EQ(album->GetChildren()[0]->GetName(), L"three.mp3");
    const CQBTreeNode* hidden = ChildNamed(tree.get(), L"Private");
    ASSERT_NE(hidden, nullptr) << "a hidden folder is listed";
    EXPECT_FALSE(hidden->IsFile());
    EXPECT_EQ(hidden->GetChildCount(), 0u) << "but not entered";
}

TEST_F(DriveFoldersTest, TreesOfUnsetFoldersAndUnnotifiedTrees) {
    int count = -1;
    EXPECT_EQ(controller_.BuildFolderTree(2, &count, true), nullptr);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(listener_.trees.size(), 1u);
    EXPECT_EQ(listener_.trees[0], nullptr);

    MakeMusicFolder();
    // Without a running tree operation the tree is built but not reported.
    std::unique_ptr<CQBTreeNode> tree(controller_.BuildFolderTree(7, &count, true));
    ASSERT_NE(tree, nullptr) << "an index out of range means folder 0";
    EXPECT_EQ(listener_.trees.size(), 1u);
}

TEST_F(DriveFoldersTest, EnumerationMeasuresFoldersWithHiddenFiles) {
    MakeMusicFolder();
    ASSERT_TRUE(controller_.SetKind1Folder(L"AUDIOBOOK\\"));
    ASSERT_TRUE(controller_.SetKind3Folder(L"PODCAST\\"));
    CreateDirectoryW((root_ + L"PODCAST").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(root_ + L"PODCAST\\episode.mp3", std::string(64, 'p')));

    controller_.BeginEnumeration();
    controller_.EnumerateContents(true);
    ASSERT_EQ(listener_.enumerations.size(), 1u);
    const std::vector<uint64_t>& first = listener_.enumerations[0];
    EXPECT_EQ(first[0], 1500u) << "hidden files and folders count in the sizes";
    EXPECT_EQ(first[1], 0u) << "a missing folder measures 0";
    EXPECT_EQ(first[2], 0u);
    EXPECT_EQ(first[3], 64u);
    EXPECT_EQ(first[4], 0u);
    EXPECT_GT(first[5], 0u);

    // Without feeds folder 3 reports 0 even though it was measured before.
    controller_.EnumerateContents(false);
    ASSERT_EQ(listener_.enumerations.size(), 2u);
    EXPECT_EQ(listener_.enumerations[1][3], 0u);
    EXPECT_EQ(listener_.enumerations[1][0], 1500u);

    controller_.AbortEnumeration();
    controller_.EnumerateContents(true);
    EXPECT_EQ(listener_.enumerations.size(), 2u) << "an aborted enumeration reports nothing";

    controller_.GetTotalSpace();
    controller_.BeginEnumeration();
    controller_.EnumerateContents(false);
    controller_.EndEnumeration();
    ASSERT_EQ(listener_.enumerations.size(), 3u);
    EXPECT_EQ(listener_.enumerations[2][6], controller_.GetTotalSpace());
}

TEST_F(DriveFoldersTest, FolderStatesTellEmptyFolders) {
    bool music = true, kind2 = true, kind3 = true;
    controller_.GetFolderStates(&music, &kind2, &kind3);
    EXPECT_FALSE(music) << "an unset folder is not empty";
    EXPECT_FALSE(kind2);
    EXPECT_FALSE(kind3);

    ASSERT_TRUE(controller_.CreateFolder(L"MUSIC\\"));
    ASSERT_TRUE(controller_.SetKind2Folder(L"VIDEO\\"));  // never created: cannot be listed
    ASSERT_TRUE(controller_.SetKind3Folder(L"PODCAST\\"));
    CreateDirectoryW((root_ + L"PODCAST").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(root_ + L"PODCAST\\x.mp3", "x"));
    controller_.GetFolderStates(&music, &kind2, &kind3);
    EXPECT_TRUE(music);
    EXPECT_TRUE(kind2);
    EXPECT_FALSE(kind3);
    EXPECT_EQ(controller_.GetDeviceFolder(0), root_ + L"MUSIC\\");
    EXPECT_EQ(controller_.GetDeviceFolder(2), root_ + L"VIDEO\\");
    EXPECT_FALSE(Exists(root_ + L"VIDEO"));
}

TEST_F(DriveFoldersTest, ToggleRegistrationTwiceRestoresThePlayer) {
    const std::wstring marker = root_ + L"Carvell.dat";
    const std::wstring folder = root_ + L"Tavrel_Automotive";
    ASSERT_FALSE(Exists(marker));

    bool registered = false;
    EXPECT_EQ(controller_.ToggleRegistration(&registered), S_OK);
    EXPECT_TRUE(registered);
    EXPECT_TRUE(IsHiddenPath(marker));
    EXPECT_TRUE(IsHiddenPath(folder));
    EXPECT_TRUE(IsHiddenPath(folder + L"\\HVC"));
    EXPECT_TRUE(IsHiddenPath(folder + L"\\HVM"));
    EXPECT_EQ(controller_.GetDeviceFolder(5), folder + L"\\");
    ASSERT_TRUE(WriteBytes(folder + L"\\HVM\\MOOD00.dat", "m"));
    ASSERT_TRUE(WriteBytes(folder + L"\\HVC\\CID007.ZEP", "c"));

    EXPECT_EQ(controller_.ToggleRegistration(&registered), S_OK);
    EXPECT_FALSE(registered);
    EXPECT_FALSE(Exists(marker));
    EXPECT_FALSE(Exists(folder));

    EXPECT_EQ(controller_.ToggleRegistration(&registered), S_OK);
    EXPECT_TRUE(registered);
    EXPECT_TRUE(Exists(marker));
}

TEST_F(DriveFoldersTest, TheMoodFileTreeListsEveryCarAudioName) {
    EXPECT_EQ(controller_.BuildMoodFileTree(), nullptr) << "no car-audio folder yet";
    controller_.CreateHiddenFolder(L"Tavrel_Automotive\\");
    EXPECT_TRUE(IsHiddenPath(root_ + L"Tavrel_Automotive"));
    std::unique_ptr<CQBTreeNode> tree(controller_.BuildMoodFileTree());
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetPath(), root_ + L"Tavrel_Automotive");
    ASSERT_EQ(tree->GetChildCount(), 2u);
    const CQBTreeNode* channels = tree->GetChildren()[0];
    const CQBTreeNode* moods = tree->GetChildren()[1];
    EXPECT_EQ(channels->GetPath(), root_ + L"Tavrel_Automotive\\HVC\\");
    EXPECT_EQ(moods->GetPath(), root_ + L"Tavrel_Automotive\\HVM\\");

    std::set<std::wstring> channelNames;
    for (const CQBTreeNode* file : channels->GetChildren()) channelNames.insert(file->GetName());
    EXPECT_EQ(channelNames.size(), 1000u);
    for (const wchar_t* name : {L"CID000.ZEP", L"CID020.ZEP", L"CID999.ZEP"}) {
        EXPECT_EQ(channelNames.count(name), 1u) << testing::PrintToString(std::wstring(name));
    }
    ASSERT_EQ(moods->GetChildCount(), 101u);
    EXPECT_EQ(moods->GetChildren()[0]->GetName(), L"MOOD.ZEP");
    EXPECT_EQ(moods->GetChildren()[1]->GetName(), L"MOOD00.dat");
    EXPECT_EQ(moods->GetChildren()[100]->GetName(), L"MOOD99.dat");
    EXPECT_EQ(moods->GetChildren()[100]->GetPath(), root_ + L"Tavrel_Automotive\\HVM\\MOOD99.dat");
}

TEST_F(DriveFoldersTest, RebuildingTheMoodCacheCopiesEverySongAndClearsTheOldSet) {
    MakeMusicFolder();
    controller_.CreateHiddenFolder(L"Tavrel_Automotive\\");
    const std::wstring folder = root_ + L"Tavrel_Automotive";
    CreateDirectoryW((folder + L"\\HVM").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(folder + L"\\HVM\\MOOD03.dat", "old"));

    std::unique_ptr<CQBTreeNode> tree(controller_.BuildFolderTree(0, nullptr, false));
    ASSERT_NE(tree, nullptr);
    controller_.ResetCancel();
    EXPECT_TRUE(controller_.RebuildMoodCache(tree.get()));

    EXPECT_FALSE(Exists(folder + L"\\HVM\\MOOD03.dat"));
    EXPECT_TRUE(IsHiddenPath(folder + L"\\HVC"));
    const std::wstring cache = GetUserDataFolder() + L"HVX_Cache";
    EXPECT_EQ(ReadBytes(cache + L"\\one.mp3"), std::string(100, 'a'));
    EXPECT_EQ(ReadBytes(cache + L"\\Album\\three.mp3"), std::string(300, 'c'));
    EXPECT_EQ(listener_.steps.size(), 3u);
    EXPECT_EQ(listener_.dones, listener_.steps);

    // Once cancelled, nothing more is copied.
    EmptyFolder(cache);
    listener_ = CRecordingListener();
    controller_.Cancel();
    EXPECT_TRUE(controller_.RebuildMoodCache(tree.get()));
    EXPECT_TRUE(listener_.steps.empty());
    EXPECT_FALSE(Exists(cache + L"\\one.mp3"));
    controller_.ResetCancel();
    EmptyFolder(cache);
}

TEST_F(DriveFoldersTest, CopyFolderTreeBringsTheCarAudioFolderHomeVisible) {
    controller_.CopyFolderTree();  // folder 5 unset: nothing happens
    controller_.CreateHiddenFolder(L"Tavrel_Automotive\\");
    const std::wstring folder = root_ + L"Tavrel_Automotive";
    CreateDirectoryW((folder + L"\\HVC").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(folder + L"\\HVC\\CID001.ZEP", "channel"));
    Hide(folder + L"\\HVC\\CID001.ZEP");

    controller_.CopyFolderTree();
    const std::wstring local = GetUserDataFolder() + L"Tavrel_Automotive";
    EXPECT_EQ(ReadBytes(local + L"\\HVC\\CID001.ZEP"), "channel");
    EXPECT_FALSE(IsHiddenPath(local + L"\\HVC\\CID001.ZEP"));
    EmptyFolder(local);
    RemoveDirectoryW(local.c_str());
}

}  // namespace
