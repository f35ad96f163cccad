#include <gtest/gtest.h>

#include "library/analysis/AnalysisMerge.h"
#include "library/analysis/VexalChecker.h"
#include "tests/analysis/AnalysisTestSupport.h"

namespace {

class VexalCheckerTest : public CAnalysisSuite {
protected:
    void SetUp() override {
        CAnalysisSuite::SetUp();
        checker_.SetNext(&end_);
        ASSERT_EQ(S_OK, checker_.Start());
    }
    void TearDown() override {
        checker_.Stop();
        CAnalysisSuite::TearDown();
    }

    CTNContent* Check(uint32_t kind, const std::wstring& path, uint32_t mediaType) {
        CTNContent* content = new CTNContent(0, kind);
        content->sourcePath = path;
        content->fileType = mediaType;
        content->writeLookupId = 1;
        content->replaceExisting = 1;
        return Check(content);
    }
    CTNContent* Check(CTNContent* content) {
        const size_t before = end_.Count();
        checker_.PostContent(content);
        EXPECT_TRUE(end_.WaitFor(before + 1, 20000));
        return end_.At(before);
    }

    CVexalChecker checker_;
    CKeepingEnd end_;
};

CTNByteArray* Bytes(const std::vector<uint8_t>& bytes) {
    CTNByteArray* array = CTNByteArray::Create(static_cast<uint32_t>(bytes.size()));
    array->SetData(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return array;
}

std::vector<uint8_t> Record(const char tag[5], size_t length) {
    std::vector<uint8_t> record(tag, tag + 4);
    record.resize(19, 0);
    record.push_back(static_cast<uint8_t>(length));
    record.resize(20 + length, 0x5A);
    return record;
}

}  // namespace

TEST_F(VexalCheckerTest, TagsGiveTheLookupIdAndAPayloadTheEngineDoesNotAccept) {
    // The fixture's payload has no STBF record: the simulated engine does not accept it.
    CTNContent* song = Check(CTNContent::kSong, MediaprobeFixture(L"tagged.mp3"), 0);
    ASSERT_NE(nullptr, song);
    EXPECT_EQ(L"LOOKUP-Mp3-0001", song->lookupId);
    EXPECT_EQ(0, song->writeLookupId);
    ASSERT_NE(nullptr, song->byteArray);
    EXPECT_EQ(48u, song->byteArray->length);
    EXPECT_EQ(0, song->hasMoodData);
    EXPECT_EQ(1, song->replaceExisting);
}

TEST_F(VexalCheckerTest, AnAcceptedPayloadMarksTheSongAnalysedAndDropsItsWorkingCopy) {
    SetScript(L"check=1");
    CFixtureCopy copy(MediaprobeFixture(L"tagged.mp3"), L".dat");
    CTNContent* content = new CTNContent(0, CTNContent::kSong);
    content->sourcePath = MediaprobeFixture(L"tagged.mp3");
    content->tempPath = copy.Path();
    content->replaceExisting = 1;
    CTNContent* song = Check(content);
    EXPECT_EQ(1, song->hasMoodData);
    EXPECT_EQ(0, song->replaceExisting);
    EXPECT_EQ(nullptr, song->byteArray);
    EXPECT_TRUE(song->tempPath.empty());
    EXPECT_FALSE(copy.Exists());
}

TEST_F(VexalCheckerTest, OnlySongsAreCheckedButWmaPayloadsAreAlwaysTaken) {
    SetScript(L"check=1");
    CTNContent* video = Check(CTNContent::kVideo, MediaprobeFixture(L"tagged.mp3"), 0);
    EXPECT_TRUE(video->lookupId.empty());
    EXPECT_EQ(1, video->writeLookupId);
    EXPECT_EQ(nullptr, video->byteArray);
    EXPECT_EQ(0, video->hasMoodData);

    CTNContent* wmaVideo = Check(CTNContent::kVideo, MediaprobeFixture(L"tagged.wma"), 1);
    ASSERT_NE(nullptr, wmaVideo->byteArray);
    EXPECT_EQ(48u, wmaVideo->byteArray->length);
    EXPECT_EQ(0, wmaVideo->hasMoodData);

    CTNContent* plain = Check(CTNContent::kSong, MediaprobeFixture(L"plain.mp3"), 0);
    EXPECT_TRUE(plain->lookupId.empty());
    EXPECT_EQ(nullptr, plain->byteArray);
}

TEST_F(VexalCheckerTest, DisabledOrWithoutAnEngineTheSongStillNeedsAnalysis) {
    SetScript(L"check=1");
    checker_.SetEnabled(false);
    CTNContent* disabled = Check(CTNContent::kSong, MediaprobeFixture(L"tagged.mp3"), 0);
    EXPECT_EQ(nullptr, disabled->byteArray);
    EXPECT_EQ(0, disabled->hasMoodData);
    EXPECT_EQ(L"LOOKUP-Mp3-0001", disabled->lookupId);

    checker_.SetEnabled(true);
    SetEngineInstalled(false);
    CTNContent* noEngine = Check(CTNContent::kSong, MediaprobeFixture(L"tagged.mp3"), 0);
    SetEngineInstalled(true);
    EXPECT_EQ(0, noEngine->hasMoodData);
    ASSERT_NE(nullptr, noEngine->byteArray);
}

TEST_F(VexalCheckerTest, MergeKeepsEveryRecordButTheEnginesOwn) {
    std::unique_ptr<CTNByteArray> old(Bytes(Record("STSA", 4)));
    std::vector<uint8_t> fresh = Record("GMMD", 8);
    const std::vector<uint8_t> stbf = Record("STBF", 36);
    fresh.insert(fresh.end(), stbf.begin(), stbf.end());
    std::unique_ptr<CTNByteArray> result(Bytes(fresh));
    CTNByteArray* merged = nullptr;
    ASSERT_EQ(S_OK, MergeAnalysisData(old.get(), result.get(), &merged));
    std::unique_ptr<CTNByteArray> owned(merged);
    const auto records = PayloadRecords(merged);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("STBF", records[0].first);
    EXPECT_EQ("STSA", records[1].first);

    // Without GMMD records the engine's merge stays as it is.
    CTNByteArray* plain = nullptr;
    std::unique_ptr<CTNByteArray> stbfOnly(Bytes(stbf));
    ASSERT_EQ(S_OK, MergeAnalysisData(old.get(), stbfOnly.get(), &plain));
    std::unique_ptr<CTNByteArray> ownedPlain(plain);
    EXPECT_EQ(stbf.size() + 24u, plain->length);

    EXPECT_EQ(E_INVALIDARG, MergeAnalysisData(nullptr, result.get(), &merged));
    EXPECT_EQ(E_INVALIDARG, MergeAnalysisData(old.get(), nullptr, &merged));
    EXPECT_EQ(E_INVALIDARG, MergeAnalysisData(old.get(), result.get(), nullptr));
}
