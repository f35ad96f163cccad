#include <gtest/gtest.h>

#include <initializer_list>

#include "tests/contents/CheckTestSupport.h"

namespace {

uint64_t Bits(std::initializer_list<int> bits) {
    uint64_t mask = 0;
    for (int bit : bits) mask |= uint64_t(1) << bit;
    return mask;
}

constexpr uint32_t kUnset = 99;

TEST(ContentsClassify, ExtensionMaskOriginAndScriptedWrites) {
    struct Case {
        const wchar_t* path;
        uint64_t first;
        uint64_t podcast;
        bool podcastOrigin;
        bool scriptedWrite;  // request kind 14
        int32_t videoTrack;
        bool accepted;
        uint32_t kind;
        uint32_t code;
    };
    const uint64_t none = 0;
    const Case cases[] = {
        {L"C:\\m\\a.mp3", Bits({1}), none, false, false, 0, true, 0, 0},
        {L"C:\\m\\a.mp3", Bits({2, 3, 4, 5}), none, false, false, 0, false, 0, 0},
        // Podcast origin reads the second mask only and makes episodes.
        {L"C:\\m\\a.mp3", none, Bits({1}), true, false, 0, true, 1, 0},
        {L"C:\\m\\a.mp3", Bits({1}), none, true, false, 0, false, 1, 0},
        {L"C:\\m\\a.wma", Bits({2}), none, false, false, 0, true, 0, 1},
        {L"C:\\m\\A.M4A", Bits({5}), none, false, false, 0, true, 0, 2},
        {L"C:\\m\\a.m4a", Bits({3}), none, false, false, 0, false, 0, 2},
        {L"C:\\m\\a.3gp", Bits({4}), none, false, false, 0, true, 0, 3},
        {L"C:\\m\\a.3gp", Bits({36}), none, false, false, 0, false, 0, 3},
        {L"C:\\m\\a.3gp", Bits({36}), none, false, false, 1, true, 3, 3},
        {L"C:\\m\\a.3gp", none, Bits({36}), true, false, 1, true, 4, 3},
        {L"C:\\m\\a.3gp", Bits({4, 36}), none, false, false, -1, false, kUnset, kUnset},
        {L"C:\\m\\a.mp4", Bits({3}), none, false, false, 0, true, 0, 4},
        {L"C:\\m\\a.mp4", Bits({5}), none, false, false, 0, false, 0, 4},
        {L"C:\\m\\a.mp4", Bits({5}), none, false, true, 0, true, 0, 4},
        {L"C:\\m\\a.mp4", Bits({33}), none, false, false, 1, true, 3, 4},
        {L"C:\\m\\a.mp4", Bits({3, 5}), none, false, false, 1, false, 3, 4},
        {L"C:\\m\\a.mp4", Bits({3, 33}), none, false, false, 2, false, kUnset, kUnset},
        {L"C:\\m\\a.wav", Bits({7}), none, false, false, 0, true, 0, 5},
        {L"C:\\m\\a.zel", Bits({8}), none, false, false, 0, true, 0, 6},
        {L"C:\\m\\a.zel", Bits({9}), none, false, false, 0, true, 0, 6},
        {L"C:\\m\\a.zq3", Bits({8}), none, false, false, 0, true, 0, 6},
        {L"C:\\m\\a.zq3", Bits({7}), none, false, false, 0, false, 0, 6},
        {L"C:\\p\\a.jpg", Bits({17}), none, false, false, 0, true, 2, 15},
        {L"C:\\p\\a.jpeg", Bits({18}), none, false, false, 0, true, 2, 16},
        {L"C:\\p\\a.jpe", Bits({19}), none, false, false, 0, true, 2, 17},
        {L"C:\\p\\a.jpeg", Bits({17, 19}), none, false, false, 0, false, 2, 16},
        {L"C:\\p\\a.jpg", none, Bits({17}), true, false, 0, true, 2, 15},
        {L"C:\\v\\a.wmv", Bits({35}), none, false, false, 0, true, 3, 18},
        {L"C:\\v\\a.m4v", Bits({34}), none, false, false, 0, true, 3, 19},
        {L"C:\\v\\a.m4v", Bits({33}), none, false, false, 0, false, 3, 19},
        {L"C:\\v\\a.wmv", none, Bits({35}), true, false, 0, true, 4, 18},
        // Not played natively, no question to ask: refused, but typed.
        {L"C:\\v\\a.mpg", Bits({35}), none, false, false, 0, false, 3, 20},
        {L"C:\\v\\a.avi", Bits({35}), none, false, false, 0, false, 3, 22},
        {L"C:\\v\\a.mp2v", Bits({35}), none, false, false, 0, false, 3, 35},
        {L"C:\\f\\a.pcast", Bits({57}), none, false, false, 0, true, 7, 37},
        {L"C:\\f\\a.opml", Bits({57}), none, false, false, 0, true, 8, 38},
        {L"C:\\f\\a.opml", none, Bits({57}), false, false, 0, false, 8, 38},
        {L"C:\\f\\a.txt", ~uint64_t(0), ~uint64_t(0), false, false, 0, false, kUnset, kUnset},
        {L"C:\\f\\mp3", ~uint64_t(0), ~uint64_t(0), false, false, 0, false, kUnset, kUnset},
    };
    CheckFixture fixture;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.path, c.path + wcslen(c.path)) << " first=" << std::hex
                                        << c.first << " podcast=" << c.podcast << " origin=" << c.podcastOrigin
                                        << " kind14=" << c.scriptedWrite << " video=" << c.videoTrack);
        fixture.manager.SetFileTypeMasks(c.first, c.podcast);
        fixture.probe.videoTrack = c.videoTrack;
        CTNContent content(0, kUnset);
        content.fileType = kUnset;
        content.replaceExisting = c.scriptedWrite ? 1 : 0;
        EXPECT_EQ(c.accepted, fixture.manager.IsTransferableFile(c.podcastOrigin, c.path, &content));
        EXPECT_EQ(c.kind, content.kind);
        EXPECT_EQ(c.code, content.fileType);
    }
}

