#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "library/content/TNByteArray.h"
#include "library/datainsert/DataInsertManager.h"
#include "library/media/decode/MediaTagObjects.h"
#include "tests/datainsert/DataInsertTestSupport.h"

using namespace insert_test;

namespace {

// Two records of the payload layout: tag, big-endian length, body.
const char kPayloadBytes[] = {'G', 'M', 'M', 'D', 0, 0, 0, 4, 'a', 'b', 'c', 'd',
                              'M', 'O', 'O', 'D', 0, 0, 0, 2, 'x', 'y'};
const std::string kPayload(kPayloadBytes, sizeof(kPayloadBytes));

CTNByteArray* NewPayload() {
    CTNByteArray* array = CTNByteArray::Create(static_cast<uint32_t>(kPayload.size()));
    array->SetData(kPayload.data(), static_cast<uint32_t>(kPayload.size()));
    return array;
}

struct FixtureCase {
    const wchar_t* fixture;
    uint32_t mediaType;
    const wchar_t* exportName;
};

class DataInsertManagerTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = NewScratchFolder(L"datainsert"); }

    // A record of the fixture, copied into the scratch folder so a fault cannot harm the original,
    // with payload, cover file and lookup identifier when `everything` is set.
    CTNContent* Song(const FixtureCase& c, bool everything) {
        const std::wstring source = folder_ + L"source-" + c.fixture;
        CopyFileW(MediaFixture(c.fixture).c_str(), source.c_str(), FALSE);
        CTNContent* song = NewSong(source, c.mediaType);
        if (everything) {
            song->SetByteArray(NewPayload());
            song->lookupCoverPath = folder_ + song->id + L".jpg";
            WriteBytes(song->lookupCoverPath, CoverBytes());
            song->lookupId = L"STANDIN-LOOKUP-0042";
            song->writeLookupId = 1;
        }
        return song;
    }

    std::wstring folder_;
};

const FixtureCase kCases[] = {
    {L"plain.mp3", 0, L"copy.mp3"},
    {L"tagged.wma", 1, L"copy.wma"},
    {L"tagged.m4a", 2, L"copy.m4a"},
};

// The working copy carries payload, cover and the CD-lookup identifier (not the record's own
// identifier); the source keeps every byte; the m4a record now names an mp4.
TEST_F(DataInsertManagerTest, WorkingCopyCarriesPayloadCoverAndLookupId) {
    CreateDirectoryW(L"datainsert_copies", nullptr);
    for (const FixtureCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.mediaType);
        std::unique_ptr<CTNContent> song(Song(c, true));
        const std::string sourceBefore = ReadBytes(song->sourcePath);
        const std::wstring cover = song->lookupCoverPath;
        const std::wstring originalSource = song->sourcePath;
        CDataInsertManager manager(folder_);

        ASSERT_EQ(0, manager.WriteDataFiles(song.get(), CDataInsertManager::VariantForMediaType(c.mediaType)));
        CDataInsertManager::RemoveTempFiles(song.get());

        EXPECT_EQ(sourceBefore, ReadBytes(originalSource));
        EXPECT_EQ(folder_ + song->id + L".dat", song->tempPath);
        EXPECT_FALSE(FileExists(folder_ + song->id + L".2.dat"));
        EXPECT_FALSE(FileExists(cover));
        EXPECT_TRUE(song->lookupCoverPath.empty());

        // The m4a's copy is an mp4 from now on, and read as one.
        const int32_t readAs = c.mediaType == 2 ? 4 : static_cast<int32_t>(c.mediaType);
        CTNByteArray* mood = nullptr;
        ASSERT_EQ(0, ReadMoodData(&mood, song->tempPath, readAs));
        std::unique_ptr<CTNByteArray> owned(mood);
        EXPECT_EQ(kPayload, std::string(reinterpret_cast<char*>(mood->data), mood->length));
        std::wstring lookupId;
        EXPECT_EQ(0, ReadLookupId(&lookupId, song->tempPath, readAs));
        EXPECT_EQ(L"STANDIN-LOOKUP-0042", lookupId);
        EXPECT_TRUE(HasCoverArt(song->tempPath, readAs));

        if (c.mediaType == 2) {
            EXPECT_EQ(originalSource.substr(0, originalSource.size() - 3) + L"mp4", song->sourcePath);
            EXPECT_EQ(L"Music\\source-tagged.mp4", song->relativePath);
        } else {
            EXPECT_EQ(originalSource, song->sourcePath);
        }
        // Left for the native cross-check with the Debian tag tools and ffmpeg.
        CopyFileW(song->tempPath.c_str(), (std::wstring(L"datainsert_copies\\") + c.exportName).c_str(), FALSE);
        CopyFileW(MediaFixture(c.fixture).c_str(),
                  (std::wstring(L"datainsert_copies\\source-") + c.exportName).c_str(), FALSE);
    }
}

