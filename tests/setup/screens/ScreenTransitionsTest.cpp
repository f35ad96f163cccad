#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/ui/UiProgressCtrl.h"
#include "platform/ui/UiStatic.h"
#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/FormatHResultText.h"
#include "setup/screens/ScreenBase.h"
#include "setup/screens/SetupScreens.h"
#include "setup/wizard/SetupCodes.h"
#include "setup/wizard/SetupMessages.h"
#include "tests/setup/screens/FakeSetupFrame.h"
#include "tests/setup/screens/FakeSetupManager.h"

namespace {

using Calls = std::vector<std::string>;

std::wstring EnglishString(UINT id) {
    const LANGID before = GetThreadUILanguage();
    const LCID localeBefore = GetThreadLocale();
    SetThreadUILanguage(0x0409);
    SetThreadLocale(MAKELCID(0x0409, SORT_DEFAULT));
    std::wstring text = LoadHalvixString(LoadHalvixStringModule(), id);
    SetThreadUILanguage(before);
    SetThreadLocale(localeBefore);
    return text;
}

// The frame's transitions over a fake manager, with the controls the screens would register
// made as plain hidden controls.
class ScreenTransitionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        SetThreadUILanguage(0x0409);
        SetThreadLocale(MAKELCID(0x0409, SORT_DEFAULT));
        parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        const RECT line = {0, 0, 300, 20};
        ASSERT_TRUE(caution_.Create(L"", WS_CHILD, line, parent_, 1));
        ASSERT_TRUE(counter_.Create(L"", WS_CHILD, line, parent_, 2));
        ASSERT_TRUE(errorLine_.Create(L"", WS_CHILD, line, parent_, 3));
        ASSERT_TRUE(modelLine_.Create(L"", WS_CHILD, line, parent_, 4));
        ASSERT_TRUE(progress_.Create(WS_CHILD, line, parent_, 5));
        // Every screen registers its controls once it is made, as the real screens do.
        for (unsigned screen = 0; screen < SetupScreen::kCount; ++screen) {
            CUiControl* first = nullptr;
            CUiControl* second = nullptr;
            if (screen == SetupScreen::kRegConfirm) first = &modelLine_;
            if (screen == SetupScreen::kUserConfirm) first = &caution_;
            if (screen == SetupScreen::kRefreshProcessing) first = &progress_, second = &counter_;
            if (screen == SetupScreen::kError) first = &errorLine_;
            frame_.OnUIEvent(first, second, screen, SetupEvent::kControlsRegistered, 0);
        }
        frame_.Drain(screens_);
        frame_.shown.clear();
    }
    void TearDown() override {
        if (parent_ != nullptr) DestroyWindow(parent_);
    }

    void Click(unsigned screen, int event) {
        frame_.OnUIEvent(nullptr, nullptr, screen, event, 0);
        frame_.Drain(screens_);
    }
    void Progress(int subtype, int value = 0, const wchar_t* text = nullptr) {
        frame_.OnProcEvent(value, 0, SetupProgress::kKind, subtype, text, 0);
        frame_.Drain(screens_);
    }
    int Position() const { return static_cast<int>(SendMessageW(progress_.Hwnd(), PBM_GETPOS, 0, 0)); }
    int RangeHigh() const { return static_cast<int>(SendMessageW(progress_.Hwnd(), PBM_GETRANGE, FALSE, 0)); }

    CFakeSetupManager manager_;
    CFakeSetupFrame frame_{&manager_};
    CSetupScreens screens_;
    HWND parent_ = nullptr;
    CUiStatic caution_, counter_, errorLine_, modelLine_;
    CUiProgressCtrl progress_;
};

}  // namespace