TEST(ContentsClassify, WithoutACoordinatorNothingIsTransferable) {
    CContentsManager manager;
    manager.SetFileTypeMasks(~uint64_t(0), ~uint64_t(0));
    CTNContent content(0, 0);
    EXPECT_FALSE(manager.IsTransferableFile(false, L"C:\\a.mp3", &content));
}

// A file deeper than MAX_PATH keeps its type: only its name is looked at.
TEST(ContentsClassify, DeepPathsAreTypedByTheirName) {
    CheckFixture fixture;
    fixture.manager.SetFileTypeMasks(Bits({1}), 0);
    std::wstring deep = L"C:\\";
    for (int i = 0; i < 40; ++i) deep += L"folder_with_a_long_name\\";
    CTNContent content(0, 0);
    EXPECT_TRUE(fixture.manager.IsTransferableFile(false, deep + L"song.mp3", &content));
}

// The classification's video check for a movie the player does not play natively.
TEST(ContentsClassify, VideoCheckAsksOnceAndRemembersTheAnswer) {
    enum Listener { kNone, kYes, kNo };
    struct Case {
        const char* name;
        const wchar_t* path;
        uint64_t mask;
        bool flagBefore;
        bool cautionSetting;
        Listener listener;
        bool accepted;
        bool marked;
        bool flagAfter;
        int questions;
    };
    const uint64_t convertible = Bits({35});
    const Case cases[] = {
        {"played natively", L"a.mp4", Bits({33}), false, false, kNo, true, false, false, 0},
        {"no conversion format", L"a.avi", Bits({33, 34, 36}), true, false, kYes, false, false, true, 0},
        {"agreed before, caution off", L"a.avi", convertible, true, true, kNo, true, true, true, 0},
        {"agreed before, no listener", L"a.avi", convertible, true, false, kNone, true, true, true, 0},
        {"agreed before, yes again", L"a.avi", convertible, true, false, kYes, true, true, true, 1},
        {"agreed before, now no", L"a.mov", convertible, true, false, kNo, false, false, false, 1},
        {"caution off, never asked", L"a.avi", convertible, false, true, kYes, false, false, false, 0},
        {"no listener", L"a.flv", convertible, false, false, kNone, false, false, false, 0},
        {"first yes", L"a.avi", convertible, false, false, kYes, true, true, true, 1},
        {"first no", L"a.avi", convertible, false, false, kNo, false, false, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckFixture fixture;
        fixture.probe.videoTrack = 1;
        fixture.manager.SetFileTypeMasks(c.mask, 0);
        fixture.manager.SetMovieCautionFlag(c.flagBefore);
        fixture.SetMovieConvertCaution(c.cautionSetting ? 1 : 0);
        fixture.listener.movieAnswer = c.listener == kYes ? 1 : 0;
        if (c.listener != kNone) fixture.manager.SetListener(&fixture.listener);
        CTNContent content(0, 0);
        EXPECT_EQ(c.accepted, fixture.manager.IsTransferableFile(false, c.path, &content));
        EXPECT_EQ(c.marked ? 1 : 0, content.skip);
        EXPECT_EQ(c.marked ? 0 : 1, content.passUnconverted);
        EXPECT_EQ(c.flagAfter, fixture.manager.MovieCautionFlag());
        EXPECT_EQ(c.questions, fixture.listener.movieQuestions.load());
    }
}

}  // namespace
