#pragma once
// The one object that joins the program's parts: owns every stage of the content chain, links,
// starts and stops them, and turns their reports into window updates and automation events.

#include <windows.h>
#undef GetFreeSpace
#include <oleauto.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/coordinator/AutomationEvents.h"
#include "app/coordinator/COMManagerListener.h"
#include "app/coordinator/CoordinatorDialogs.h"
#include "app/coordinator/MainFrameListener.h"
#include "app/coordinator/MainFrameView.h"
#include "app/coordinator/ProgramLauncher.h"
#include "app/coordinator/SyncFileLists.h"
#include "library/analysis/AnalysisManagerGroup.h"
#include "library/analysis/VexalChecker.h"
#include "library/cdlookup/CDDBManagerGroup.h"
#include "library/content/ThreadBase.h"
#include "library/contents/ContentsManager.h"
#include "library/contents/QBCommonManagerBase.h"
#include "library/datainsert/DataInsertManager.h"
#include "library/media/convert/MovieConvertManager.h"
#include "library/transfer/TransferManager.h"
#include "library/util/ScopedWin.h"

class CQBCommonManager : public CThreadBase,
                         public CQBCommonManagerBase,
                         public CContentsManager::IListener,
                         public CMovieConvertManager::IListener,
                         public CAnalysisManager::IListener,
                         public CTransferManager::IListener,
                         public IMainFrameListener,
                         public ICOMManagerListener,
                         public CCDDBManager::IListener {
public:
    // Where the stages reach outside components; empty fields mean the program's own.
    struct Options {
        const CTransferManager::Controllers* controllers = nullptr;
        std::unique_ptr<IQBCONVMovie> converter;
        CCDDBManager::CFolders lookupFolders;
        std::wstring dataFolder;
    };
    // Kinds of the kind flags.
    enum Kind : int { kKindAudio = 0, kKindImage = 1, kKindVideo = 2, kKindFeeds = 3, kKindMtp = 4, kKindCount = 5 };
    // The file-type masks the contents manager classifies by (32 bits each).
    struct FileTypeMasks {
        uint32_t audio = 0;
        uint32_t video = 0;
        uint32_t feedAudio = 0;
        uint32_t feedVideo = 0;
    };
    struct WmvFormat {
        uint32_t width = 320;
        uint32_t height = 240;
        uint32_t videoBitRate = 0;
        uint32_t audioBitRate = 0;
    };

    CQBCommonManager();
    explicit CQBCommonManager(Options options);
    ~CQBCommonManager() override;

    // Set before Initialize; none is owned. Without a window, events or dialogs the steps that
    // need them are skipped.
    void SetMainFrame(IMainFrameView* frame) { frame_ = frame; }
    void SetAutomationEvents(IAutomationEvents* events) { events_ = events; }
    void SetDialogs(ICoordinatorDialogs* dialogs) { dialogs_ = dialogs; }
    void SetLauncher(IProgramLauncher* launcher) { launcher_ = launcher ? launcher : &shellLauncher_; }
    // The per-device list files; lists kept in memory unless set.
    void SetSyncFileLists(ISyncFileLists* lists) { syncLists_ = lists ? lists : &memorySyncLists_; }
    // The language module; message boxes and report headings need it.
    void SetResourceModule(HMODULE module) { resourceModule_ = module; }
    void SetStartedByAutomation(bool byAutomation) { startedByAutomation_ = byAutomation; }
    // The program's version text, passed to the update checker.
    void SetFileVersion(const std::wstring& version) { fileVersion_ = version; }
    // Today's local time for the update check; the system clock unless set.
    void SetClock(SYSTEMTIME (*localNow)()) { localNow_ = localNow; }

    HRESULT Initialize();
    // Safe to call more than once.
    void Shutdown();
    // Which stage did what, for tests of the start and stop order.
    const std::vector<std::wstring>& LifecycleLog() const { return lifecycleLog_; }

    // Runs.
    bool CancelRun(bool endReport);
    bool OnRunFinished();
    int WriteRunReport();
    std::wstring GetRunReport();
    void ShowLogDialog();
    // Device checks.
    void OnDeviceStateChanged();
    int GetLastDeviceState() const { return lastDeviceState_; }
    void BuildFileTypeTable();
    FileTypeMasks GetFileTypeMasks() const { return masks_; }
    void BuildDeviceDescription(int state, int32_t extra);
    void ApplyAnalysisMode();
    // The analysis flag the last ApplyAnalysisMode gave the stages.
    bool AnalysisModeOn() const { return analysisOn_; }
    bool IsRavelinSupported();
    WmvFormat GetWmvVideoFormat();
    // Other programs.
    void CheckAutoUpdate();
    void LaunchUpdateChecker(bool automatic);
    bool LaunchSetup();
    static HRESULT LoadDefaultCapabilityXml(BYTE* buffer, DWORD* size);
    // Dialogs.
    void OpenSettingsSheet(bool forAutomation);
    void OpenDeleteDialogNow(int32_t kind);
    void OpenSyncSelectDialog(int32_t kind);

    // Sync file lists of kinds 0 music, 2 movie, 3 podcast, each touched under the coordinator lock.
    void AppendSyncFile(int32_t kind, const std::wstring& path);
    void ClearSyncFileList(int32_t kind);

    // The stages, for the windows and tests.
    CContentsManager& ContentsStage() { return contents_; }
    CTransferManager& TransferStage() { return transfer_; }
    CMovieConvertManager& MovieConvertStage() { return movieConvert_; }
    CDataInsertManager& DataInsertStage() { return dataInsert_; }
    CAnalysisManagerGroup& AnalysisStage() { return analysisGroup_; }
    CCDDBManagerGroup& LookupStage() { return lookupGroup_; }
    CVexalChecker& CheckerStage() { return checker_; }

    // CQBCommonManagerBase
    void UpdateProgress(int32_t value) override;
    void NotifyItemDone() override;
    void CheckTransferFinished() override;
    void OnAnalysisNotice(CTNContent* content) override;
    void NotifyEnd() override;
    void GetSyncFileList(int kind, std::vector<std::wstring>* list) override;
    void SetFrameBusy(int32_t busy) override;
    bool DeviceRequest(CTNContent* content, std::wstring* existingPath) override;
    bool IsBusy() override;
    bool GetSyncSwitch(int kind) override;
    bool FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                const std::wstring& extension, int type, int index, int filter) override;
    bool FindPlaybackCapabilityFor(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                   const std::wstring& extension, int type, int filter) override;
    int32_t GetFrameLayout(const std::wstring& path, int32_t* width, int32_t* height) override;

    // CContentsManager::IListener
    void OnContentsProgress() override;
    void OnPodcastCaution() override;
    void OnSyncFileAdded(int32_t listKind, std::wstring path) override;
    int32_t OnMovieCaution() override;

    // CMovieConvertManager::IListener
    void OnConvertStart(std::wstring fileName) override;
    void OnConvertProgress(std::wstring fileName, int32_t percent) override;
    void OnConvertEnd(std::wstring fileName) override;

    // CAnalysisManager::IListener
    void OnAnalysisProgress(int state, int reserved1, int reserved2, bool failed) override;

    // CTransferManager::IListener
    void OnContentProcessed() override;
    void OnDeviceContents(uint64_t folder0, uint64_t folder1, uint64_t folder2, uint64_t folder3,
                          uint64_t folder4Files, uint64_t freeBytes, uint64_t capacity) override;
    void OnContentDeleted(int status) override;
    void OnDeleteFinished(int status, CQBTreeNode* root) override;
    void OnFolderTree(int status, CQBTreeNode* root) override;
    void OnDiskFull() override;
    void OnWriteProgress(uint32_t bytesWritten, uint32_t bytesTotal) override;
    void OnContentResult(int listKind, std::wstring sourcePath) override;
    void OnMoodChannelStep(const wchar_t* path) override;
    void OnMoodChannelDone(const wchar_t* path) override;
    void OnDeviceWarning() override;

    // IMainFrameListener
    void OnDrop(IDataObject* data) override;
    void OnCancel(int32_t endReport) override;
    void OnSettingsChanged() override;
    void OnRefreshDevice() override;
    void OnStartSync() override;

    // ICOMManagerListener
    void OnInvoke(int32_t* result) override;
    void GetHelpFile(BSTR* path) override;
    void GetSyncSwitches(BSTR* switches) override;
    void GetMyComputerPath(BSTR* path) override;
    void Transfer(BSTR value, int32_t fileType, int32_t basePathLength, int32_t* result) override;
    void CancelTransfer(int32_t* result) override;
    void UpdateSetting(BSTR flags) override;
    void UpdateAnalysisMode(int32_t mode) override;
    void OpenDeleteDialog(int32_t mediaId) override;
    void FireSpace() override;
    void UpdateSetting2(int32_t analysisMode, BSTR syncFolders, int32_t autoSync) override;
    void OpenLogFile() override;
    void OpenSyncDialog(int32_t mediaId) override;
    void StartSync() override;
    void OpenSettingDialog() override;

    // CCDDBManager::IListener
    void OnLookupProgress(int32_t state, bool found, int32_t reserved) override;

