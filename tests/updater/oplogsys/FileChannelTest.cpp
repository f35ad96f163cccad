#include <gtest/gtest.h>

#include "library/util/ScopedCom.h"
#include "tests/updater/oplogsys/LogTestSupport.h"
#include "updater/oplogsys/FileIO.h"
#include "updater/oplogsys/LogPaths.h"

using namespace oplogtest;
using opLogSys::File::CFileIO;

TEST(FileChannelTest, SecondChannelOpenedInTheSameSecondTakesNumberOne) {
    CScratchFolder folder;
    const std::wstring name = UniqueLogName();
    // Both channels must be made within one second; a second boundary in between is retried.
    for (int attempt = 0; attempt < 5; ++attempt) {
        CScopedComPtr<CFileIO> first(new CFileIO(name.c_str(), folder.Path().c_str(), true));
        CScopedComPtr<CFileIO> second(new CFileIO(name.c_str(), folder.Path().c_str(), true));
        if (first->FileName() != second->FileName()) continue;
        ASSERT_EQ(first->WriteLine(L"one"), 3);
        ASSERT_EQ(second->WriteLine(L"two"), 3);
        const std::wstring& chosen = first->FileName();
        EXPECT_EQ(first->OpenedPath(), chosen);
        EXPECT_EQ(second->OpenedPath(), chosen.substr(0, chosen.size() - 4) + L"[01].log");
        EXPECT_EQ(ReadLines(second->OpenedPath()), std::vector<std::string>{"two"});
        return;
    }
    FAIL() << "never made two channels within one second";
}

TEST(FileChannelTest, NameCarriesLogNameAndLocalTime) {
    CScratchFolder folder;
    CScopedComPtr<CFileIO> channel(new CFileIO(L"FennicMini_Application", folder.Path().c_str(), false));
    const std::wstring prefix = folder.Path() + L"\\FennicMini_Application-";
    ASSERT_EQ(channel->FileName().compare(0, prefix.size(), prefix), 0);
    // "yyyy-mm-dd [hh-mm-ss].log"
    const std::wstring stamp = channel->FileName().substr(prefix.size());
    ASSERT_EQ(stamp.size(), 25u);
    EXPECT_EQ(stamp.substr(10, 2), L" [");
    EXPECT_EQ(stamp.substr(20), L"].log");
}

TEST(FileChannelTest, LinesAreWrittenInTheAnsiCodePage) {
    CScratchFolder folder;
    CScopedComPtr<CFileIO> channel(new CFileIO(UniqueLogName().c_str(), folder.Path().c_str(), true));
    EXPECT_EQ(channel->WriteLine(L"plain text"), 10);
    EXPECT_EQ(channel->Write(L"caf\x00E9"), static_cast<int>(Ansi(L"caf\x00E9").size()));
    channel.Reset();
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(FilesIn(folder.Path()).at(0), &bytes));
    EXPECT_EQ(bytes, "plain text\r\n" + Ansi(L"caf\x00E9"));
}

TEST(FileChannelTest, LongTextIsCutAtTheLineLimit) {
    CScratchFolder folder;
    CScopedComPtr<CFileIO> channel(new CFileIO(UniqueLogName().c_str(), folder.Path().c_str(), true));
    EXPECT_EQ(channel->Write(std::wstring(5000, L'x').c_str()), 1024);
}

TEST(FileChannelTest, UnwritableFolderGivesMinusOne) {
    CScratchFolder folder;
    // A location that is an existing file names that file's folder, so use a file as the folder.
    ASSERT_TRUE(folder.WriteFile(L"blocker", "x"));
    CScopedComPtr<CFileIO> channel(new CFileIO(L"blocker\\x", folder.Path().c_str(), true));
    EXPECT_EQ(channel->WriteLine(L"text"), -1);
    EXPECT_EQ(channel->Write(L"text"), -1);
}

TEST(FileChannelTest, LocationsResolveToFolders) {
    CScratchFolder folder;
    ASSERT_TRUE(folder.WriteFile(L"sub\\file.txt", "x"));
    const std::wstring program = opLogSys::GetModuleFolderPath();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(opLogSys::ResolveFolder(L""), program);
    EXPECT_EQ(opLogSys::ResolveFolder(L"current"), program);
    EXPECT_EQ(opLogSys::ResolveFolder(folder.Path()), folder.Path() + L"\\");
    EXPECT_EQ(opLogSys::ResolveFolder(folder.Path() + L"\\"), folder.Path() + L"\\");
    EXPECT_EQ(opLogSys::ResolveFolder(folder.Join(L"sub\\file.txt")), folder.Join(L"sub\\"));
    EXPECT_EQ(opLogSys::ResolveFolder(folder.Join(L"missing")), program);
    EXPECT_EQ(opLogSys::ResolveFolder(std::wstring(400, L'a')), program);
    const std::wstring desktop = opLogSys::ResolveFolder(L"desktop");
    EXPECT_FALSE(desktop.empty());
    EXPECT_EQ(desktop.back(), L'\\');

    // A location starting with a point lies below the program's folder and is made when missing.
    const std::wstring relative = L".\\oplog-" + UniqueLogName() + L"\\logs";
    const std::wstring made = opLogSys::ResolveFolder(relative);
    EXPECT_EQ(made, program + relative.substr(2) + L"\\");
    EXPECT_NE(GetFileAttributesW(made.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFolderTree(program + relative.substr(2, relative.find(L'\\', 2) - 2));
}