// An MP3 with nothing to insert gets no copy; an m4a always gets one and keeps no intermediate.
TEST_F(DataInsertManagerTest, NothingToInsert) {
    std::unique_ptr<CTNContent> mp3(Song(kCases[0], false));
    CDataInsertManager manager(folder_);
    EXPECT_EQ(0, manager.WriteDataFiles(mp3.get(), 0));
    EXPECT_TRUE(mp3->tempPath.empty());
    EXPECT_FALSE(FileExists(folder_ + mp3->id + L".dat"));

    std::unique_ptr<CTNContent> m4a(Song(kCases[2], false));
    const std::string before = ReadBytes(m4a->sourcePath);
    const std::wstring source = m4a->sourcePath;
    EXPECT_EQ(0, manager.WriteDataFiles(m4a.get(), 2));
    EXPECT_TRUE(FileExists(folder_ + m4a->id + L".dat"));
    EXPECT_FALSE(FileExists(folder_ + m4a->id + L".2.dat"));
    EXPECT_EQ(before, ReadBytes(source));
    // The copy keeps the source's item list with its cover.
    EXPECT_TRUE(HasCoverArt(m4a->tempPath, 2));
}

// A write that fails half way (the editor loaded, the target folder gone) leaves no copy, keeps
// the source's bytes and its m4a name, and the cover file is still removed.
TEST_F(DataInsertManagerTest, FailedWriteLeavesSourceAndRecord) {
    for (const FixtureCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.mediaType);
        std::unique_ptr<CTNContent> song(Song(c, true));
        const std::wstring source = song->sourcePath;
        const std::string before = ReadBytes(source);
        const std::wstring cover = song->lookupCoverPath;
        CDataInsertManager manager(folder_ + L"missing\\");
        EXPECT_NE(0, manager.WriteDataFiles(song.get(), CDataInsertManager::VariantForMediaType(c.mediaType)));
        EXPECT_TRUE(song->tempPath.empty());
        EXPECT_EQ(source, song->sourcePath);
        EXPECT_EQ(before, ReadBytes(source));
        CDataInsertManager::RemoveTempFiles(song.get());
        EXPECT_FALSE(FileExists(cover));
    }
    // A source that is no media file at all.
    const std::wstring bogus = folder_ + L"bogus.mp3";
    WriteBytes(bogus, "not an mp3 file at all");
    std::unique_ptr<CTNContent> song(NewSong(bogus, 0));
    song->lookupId = L"X";
    song->writeLookupId = 1;
    CDataInsertManager manager(folder_);
    EXPECT_NE(0, manager.WriteDataFiles(song.get(), 0));
    EXPECT_EQ("not an mp3 file at all", ReadBytes(bogus));
    EXPECT_FALSE(FileExists(folder_ + song->id + L".dat"));
}

// The m4a's second pass fails after the intermediate was written (a folder holds the copy's name):
// the intermediate goes, the source keeps its bytes and its name.
TEST_F(DataInsertManagerTest, SecondPassFailureRemovesIntermediate) {
    std::unique_ptr<CTNContent> song(Song(kCases[2], true));
    const std::wstring source = song->sourcePath;
    const std::string before = ReadBytes(source);
    ASSERT_TRUE(CreateDirectoryW((folder_ + song->id + L".dat").c_str(), nullptr));
    CDataInsertManager manager(folder_);
    EXPECT_NE(0, manager.WriteDataFiles(song.get(), 2));
    EXPECT_FALSE(FileExists(folder_ + song->id + L".2.dat"));
    EXPECT_TRUE(song->tempPath.empty());
    EXPECT_EQ(source, song->sourcePath);
    EXPECT_EQ(L"Music\\source-tagged.m4a", song->relativePath);
    EXPECT_EQ(before, ReadBytes(source));
}

