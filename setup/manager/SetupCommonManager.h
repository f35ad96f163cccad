#pragma once
// The wizard's counterpart of the main program's coordinator: owns the pipeline (contents
// manager, mood-data checker, CD lookup, analysis, data insert, transfer), examines a newly
// connected player, toggles its car-audio registration and runs the refresh of the songs already
// on it. Everything it learns goes to the frame as queued records through ISetupListener.

#include <atomic>
#include <string>

#include "library/analysis/AnalysisManager.h"
#include "library/analysis/AnalysisManagerGroup.h"
#include "library/analysis/VexalChecker.h"
#include "library/cdlookup/CDDBManagerGroup.h"
#include "library/contents/ContentsManager.h"
#include "library/contents/QBCommonManagerBase.h"
#include "library/datainsert/DataInsertManager.h"
#include "library/transfer/TransferManager.h"
#include "setup/wizard/ISetupManager.h"

class ISetupListener;

class CSetupCommonManager : public CContentsManager::IListener,
                            public CAnalysisManager::IListener,
                            public CTransferManager::IListener,
                            public CQBCommonManagerBase,
                            public ISetupManager {
public:
    // The resource id of the built-in capability document in the wizard.
    static constexpr int kBuiltInCapabilityResourceId = 130;

    // dataFolder: the per-user data folder (with a trailing backslash); the program's own unless
    // given.
    explicit CSetupCommonManager(ISetupListener* listener, const std::wstring& dataFolder = std::wstring());
    ~CSetupCommonManager() override;
    CSetupCommonManager(const CSetupCommonManager&) = delete;
    CSetupCommonManager& operator=(const CSetupCommonManager&) = delete;

    HRESULT CreateCDDBManager();
    CTransferManager& Transfer() { return transfer_; }
    CContentsManager& Contents() { return contents_; }
    bool PlaysAudio() const { return audioFormats_; }
    bool PlaysImages() const { return imageFormats_; }
    bool PlaysVideo() const { return videoFormats_; }
    bool AcceptsPodcasts() const { return podcasts_; }

    // ISetupManager
    HRESULT Run() override;
    HRESULT StopAll() override;
    void ResetDevices() override;
    bool IsDeviceConnected() override;
    bool CheckConnectedDevice(std::wstring* modelName, uint64_t* capacity, bool* registered,
                              bool* ownBrand) override;
    void TakeDevice() override;
    HRESULT ToggleDeviceRegistration() override;
    void SetArtworkLookup(bool lookup) override;
    bool PlayerHoldsSongs() override;
    void SetSongsPresent(bool present) override { songsPresent_ = present; }
    bool StartRefreshThread() override;
    void StartWriteThread() override;
    void AddAnalysedFile(const std::wstring& cachePath) override;
    bool IsRefreshRunning() override { return refreshRunning_; }
    void StopRefresh() override;
    void DeleteCacheFiles() override;

    // CContentsManager::IListener
    void OnContentsProgress() override {}
    void OnPodcastCaution() override {}
    void OnSyncFileAdded(int32_t, std::wstring) override {}
    int32_t OnMovieCaution() override { return 0; }

    // CAnalysisManager::IListener: the analysis's own progress is not shown.
    void OnAnalysisProgress(int, int, int, bool) override {}

    // CTransferManager::IListener
    void OnContentProcessed() override;
    void OnDeviceContents(uint64_t, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t) override {}
    void OnContentDeleted(int) override {}
    void OnDeleteFinished(int, CQBTreeNode* root) override;
    void OnFolderTree(int, CQBTreeNode* root) override;
    void OnDiskFull() override;
    void OnWriteProgress(uint32_t bytesWritten, uint32_t bytesTotal) override;
    void OnContentResult(int, std::wstring) override {}
    void OnMoodChannelStep(const wchar_t* path) override;
    void OnMoodChannelDone(const wchar_t* path) override;
    void OnDeviceWarning() override {}
    void OnSongCount(int count) override;

    // CQBCommonManagerBase
    void NotifyItemDone() override;
    bool DeviceRequest(CTNContent* content, std::wstring* existingPath) override;
    bool IsBusy() override;
    bool GetSyncSwitch(int) override { return true; }
    bool FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                const std::wstring& extension, int type, int index, int filter) override;
    bool FindPlaybackCapabilityFor(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                   const std::wstring& extension, int type, int filter) override;
    int32_t GetFrameLayout(const std::wstring&, int32_t*, int32_t*) override { return 0; }

private:
    void Progress(int value, int value2, int subtype, const wchar_t* text = nullptr);
    std::wstring DataFolder() const;

    ISetupListener* listener_;
    std::atomic<bool> moodStepRunning_{false};
    std::atomic<bool> songsPresent_{false};
    std::atomic<bool> refreshRunning_{false};
    std::wstring dataFolder_;
    CContentsManager contents_;
    CAnalysisManagerGroup analysis_;
    CDataInsertManager dataInsert_;
    CTransferManager transfer_;
    CCDDBManagerGroup cddb_;
    CVexalChecker checker_;
    bool audioFormats_ = false;
    bool imageFormats_ = false;
    bool videoFormats_ = false;
    bool podcasts_ = false;
};