TEST_F(ScreenTransitionsTest, TheRoadsThroughTheScreensFollowTheButtons) {
    struct Step {
        int event;
        unsigned expectedScreen;
    };
    struct Road {
        const char* name;
        unsigned start;
        bool ownBrand;
        bool holdsSongs;
        std::vector<Step> steps;
        Calls calls;
        bool closes;
    };
    using namespace SetupScreen;
    using SetupEvent::kDeregister, SetupEvent::kNo, SetupEvent::kOk, SetupEvent::kRefresh, SetupEvent::kYes;
    const Road roads[] = {
        {"register, then refresh with artwork", kRegConfirm, false, true,
         {{kOk, kRegComplete}, {kOk, kRefreshConfirm}, {kYes, kArtworkConfirm}, {kYes, kRefreshProcessing}},
         {"ToggleDeviceRegistration", "SetArtworkLookup on", "PlayerHoldsSongs", "SetSongsPresent yes",
          "StartRefreshThread"},
         false},
        {"register an own-brand player after its caution", kRegConfirm, true, true,
         {{kOk, kUserConfirm}, {kOk, kRegComplete}, {kOk, kRefreshConfirm}},
         {"ToggleDeviceRegistration"},
         false},
        {"refresh a registered player without artwork, no songs", kUnregConfirm, false, false,
         {{kRefresh, kArtworkConfirm}, {kNo, kRefreshNoMusic}, {kOk, kEnd}, {kOk, kEnd}},
         {"SetArtworkLookup off", "PlayerHoldsSongs", "SetSongsPresent no"},
         true},
        {"deregister", kUnregConfirm, false, true, {{kDeregister, kUnregComplete}, {kOk, kUnregComplete}},
         {"ToggleDeviceRegistration"}, true},
        {"decline the refresh", kRefreshConfirm, false, true, {{kNo, kEnd}, {kOk, kEnd}}, {}, true},
        {"another wizard runs", kDualActivation, false, true, {{kOk, kDualActivation}}, {}, true},
        {"the main program runs", kQuillbayRunning, false, true, {{kOk, kQuillbayRunning}}, {}, true},
        {"finish after an abort", SetupScreen::kCancel, false, true, {{kOk, SetupScreen::kCancel}}, {}, true},
        {"finish after an error", kError, false, true, {{kOk, kError}}, {}, true},
        {"buttons a screen does not have do nothing", kRegComplete, false, true,
         {{kYes, kRegComplete}, {kRefresh, kRegComplete}, {kDeregister, kRegComplete}}, {}, false},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        manager_.calls.clear();
        manager_.holdsSongs = road.holdsSongs;
        frame_.State().ownBrand = road.ownBrand;
        frame_.closed = false;
        frame_.SetCurrent(road.start);
        for (const Step& step : road.steps) {
            Click(frame_.CurrentScreen(), step.event);
            EXPECT_EQ(frame_.CurrentScreen(), step.expectedScreen) << "after event " << step.event;
        }
        EXPECT_EQ(manager_.calls, road.calls);
        EXPECT_EQ(frame_.closed, road.closes);
    }
}

TEST_F(ScreenTransitionsTest, TheOwnBrandCautionCarriesTheConversionNote) {
    frame_.State().ownBrand = true;
    frame_.SetCurrent(SetupScreen::kRegConfirm);
    Click(SetupScreen::kRegConfirm, SetupEvent::kOk);
    EXPECT_EQ(frame_.CurrentScreen(), SetupScreen::kUserConfirm);
    EXPECT_TRUE(manager_.calls.empty()) << "nothing is registered before the user agrees";
    EXPECT_EQ(caution_.GetText(),
              EnglishString(IDS_SETUP_OWN_BRAND_CAUTION) + L"\r\n" + EnglishString(IDS_SETUP_M4A_CONVERSION));
}

TEST_F(ScreenTransitionsTest, CancelLeadsToTheAbortScreenFromAnyScreenAndStopsOnlyARefresh) {
    using namespace SetupScreen;
    for (unsigned screen : {kRegConfirm, kUserConfirm, kRefreshProcessing, kUnregConfirm}) {
        SCOPED_TRACE(screen);
        manager_.calls.clear();
        frame_.SetCurrent(screen);
        Click(screen, SetupEvent::kCancel);
        EXPECT_EQ(frame_.CurrentScreen(), kCancel);
        const Calls expected = screen == kRefreshProcessing ? Calls{"StopRefresh", "DeleteCacheFiles"} : Calls{};
        EXPECT_EQ(manager_.calls, expected);
    }
    // A Cancel still queued from a screen that is no longer shown is honoured all the same.
    manager_.calls.clear();
    frame_.SetCurrent(kEnd);
    Click(kRefreshProcessing, SetupEvent::kCancel);
    EXPECT_EQ(frame_.CurrentScreen(), kCancel);
    EXPECT_EQ(manager_.calls, (Calls{"StopRefresh", "DeleteCacheFiles"}));
}

TEST_F(ScreenTransitionsTest, AnEventOfAScreenNoLongerShownDoesNothing) {
    frame_.SetCurrent(SetupScreen::kRegComplete);
    // Two clicks on OK queued before the first is handled.
    frame_.OnUIEvent(nullptr, nullptr, SetupScreen::kRegComplete, SetupEvent::kOk, 0);
    frame_.OnUIEvent(nullptr, nullptr, SetupScreen::kRegComplete, SetupEvent::kOk, 0);
    frame_.Drain(screens_);
    EXPECT_EQ(frame_.shown, (std::vector<unsigned>{SetupScreen::kRefreshConfirm}));
    EXPECT_FALSE(frame_.closed);
}

