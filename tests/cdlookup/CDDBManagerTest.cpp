#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "library/cdlookup/CDDBManager.h"
#include "library/cdlookup/CDDBManagerGroup.h"
#include "library/cdlookup/GNSDKUtil.h"
#include "library/datainsert/DataInsertManager.h"
#include "library/media/decode/MediaTagObjects.h"
#include "library/util/ModuleFolder.h"
#include "tests/datainsert/DataInsertTestSupport.h"

using namespace insert_test;

namespace {

// The stand-ins' answers (standins/cdlookup/CddbStandinScript.cpp).
const char kStandinData[] = {'M', 'O', 'O', 'D', 0, 0, 0, 4, 'd', 'd', 'b', 'b'};
const unsigned char kStandinCover[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01,
                                       0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 'c', 'd', 0xFF, 0xD9};
const wchar_t kStandinId[] = L"STANDIN-CDDB-0001";

std::string Env(const wchar_t* name) {
    wchar_t value[4096] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 4096);
    std::string text;
    for (DWORD i = 0; i < length && i < 4096; ++i) text += static_cast<char>(value[i]);
    return text;
}

void Script(const wchar_t* mode) {
    SetEnvironmentVariableW(L"QB_CDDB_STANDIN", mode);
    for (const wchar_t* report : {L"QB_CDDB_STANDIN_CLIENT", L"QB_CDDB_STANDIN_OPTIONS", L"QB_CDDB_STANDIN_CALLS",
                                  L"QB_CDDB_STANDIN_FALLOVER"})
        SetEnvironmentVariableW(report, nullptr);
}

std::string Bytes(const CTNByteArray* array) {
    return array == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(array->data), array->length);
}

class CListener : public CCDDBManager::IListener {
public:
    void OnLookupProgress(int32_t state, bool found, int32_t reserved) override {
        CScopedLock lock(lock_);
        calls.push_back(std::to_string(state) + (found ? "+" : "-") + std::to_string(reserved));
    }
    std::vector<std::string> calls;

private:
    CCriticalSection lock_;
};

class CSink : public CTNContentHandler {
public:
    void PostContent(CTNContent* content) override {
        CScopedLock lock(lock_);
        received.push_back(std::unique_ptr<CTNContent>(content));
    }
    bool WaitFor(size_t count) {
        const DWORD start = GetTickCount();
        for (;;) {
            {
                CScopedLock lock(lock_);
                if (received.size() >= count) return true;
            }
            if (GetTickCount() - start > 15000) return false;
            Sleep(5);
        }
    }
    std::vector<std::unique_ptr<CTNContent>> received;

private:
    CCriticalSection lock_;
};

HRESULT ConcatenateMerge(const CTNByteArray* existing, const CTNByteArray* fresh, CTNByteArray** merged) {
    *merged = CTNByteArray::Create(existing->length + fresh->length);
    if (*merged == nullptr) return E_OUTOFMEMORY;
    std::string joined = Bytes(existing) + Bytes(fresh);
    return (*merged)->SetData(joined.data(), static_cast<uint32_t>(joined.size()));
}

class CDDBManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Script(L"match");
        folders_.programFolder = GetModuleFolder();
        folders_.userDataFolder = NewScratchFolder(L"cdlookup-user");
        folders_.commonDataFolder = NewScratchFolder(L"cdlookup-common");
        scratch_ = NewScratchFolder(L"cdlookup-songs");
    }
    void TearDown() override { Script(L"match"); }

    // A copy of the fixture, so the stage cannot harm the original.
    CTNContent* Song(const wchar_t* fixture, uint32_t mediaType) {
        const std::wstring path = scratch_ + fixture;
        CopyFileW(MediaFixture(fixture).c_str(), path.c_str(), FALSE);
        return NewSong(path, mediaType);
    }

    // Runs the records through one enabled manager; the sink keeps them in order.
    void Run(std::vector<CTNContent*> songs, CSink* sink, CListener* listener, bool lookupSwitch = true,
             bool coverSwitch = true, CCDDBManager::MergeAnalysisDataFn merge = nullptr, bool* sdkReady = nullptr) {
        CCDDBManager manager(true, folders_);
        manager.SetNext(sink);
        manager.SetListener(listener);
        manager.SetLookupSwitch(lookupSwitch);
        manager.SetCoverArtSwitch(coverSwitch);
        manager.SetMergeFunction(merge);
        ASSERT_EQ(S_OK, manager.Start());
        for (CTNContent* song : songs) manager.PostContent(song);
        ASSERT_TRUE(sink->WaitFor(songs.size()));
        if (sdkReady != nullptr) *sdkReady = manager.IsSdkReady();
        manager.Stop();
    }

    CCDDBManager::CFolders folders_;
    std::wstring scratch_;
};