protected:
    void OnMessage(CThreadMessage*) override {}

private:
    enum RunOpening { kOpenDrop, kOpenTransfer, kOpenSync };
    struct RunRequest {
        IDataObject* data = nullptr;
        std::wstring value;
        int32_t fileType = 0;
        int32_t basePathLength = 0;
    };

    static bool IsCoverArtWanted();
    static unsigned __stdcall CancelThreadEntry(void* self);
    static unsigned __stdcall SettingsThreadEntry(void* self);
    static unsigned __stdcall DeleteThreadEntry(void* self);
    static unsigned __stdcall SyncThreadEntry(void* self);

    void PostEvent(IAutomationEvents::Kind kind);
    void PostText(IAutomationEvents::Kind kind, const std::wstring& text);
    void PostInt(IAutomationEvents::Kind kind, int32_t value);
    LRESULT SendToFrame(UINT message, WPARAM wParam, LPARAM lParam);
    void ShowWarning(UINT stringId);
    int32_t FreeSpaceKib();
    // The free space while a file is written, asked of the player as each file starts.
    int32_t FreeSpaceKibDuringWrite(uint32_t written);
    void ResetStageCounters();
    void CheckEndOfTransfer();
    void OpenRun(RunOpening opening, const RunRequest& request);
    // Empties every queue, ends every stage's item in work and zeroes the counters.
    void StopStages();
    void ClearResultLists();
    void SetMovieOutputSize();
    void RaiseUIMode(bool carAudio, bool withWindow);
    void CloseOpenDialogs();
    void WaitDialogThreads();
    // Starts a dialog's thread; `open` stays set until the dialog has closed.
    void StartDialogThread(HANDLE* handle, std::atomic<bool>* open, unsigned(__stdcall* entry)(void*));
    std::wstring SyncPresetText();

    CContentsManager contents_;
    CAnalysisManagerGroup analysisGroup_;
    CDataInsertManager dataInsert_;
    CTransferManager transfer_;
    CCDDBManagerGroup lookupGroup_;
    CVexalChecker checker_;
    CMovieConvertManager movieConvert_;
    IMainFrameView* frame_ = nullptr;
    HMODULE resourceModule_ = nullptr;
    bool kinds_[kKindCount] = {};
    LONG invokeCount_ = 0;
    int32_t dialogKind_ = 0;
    HANDLE deleteDialogThread_ = nullptr;
    HANDLE settingsThread_ = nullptr;
    HWND volatile deleteDialog_ = nullptr;
    HWND volatile syncDialog_ = nullptr;
    std::wstring runReport_;
    std::wstring deviceText_;
    std::wstring syncPresetText_;
    CCriticalSection lock_;
    bool lookupTimerStarted_ = false;

    IAutomationEvents* events_ = nullptr;
    ICoordinatorDialogs* dialogs_ = nullptr;
    CShellProgramLauncher shellLauncher_;
    IProgramLauncher* launcher_ = &shellLauncher_;
    bool startedByAutomation_ = false;
    std::wstring fileVersion_;
    SYSTEMTIME (*localNow_)() = nullptr;
    int lastDeviceState_ = 0;
    FileTypeMasks masks_;
    CMemorySyncFileLists memorySyncLists_;
    ISyncFileLists* syncLists_ = &memorySyncLists_;
    CCriticalSection reportLock_;
    std::vector<std::wstring> lifecycleLog_;
    bool initialized_ = false;
    bool analysisOn_ = false;
    HANDLE syncThread_ = nullptr;
    // Each dialog opens once at a time: a second open while it is up is ignored.
    std::atomic<bool> deleteDialogOpen_{false};
    std::atomic<bool> settingsOpen_{false};
    std::atomic<bool> syncOpen_{false};
    // The player's free space when the file being written started.
    std::atomic<uint64_t> freeAtWriteStart_{0};
};
