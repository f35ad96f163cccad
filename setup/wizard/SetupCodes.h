#pragma once
// The numbers screens, frame and setup manager agree on.

namespace SetupScreen {
enum : unsigned {
    kInit = 0,
    kDualActivation = 1,
    kQuillbayRunning = 2,
    kRegConfirm = 3,
    kRegComplete = 4,
    kUserConfirm = 5,
    kEnd = 6,
    kRefreshConfirm = 7,
    kRefreshProcessing = 8,
    kRefreshNoMusic = 9,
    kArtworkConfirm = 10,
    kUnregConfirm = 11,
    kUnregComplete = 12,
    kCancel = 13,
    kError = 14,
    kCount = 15,
};
// The first screen's control id; screen n is created with kFirstPaneId + n.
constexpr unsigned kFirstPaneId = 0xE900;
}  // namespace SetupScreen

// Event codes of CUIMessage.
namespace SetupEvent {
enum : int {
    kControlsRegistered = 0,
    kShown = 2,
    kHidden = 3,
    kOk = 4,
    kCancel = 5,
    kYes = 6,
    kNo = 7,
    kRefresh = 8,
    kDeregister = 9,
    kControlMissing = 12,
    kRegistrationFailed = 13,
    kDeregistrationFailed = 14,
};
}  // namespace SetupEvent

// Kind and subtypes of CPROCMessage.
namespace SetupProgress {
constexpr int kKind = 3;
enum : int {
    kListReady = 0,
    kTransferred = 1,
    kItemDone = 2,
    kDiskFull = 3,
    kMoodStepBegin = 4,
    kMoodStepWrite = 5,
    kMoodStepDone = 6,
    kWrite = 7,
    kCannotStart = 9,
    kFailed = 10,
};
}  // namespace SetupProgress