// Registration, options and the modules' mutual handles as the stand-ins saw them.
TEST_F(CDDBManagerTest, SdkSetUpRegistersClientAndSetsOptions) {
    CGNSDKUtil sdk;
    ASSERT_EQ(S_OK, sdk.InitializeLookup(folders_.programFolder, L"C:\\data\\", L"proxy.local", 8080));
    EXPECT_EQ("58203917|9E41B7C20D53F86A1C7E2B094AD5F63B|1|", Env(L"QB_CDDB_STANDIN_CLIENT"));
    EXPECT_EQ("proxy.local|8080|C:\\data\\|-1", Env(L"QB_CDDB_STANDIN_OPTIONS"));
    EXPECT_EQ("1111", Env(L"QB_CDDB_STANDIN_FALLOVER"));
    // Without a proxy no host is set and the port is 0; a second set-up replaces the first.
    ASSERT_EQ(S_OK, sdk.InitializeLookup(folders_.programFolder, L"D:\\d\\", L"", 0));
    EXPECT_EQ("|0|D:\\d\\|-1", Env(L"QB_CDDB_STANDIN_OPTIONS"));

    CGNSDKUtil::CLookupResult result;
    ASSERT_EQ(S_OK, sdk.Lookup(L"C:\\music\\a.mp3", L"", true, true, &result));
    EXPECT_EQ(kStandinId, result.learntIdentifier);
    EXPECT_EQ(std::string(kStandinData, sizeof(kStandinData)), std::string(result.data.begin(), result.data.end()));
    EXPECT_EQ(sizeof(kStandinCover), result.picture.size());
    EXPECT_EQ("identify:C:\\music\\a.mp3;", Env(L"QB_CDDB_STANDIN_CALLS"));
}

TEST_F(CDDBManagerTest, SdkSetUpFailures) {
    CGNSDKUtil sdk;
    EXPECT_EQ(E_INVALIDARG, sdk.LoadSdkModules(std::wstring(1024, L'a')));
    EXPECT_EQ(E_POINTER, CGNSDKUtil::CreateObjectFromModule(CLSID_CddbControl, nullptr, IID_ICddbControl, nullptr));
    // A folder without the modules, a module that does not load, one that hands out no object and
    // a client the service refuses.
    EXPECT_TRUE(FAILED(sdk.InitializeLookup(scratch_, L"C:\\d\\", L"", 0)));
    for (const wchar_t* mode : {L"noload", L"nullobject", L"noregister"}) {
        Script(mode);
        EXPECT_TRUE(FAILED(sdk.InitializeLookup(folders_.programFolder, L"C:\\d\\", L"", 0))) << mode;
    }
    CGNSDKUtil::CLookupResult result;
    EXPECT_TRUE(FAILED(sdk.Lookup(L"C:\\a.mp3", L"", true, true, &result)));
}

// A match: the identifier is learnt, the data block becomes the payload, the picture is saved.
TEST_F(CDDBManagerTest, MatchLearnsIdentifierAttachesDataAndSavesPicture) {
    CSink sink;
    CListener listener;
    CTNContent* song = Song(L"plain.mp3", 0);
    const std::wstring id = song->id;
    bool ready = false;
    Run({song}, &sink, &listener, true, true, nullptr, &ready);
    EXPECT_TRUE(ready);
    CTNContent* out = sink.received[0].get();
    EXPECT_EQ(kStandinId, out->lookupId);
    EXPECT_EQ(1, out->writeLookupId);
    EXPECT_EQ(std::string(kStandinData, sizeof(kStandinData)), Bytes(out->byteArray));
    EXPECT_EQ(1, out->hasMoodData);
    EXPECT_EQ(1, out->replaceExisting);
    EXPECT_EQ(folders_.userDataFolder + id + L".jpg", out->lookupCoverPath);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(kStandinCover), sizeof(kStandinCover)),
              ReadBytes(out->lookupCoverPath));
    EXPECT_TRUE(out->tempPath.empty());
    EXPECT_EQ((std::vector<std::string>{"0-0", "1+0"}), listener.calls);
}