// A working copy is never written over its own source.
TEST_F(DataInsertManagerTest, TargetEqualToSourceIsRefused) {
    const std::wstring source = folder_ + L"same.mp3";
    CopyFileW(MediaFixture(L"plain.mp3").c_str(), source.c_str(), FALSE);
    const std::string before = ReadBytes(source);
    EXPECT_NE(0, CDataInsertManager::InsertIntoWorkingCopy(source, nullptr, source, 0, L"", L"ID", nullptr));
    EXPECT_EQ(before, ReadBytes(source));
}

// The cover path is cleared even when the file cannot be deleted.
TEST_F(DataInsertManagerTest, RemoveTempFilesClearsPathWhenDeleteFails) {
    CTNContent song(0, CTNContent::kSong);
    song.lookupCoverPath = folder_ + L"held.jpg";
    WriteBytes(song.lookupCoverPath, CoverBytes());
    HANDLE held = CreateFileW(song.lookupCoverPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const std::wstring path = song.lookupCoverPath;
    CDataInsertManager::RemoveTempFiles(&song);
    EXPECT_TRUE(song.lookupCoverPath.empty());
    EXPECT_TRUE(FileExists(path));
    CloseHandle(held);
    DeleteFileW(path.c_str());
}

class CSink : public CTNContentHandler {
public:
    void PostContent(CTNContent* content) override {
        CScopedLock lock(lock_);
        received.push_back(std::unique_ptr<CTNContent>(content));
    }
    size_t Count() {
        CScopedLock lock(lock_);
        return received.size();
    }
    std::vector<std::unique_ptr<CTNContent>> received;

private:
    CCriticalSection lock_;
};

// Through the stage: failures mark the record, other kinds and codes pass untouched.
TEST_F(DataInsertManagerTest, ProcessContentMarksFailuresAndPassesOthers) {
    CDataInsertManager manager(folder_);
    CSink sink;
    manager.SetNext(&sink);
    ASSERT_EQ(S_OK, manager.Start());

    CTNContent* good = Song(kCases[0], true);
    const std::wstring cover = good->lookupCoverPath;
    const std::wstring bogusPath = folder_ + L"bogus.mp3";
    WriteBytes(bogusPath, "garbage");
    CTNContent* bad = NewSong(bogusPath, 0);
    bad->SetByteArray(NewPayload());
    CTNContent* wav = Song(kCases[0], true);
    wav->fileType = 5;
    CTNContent* picture = Song(kCases[0], true);
    picture->kind = CTNContent::kPicture;
    for (CTNContent* c : {good, bad, wav, picture}) manager.PostContent(c);

    const DWORD start = GetTickCount();
    while (sink.Count() < 4 && GetTickCount() - start < 10000) Sleep(10);
    manager.Stop();
    ASSERT_EQ(4u, sink.Count());
    EXPECT_EQ(0u, sink.received[0]->status);
    EXPECT_FALSE(sink.received[0]->tempPath.empty());
    EXPECT_FALSE(FileExists(cover));
    EXPECT_EQ(1u, sink.received[1]->status);
    EXPECT_TRUE(sink.received[1]->tempPath.empty());
    for (size_t i = 2; i < 4; ++i) {
        EXPECT_EQ(0u, sink.received[i]->status);
        EXPECT_TRUE(sink.received[i]->tempPath.empty());
        // The stage still removes their cover files.
        EXPECT_TRUE(sink.received[i]->lookupCoverPath.empty());
    }
}

TEST(DataInsertVariantTest, VariantByMediaType) {
    const int32_t expected[] = {0, 1, 2, 2, 2, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, -1};
    for (uint32_t code = 0; code < sizeof(expected) / sizeof(expected[0]); ++code)
        EXPECT_EQ(expected[code], CDataInsertManager::VariantForMediaType(code)) << code;
}

}  // namespace
