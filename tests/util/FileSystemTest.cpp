#include "library/util/FileSystem.h"
#include "tests/util/UtilTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class FileSystemTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(scratch_.Path().empty()); }
    bool Exists(const std::wstring& relative) const { return PathExists(scratch_.Join(relative)); }
    CScratchFolder scratch_;
};

// A drive letter that names no drive on this machine.
std::wstring MissingDriveRoot() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        if ((drives & (1u << (letter - L'A'))) == 0) return std::wstring(1, letter) + L":\\";
    }
    return std::wstring();
}

TEST_F(FileSystemTest, CreateFolderTreeMakesEveryMissingParent) {
    const std::wstring deep = scratch_.Join(L"a\\b\\c");
    EXPECT_TRUE(CreateFolderTree(deep));
    EXPECT_TRUE(FolderExists(deep));
    EXPECT_TRUE(CreateFolderTree(deep));
    EXPECT_TRUE(CreateFolderTree(scratch_.Join(L"x\\y\\")));
    EXPECT_TRUE(FolderExists(scratch_.Join(L"x\\y")));
    EXPECT_FALSE(CreateFolderTree(L""));
    EXPECT_FALSE(CreateFolderTree(L"nobackslash:*"));
    const std::wstring missing = MissingDriveRoot();
    ASSERT_FALSE(missing.empty());
    EXPECT_FALSE(CreateFolderTree(missing + L"one\\two"));
}

TEST_F(FileSystemTest, ExistenceTestsTellFilesFoldersAndDriveRoots) {
    ASSERT_TRUE(scratch_.WriteFile(L"file.txt", "abc"));
    EXPECT_TRUE(PathExists(scratch_.Join(L"file.txt")));
    EXPECT_FALSE(FolderExists(scratch_.Join(L"file.txt")));
    EXPECT_TRUE(PathExists(scratch_.Path()));
    EXPECT_TRUE(FolderExists(scratch_.Path()));
    EXPECT_FALSE(PathExists(scratch_.Join(L"missing")));
    EXPECT_FALSE(FolderExists(scratch_.Join(L"missing")));
    EXPECT_FALSE(PathExists(L""));
    EXPECT_TRUE(PathExists(L"C:\\"));
    EXPECT_TRUE(FolderExists(L"C:\\"));
    const std::wstring missing = MissingDriveRoot();
    EXPECT_FALSE(PathExists(missing));
    EXPECT_FALSE(FolderExists(missing));
}

TEST_F(FileSystemTest, LongPathPrefixSparesNetworkPaths) {
    EXPECT_EQ(L"\\\\?\\C:\\Music", AddLongPathPrefix(L"C:\\Music"));
    EXPECT_EQ(L"\\\\server\\share\\x", AddLongPathPrefix(L"\\\\server\\share\\x"));
    EXPECT_EQ(L"\\\\?\\C:\\x", AddLongPathPrefix(L"\\\\?\\C:\\x"));
    EXPECT_EQ(L"Music\\a.mp3", AddLongPathPrefix(L"Music\\a.mp3"));
    EXPECT_EQ(L"C:", AddLongPathPrefix(L"C:"));
}