// Scripted answers, one record each.
TEST_F(CDDBManagerTest, ScriptedAnswers) {
    struct Case {
        const wchar_t* mode;
        bool found;
    };
    const Case cases[] = {{L"several", true}, {L"slow", true}, {L"nomatch", false}, {L"fail", false},
                          {L"crash", false}, {L"nocover", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.mode, c.mode + wcslen(c.mode)));
        Script(c.mode);
        CSink sink;
        CListener listener;
        Run({Song(L"plain.mp3", 0)}, &sink, &listener);
        CTNContent* out = sink.received[0].get();
        EXPECT_EQ((std::vector<std::string>{"0-0", c.found ? "1+0" : "1-0"}), listener.calls);
        EXPECT_EQ(c.found ? kStandinId : L"", out->lookupId);
        EXPECT_EQ(c.found ? 1 : 0, out->hasMoodData);
        EXPECT_EQ(c.found, out->byteArray != nullptr);
        const bool picture = c.found && wcscmp(c.mode, L"nocover") != 0;
        EXPECT_EQ(picture, !out->lookupCoverPath.empty());
        EXPECT_EQ(1u, static_cast<unsigned>(Env(L"QB_CDDB_STANDIN_CALLS").size() > 0));
    }
}

// A stored identifier is fetched, not identified again, and is not marked for writing.
TEST_F(CDDBManagerTest, StoredIdentifierIsFetched) {
    CSink sink;
    CListener listener;
    CTNContent* song = Song(L"plain.mp3", 0);
    song->lookupId = L"STANDIN-CDDB-0777";
    Run({song}, &sink, &listener);
    EXPECT_EQ("fetch:STANDIN-CDDB-0777;", Env(L"QB_CDDB_STANDIN_CALLS"));
    EXPECT_EQ(L"STANDIN-CDDB-0777", sink.received[0]->lookupId);
    EXPECT_EQ(0, sink.received[0]->writeLookupId);
    EXPECT_EQ(1, sink.received[0]->hasMoodData);
}

// An existing payload is merged with the block; without a merge it stays as it was.
TEST_F(CDDBManagerTest, ExistingPayloadIsMerged) {
    const std::string old = "OLDPAYLOAD";
    for (bool withMerge : {true, false}) {
        CSink sink;
        CListener listener;
        CTNContent* song = Song(L"plain.mp3", 0);
        CTNByteArray* blob = CTNByteArray::Create(static_cast<uint32_t>(old.size()));
        blob->SetData(old.data(), static_cast<uint32_t>(old.size()));
        song->SetByteArray(blob);
        Run({song}, &sink, &listener, true, true, withMerge ? ConcatenateMerge : nullptr);
        const std::string expected = withMerge ? old + std::string(kStandinData, sizeof(kStandinData)) : old;
        EXPECT_EQ(expected, Bytes(sink.received[0]->byteArray));
        EXPECT_EQ(1, sink.received[0]->hasMoodData);
    }
}

// Who is looked up: switches, analysed records, records with pictures, other kinds and code 5.
TEST_F(CDDBManagerTest, WhoIsLookedUp) {
    CSink sink;
    CListener listener;
    CTNContent* analysedWithPicture = Song(L"tagged.mp3", 0);
    analysedWithPicture->hasMoodData = 1;
    CTNContent* notWantedWithPictureData = Song(L"plain.mp3", 0);
    notWantedWithPictureData->analysisNotWanted = 1;
    notWantedWithPictureData->pictureData = 1;
    CTNContent* wav = Song(L"plain.mp3", 5);
    CTNContent* picture = Song(L"plain.mp3", 0);
    picture->kind = CTNContent::kPicture;
    Run({analysedWithPicture, notWantedWithPictureData, wav, picture}, &sink, &listener);
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_TRUE(Env(L"QB_CDDB_STANDIN_CALLS").empty());
    for (auto& out : sink.received) {
        EXPECT_TRUE(out->lookupCoverPath.empty());
        EXPECT_TRUE(out->lookupId.empty());
    }

    // Cover switch off: the data still comes, no picture file is written.
    CSink sink2;
    CListener listener2;
    Run({Song(L"plain.mp3", 0)}, &sink2, &listener2, true, false);
    EXPECT_TRUE(sink2.received[0]->lookupCoverPath.empty());
    EXPECT_EQ(1, sink2.received[0]->hasMoodData);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folders_.userDataFolder + L"*.jpg").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);

    // Lookup switch off: only the cover is asked for.
    CSink sink3;
    CListener listener3;
    Run({Song(L"plain.mp3", 0)}, &sink3, &listener3, false, true);
    EXPECT_EQ(nullptr, sink3.received[0]->byteArray);
    EXPECT_EQ(0, sink3.received[0]->hasMoodData);
    EXPECT_FALSE(sink3.received[0]->lookupCoverPath.empty());
}