TEST_F(ScreenTransitionsTest, AFailedRegistrationToggleShowsTheErrorScreenWithTheSystemsText) {
    struct FailureCase {
        unsigned screen;
        int event;
        bool ownBrand;
    };
    const FailureCase cases[] = {
        {SetupScreen::kRegConfirm, SetupEvent::kOk, false},
        {SetupScreen::kUserConfirm, SetupEvent::kOk, true},
        {SetupScreen::kUnregConfirm, SetupEvent::kDeregister, false},
    };
    manager_.toggleResult = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    const std::wstring systemText = FormatHResultText(manager_.toggleResult);
    ASSERT_FALSE(systemText.empty());
    for (const FailureCase& failure : cases) {
        SCOPED_TRACE(failure.screen);
        frame_.State().ownBrand = failure.ownBrand;
        frame_.State().errorText.clear();
        errorLine_.SetText(L"");
        frame_.SetCurrent(failure.screen);
        frame_.shown.clear();
        Click(failure.screen, failure.event);
        EXPECT_EQ(frame_.shown, (std::vector<unsigned>{SetupScreen::kError}));
        EXPECT_EQ(frame_.State().errorText, systemText);
        EXPECT_EQ(errorLine_.GetText(), systemText);
    }
}

TEST_F(ScreenTransitionsTest, AnErrorFromAScreenNotShownStillLeadsToTheErrorScreen) {
    frame_.SetCurrent(SetupScreen::kRefreshProcessing);
    frame_.OnUIEvent(nullptr, nullptr, SetupScreen::kUnregConfirm, SetupEvent::kDeregistrationFailed, 1);
    frame_.Drain(screens_);
    EXPECT_EQ(frame_.CurrentScreen(), SetupScreen::kError);
    EXPECT_TRUE(manager_.calls.empty());
}

TEST_F(ScreenTransitionsTest, AScreenMissingAControlTheFrameNeedsLeadsToTheErrorScreen) {
    struct MissingCase {
        unsigned screen;
        bool firstPresent;
        bool secondPresent;
        bool error;
    };
    const MissingCase cases[] = {
        {SetupScreen::kRegConfirm, false, false, true},
        {SetupScreen::kUserConfirm, false, false, true},
        {SetupScreen::kRefreshProcessing, true, false, true},
        {SetupScreen::kRefreshProcessing, false, true, true},
        {SetupScreen::kRefreshProcessing, true, true, false},
        {SetupScreen::kError, false, false, true},
        {SetupScreen::kEnd, false, false, false},
    };
    for (const MissingCase& entry : cases) {
        SCOPED_TRACE(testing::Message() << "screen " << entry.screen << ", controls " << entry.firstPresent
                                        << entry.secondPresent);
        frame_.SetCurrent(SetupScreen::kInit);
        frame_.OnUIEvent(entry.firstPresent ? &progress_ : nullptr, entry.secondPresent ? &counter_ : nullptr,
                         entry.screen, SetupEvent::kControlsRegistered, 0);
        frame_.Drain(screens_);
        EXPECT_EQ(frame_.CurrentScreen(), entry.error ? SetupScreen::kError : SetupScreen::kInit);
    }
}

TEST_F(ScreenTransitionsTest, ThreeSongsCountOnceWrittenAndOnceFinishedAndEndWhenThePipelineIsDone) {
    frame_.SetCurrent(SetupScreen::kRefreshProcessing);
    Progress(SetupProgress::kListReady, 3);
    EXPECT_EQ(RangeHigh(), 6);
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(counter_.GetText(), L"0 / 3 complete");
    EXPECT_EQ(manager_.calls, (Calls{"StartWriteThread"}));

    struct Step {
        int subtype;
        int position;
        const wchar_t* counter;
        unsigned screen;
    };
    const Step steps[] = {
        {SetupProgress::kMoodStepDone, 1, L"0 / 3 complete", SetupScreen::kRefreshProcessing},
        {SetupProgress::kTransferred, 2, L"1 / 3 complete", SetupScreen::kRefreshProcessing},
        {SetupProgress::kMoodStepDone, 3, L"1 / 3 complete", SetupScreen::kRefreshProcessing},
        {SetupProgress::kItemDone, 4, L"2 / 3 complete", SetupScreen::kRefreshProcessing},
        // Steps that report no finished song change nothing.
        {SetupProgress::kMoodStepBegin, 4, L"2 / 3 complete", SetupScreen::kRefreshProcessing},
        {SetupProgress::kMoodStepWrite, 4, L"2 / 3 complete", SetupScreen::kRefreshProcessing},
        {SetupProgress::kWrite, 4, L"2 / 3 complete", SetupScreen::kRefreshProcessing},
        // The third song leaves the pipeline before its mood step is counted: the refresh ends.
        {SetupProgress::kTransferred, 5, L"2 / 3 complete", SetupScreen::kEnd},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.subtype);
        Progress(step.subtype, 77, L"C:\\cache\\song.mp3");
        EXPECT_EQ(Position(), step.position);
        EXPECT_EQ(counter_.GetText(), step.counter);
        EXPECT_EQ(frame_.CurrentScreen(), step.screen);
    }
    EXPECT_EQ(frame_.State().songsWritten, 2);
    EXPECT_EQ(frame_.State().songsAnalysed, 3);
    // Each written song's working copy goes on through the pipeline.
    EXPECT_EQ(manager_.analysedFiles, (std::vector<std::wstring>{L"C:\\cache\\song.mp3", L"C:\\cache\\song.mp3"}));
}