TEST_F(FileSystemTest, EnumFilesRecursiveListsEveryFileAndSkipsHiddenOnesUnlessAsked) {
    ASSERT_TRUE(scratch_.WriteFile(L"top.mp3", "1"));
    ASSERT_TRUE(scratch_.WriteFile(L"sub\\inner.m4a", "2"));
    ASSERT_TRUE(scratch_.WriteFile(L"sub\\deeper\\last.wma", "3"));
    ASSERT_TRUE(scratch_.WriteFile(L"sub\\hidden.mp3", "4"));
    ASSERT_TRUE(scratch_.WriteFile(L"secret\\in-hidden-folder.mp3", "5"));
    SetFileAttributesW(scratch_.Join(L"sub\\hidden.mp3").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(scratch_.Join(L"secret").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

    std::vector<std::wstring> visible = {L"kept"};
    EnumFilesRecursive(scratch_.Path(), &visible, false);
    std::sort(visible.begin(), visible.end());
    std::vector<std::wstring> expected = {scratch_.Join(L"sub\\deeper\\last.wma"), scratch_.Join(L"sub\\inner.m4a"),
                                          scratch_.Join(L"top.mp3"), L"kept"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, visible);

    std::vector<std::wstring> all;
    EnumFilesRecursive(scratch_.Path() + L"\\", &all, true);
    EXPECT_EQ(5u, all.size());
    EXPECT_NE(all.end(), std::find(all.begin(), all.end(), scratch_.Join(L"secret\\in-hidden-folder.mp3")));

    // Paths past MAX_PATH are listed too.
    std::wstring deep = L"sub";
    while (deep.size() < 300) deep += L"\\" + std::wstring(40, L'f');
    ASSERT_TRUE(CreateFolderTree(AddLongPathPrefix(scratch_.Join(deep))));
    const std::wstring deepFile = AddLongPathPrefix(scratch_.Join(deep + L"\\far.mp3"));
    HANDLE file = CreateFileW(deepFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    std::vector<std::wstring> withDeep;
    EnumFilesRecursive(scratch_.Path(), &withDeep, true);
    EXPECT_NE(withDeep.end(), std::find(withDeep.begin(), withDeep.end(), scratch_.Join(deep + L"\\far.mp3")));
    DeleteFileW(deepFile.c_str());

    std::vector<std::wstring> none;
    EnumFilesRecursive(scratch_.Join(L"missing"), &none, true);
    EXPECT_TRUE(none.empty());
}

TEST_F(FileSystemTest, DeleteCachedFilesRemovesExactlyTheWorkFileEndings) {
    struct Entry {
        const wchar_t* name;
        bool isWorkFile;
    };
    const Entry entries[] = {
        {L"a.jpg", true},   {L"a.png", true},   {L"DevIcon.fil", true}, {L"log.txt", true},
        {L"t.thm", true},   {L"f.opml", true},  {L"s.zel", true},       {L"MOOD00.dat", true},
        {L"m.wmv", true},   {L"MOOD.ZEP", true}, {L"upper.JPG", false},  {L"lower.zep", false},
        {L"song.mp3", false}, {L"x.jpgx", false}, {L"jpg", false},       {L"Quillbay.ini", false},
    };
    const wchar_t* const folders[] = {L"", L"sub\\", L"sub\\deep\\"};
    auto populate = [&] {
        for (const wchar_t* folder : folders) {
            for (const Entry& entry : entries) {
                ASSERT_TRUE(scratch_.WriteFile(std::wstring(folder) + entry.name, "x"));
            }
        }
        ASSERT_TRUE(CreateFolderTree(scratch_.Join(L"empty")));
    };
    auto expectState = [&](int cleanedLevels) {
        for (int level = 0; level < 3; ++level) {
            for (const Entry& entry : entries) {
                const std::wstring path = std::wstring(folders[level]) + entry.name;
                const bool deleted = entry.isWorkFile && level < cleanedLevels;
                EXPECT_EQ(!deleted, Exists(path)) << path;
            }
        }
    };

    populate();
    DeleteCachedFiles(scratch_.Path(), true, false);
    expectState(1);
    EXPECT_TRUE(Exists(L"empty"));

    DeleteCachedFiles(scratch_.Path(), false, true);
    expectState(3);
    EXPECT_TRUE(Exists(L"empty"));

    // Removing folders: the emptied one goes, those still holding other files stay.
    DeleteCachedFiles(scratch_.Path(), true, true);
    EXPECT_FALSE(Exists(L"empty"));
    EXPECT_TRUE(Exists(L"sub\\deep\\song.mp3"));
    ASSERT_TRUE(scratch_.WriteFile(L"gone\\only.dat", "x"));
    DeleteCachedFiles(scratch_.Path(), true, true);
    EXPECT_FALSE(Exists(L"gone"));
}

TEST_F(FileSystemTest, SanitizeFileNameKeepsTheExtensionDot) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {L"Song: Live.mp3", L"Song_ Live.mp3"},
        {L"a.b.c", L"a_b.c"},
        {L"What?", L"What_"},
        {L"AC/DC \"Best\" <1>|*", L"AC_DC _Best_ _1___"},
        {L".hidden", L".hidden"},
        {L"trailing.", L"trailing."},
        {L"", L""},
    };
    for (const Case& c : cases) {
        std::wstring name = c.in;
        SanitizeFileName(&name);
        EXPECT_EQ(c.out, name) << c.in;
    }
}

TEST_F(FileSystemTest, FileNameLengthAndRename) {
    EXPECT_EQ(L"song.mp3", GetFileNameFromPath(L"C:\\Music\\Album\\song.mp3"));
    EXPECT_EQ(L"song.mp3", GetFileNameFromPath(L"song.mp3"));
    EXPECT_EQ(L"", GetFileNameFromPath(L"C:\\Music\\"));

    ASSERT_TRUE(scratch_.WriteFile(L"five.bin", "12345"));
    EXPECT_EQ(5u, GetFileLength(scratch_.Join(L"five.bin")));
    EXPECT_EQ(0u, GetFileLength(scratch_.Join(L"missing.bin")));

    EXPECT_EQ(scratch_.Join(L"five.bin"), RenameFile(scratch_.Join(L"five.bin"), scratch_.Join(L"renamed.bin")));
    EXPECT_FALSE(Exists(L"five.bin"));
    EXPECT_EQ(5u, GetFileLength(scratch_.Join(L"renamed.bin")));
    EXPECT_EQ(L"", RenameFile(scratch_.Join(L"five.bin"), scratch_.Join(L"again.bin")));
}

}  // namespace