// Without the modules, or with a set-up that fails, records pass unchanged with both calls.
TEST_F(CDDBManagerTest, MissingSdkPassesRecordsThrough) {
    for (const wchar_t* mode : {L"missing", L"noload", L"noregister"}) {
        SCOPED_TRACE(testing::Message() << std::string(mode, mode + wcslen(mode)));
        Script(wcscmp(mode, L"missing") == 0 ? L"match" : mode);
        if (wcscmp(mode, L"missing") == 0) folders_.programFolder = scratch_;
        CSink sink;
        CListener listener;
        CTNContent* song = Song(L"plain.mp3", 0);
        const std::wstring id = song->id;
        bool ready = true;
        Run({song}, &sink, &listener, true, true, nullptr, &ready);
        EXPECT_FALSE(ready);
        CTNContent* out = sink.received[0].get();
        EXPECT_EQ(id, out->id);
        EXPECT_TRUE(out->lookupId.empty());
        EXPECT_EQ(nullptr, out->byteArray);
        EXPECT_EQ(0, out->hasMoodData);
        EXPECT_TRUE(out->lookupCoverPath.empty());
        EXPECT_EQ((std::vector<std::string>{"0-0", "1-0"}), listener.calls);
        folders_.programFolder = GetModuleFolder();
    }
}

// The lookup's results reach the working copy; the saved picture is gone after the insert stage.
TEST_F(CDDBManagerTest, LookupResultsReachTheWorkingCopy) {
    CSink sink;
    CListener listener;
    CTNContent* song = Song(L"plain.mp3", 0);
    const std::wstring source = song->sourcePath;
    const std::string sourceBytes = ReadBytes(source);
    Run({song}, &sink, &listener);
    std::unique_ptr<CTNContent> out(std::move(sink.received[0]));
    const std::wstring cover = out->lookupCoverPath;
    ASSERT_TRUE(FileExists(cover));

    CDataInsertManager insert(folders_.userDataFolder);
    CSink inserted;
    insert.SetNext(&inserted);
    ASSERT_EQ(S_OK, insert.Start());
    insert.PostContent(out.release());
    ASSERT_TRUE(inserted.WaitFor(1));
    insert.Stop();
    CTNContent* copy = inserted.received[0].get();
    EXPECT_EQ(0u, copy->status);
    EXPECT_FALSE(FileExists(cover));
    EXPECT_TRUE(copy->lookupCoverPath.empty());
    EXPECT_EQ(sourceBytes, ReadBytes(source));
    std::wstring lookupId;
    EXPECT_EQ(0, ReadLookupId(&lookupId, copy->tempPath, 0));
    EXPECT_EQ(kStandinId, lookupId);
    CTNByteArray* mood = nullptr;
    ASSERT_EQ(0, ReadMoodData(&mood, copy->tempPath, 0));
    EXPECT_EQ(std::string(kStandinData, sizeof(kStandinData)), Bytes(mood));
    delete mood;
    EXPECT_TRUE(HasCoverArt(copy->tempPath, 0));
}

// The group hands its switches and listener to every member.
TEST_F(CDDBManagerTest, GroupSetsEveryMember) {
    CCDDBManagerGroup group(folders_);
    ASSERT_EQ(S_OK, group.AddManager(true));
    ASSERT_EQ(S_OK, group.AddManager(true));
    CListener listener;
    CSink sink;
    group.SetListener(&listener);
    group.SetOptionB(false);
    group.SetNext(&sink);
    ASSERT_EQ(S_OK, group.Start());
    group.PostContent(Song(L"plain.mp3", 0));
    group.PostContent(Song(L"plain.mp3", 0));
    ASSERT_TRUE(sink.WaitFor(2));
    group.Stop();
    EXPECT_EQ(4u, listener.calls.size());
    for (auto& out : sink.received) {
        EXPECT_TRUE(out->lookupCoverPath.empty());
        EXPECT_EQ(1, out->hasMoodData);
    }
}

}  // namespace