TEST_F(ScreenTransitionsTest, ARefreshOfFortyThousandSongsMovesTheBarToTheEnd) {
    frame_.SetCurrent(SetupScreen::kRefreshProcessing);
    constexpr int kSongs = 40000;
    Progress(SetupProgress::kListReady, kSongs);
    // A 16-bit range would have wrapped 80,000 to 14,464.
    EXPECT_EQ(RangeHigh(), 2 * kSongs);
    int last = Position();
    bool monotonic = true;
    for (int song = 0; song < kSongs; ++song) {
        Progress(SetupProgress::kMoodStepDone, 0, L"song");
        Progress(SetupProgress::kTransferred);
        const int position = Position();
        monotonic = monotonic && position == last + 2;
        last = position;
        if (song == kSongs / 2 - 1) {
            EXPECT_EQ(position, kSongs);
            EXPECT_EQ(counter_.GetText(), L"20000 / 40000 complete");
        }
    }
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(Position(), 2 * kSongs);
    EXPECT_EQ(counter_.GetText(), L"40000 / 40000 complete");
    EXPECT_EQ(frame_.CurrentScreen(), SetupScreen::kEnd);
}

TEST_F(ScreenTransitionsTest, ARefreshThatCannotStartOrFailsLeadsToTheErrorScreen) {
    struct FailureCase {
        const char* name;
        int subtype;
        int value;
        bool withProgress;
        Calls calls;
    };
    const FailureCase cases[] = {
        {"no songs listed", SetupProgress::kListReady, 0, true, {}},
        {"a negative count", SetupProgress::kListReady, -5, true, {}},
        {"no progress bar", SetupProgress::kListReady, 10, false, {}},
        {"the player is full", SetupProgress::kDiskFull, 0, true, {"StopRefresh", "DeleteCacheFiles"}},
    };
    for (const FailureCase& failure : cases) {
        SCOPED_TRACE(failure.name);
        manager_.calls.clear();
        frame_.State().progress = failure.withProgress ? &progress_ : nullptr;
        frame_.SetCurrent(SetupScreen::kRefreshProcessing);
        Progress(failure.subtype, failure.value);
        EXPECT_EQ(frame_.CurrentScreen(), SetupScreen::kError);
        EXPECT_EQ(manager_.calls, failure.calls);
    }
}

TEST_F(ScreenTransitionsTest, ProgressQueuedBeforeACancelledRefreshStoppedChangesNothing) {
    frame_.SetCurrent(SetupScreen::kRefreshProcessing);
    Progress(SetupProgress::kListReady, 2);
    Progress(SetupProgress::kTransferred);
    Click(SetupScreen::kRefreshProcessing, SetupEvent::kCancel);
    ASSERT_EQ(frame_.CurrentScreen(), SetupScreen::kCancel);
    manager_.calls.clear();
    // Still queued from the refresh's threads: the last song, a full player, an empty list.
    Progress(SetupProgress::kMoodStepDone, 0, L"song");
    Progress(SetupProgress::kTransferred);
    Progress(SetupProgress::kDiskFull);
    Progress(SetupProgress::kListReady, 0);
    EXPECT_EQ(frame_.CurrentScreen(), SetupScreen::kCancel);
    EXPECT_EQ(frame_.State().songsAnalysed, 1);
    EXPECT_TRUE(manager_.calls.empty());
}

TEST_F(ScreenTransitionsTest, ProgressOfAnotherKindIsIgnored) {
    frame_.SetCurrent(SetupScreen::kRefreshProcessing);
    frame_.OnProcEvent(5, 0, 2, SetupProgress::kListReady, nullptr, 0);
    frame_.OnProcEvent(0, 0, 1, SetupProgress::kTransferred, nullptr, 0);
    frame_.Drain(screens_);
    EXPECT_EQ(frame_.State().totalSongs, 0);
    EXPECT_EQ(frame_.State().songsAnalysed, 0);
    EXPECT_EQ(frame_.CurrentScreen(), SetupScreen::kRefreshProcessing);
    EXPECT_TRUE(manager_.calls.empty());
}

TEST(FormatHResultTextTest, NamesAKnownFailureAndNothingForAnUnknownOne) {
    EXPECT_FALSE(FormatHResultText(E_OUTOFMEMORY).empty());
    EXPECT_TRUE(FormatHResultText(static_cast<HRESULT>(0xA0FF1234)).empty());
}
