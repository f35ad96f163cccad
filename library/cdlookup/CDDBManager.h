#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "library/cdlookup/GNSDKUtil.h"
#include "library/content/ParallelRunnableTNContentHandler.h"
#include "library/content/TNByteArray.h"
#include "library/util/ScopedWin.h"

// The stage after the mood-data checker: asks the CD-lookup SDK for the mood data of a song that
// still needs analysis and for a cover picture of a song without one. A data block is merged into
// the song's payload and marks it analysed; a picture is saved as <user data folder><id>.jpg for
// the data-insert stage. Without the SDK, records pass unchanged.
class CCDDBManager : public CParallelRunnableTNContentHandler {
public:
    class IListener {
    public:
        // state 0 started, 1 finished; found when the lookup brought back data or a picture.
        virtual void OnLookupProgress(int32_t state, bool found, int32_t reserved) = 0;

    protected:
        ~IListener() = default;
    };

    // Merges a fresh data block into a payload the record already has (the mood-data checker's
    // merge); *merged gets a new array or stays null. The stage keeps the old payload without one.
    typedef HRESULT (*MergeAnalysisDataFn)(const CTNByteArray* existing, const CTNByteArray* fresh,
                                           CTNByteArray** merged);

    // Where the SDK modules and the data live; empty fields mean the program's own folders.
    struct CFolders {
        std::wstring programFolder;
        std::wstring userDataFolder;
        std::wstring commonDataFolder;
    };

    explicit CCDDBManager(bool enabled, const CFolders& folders = CFolders());
    ~CCDDBManager() override;

    void SetLookupSwitch(bool on);
    void SetCoverArtSwitch(bool on);
    void SetListener(IListener* listener);
    void SetMergeFunction(MergeAnalysisDataFn merge);
    bool IsSdkReady() const { return sdkReady_ != 0; }

    void LookupAndWriteResult(CTNContent* content, bool wantLookup, bool wantCoverArt);

protected:
    void ProcessContent(CTNContent* content) override;
    void OnThreadStart() override;
    void OnThreadEnd() override;

private:
    void Notify(int32_t state, bool found);
    void AttachData(CTNContent* content, const std::vector<BYTE>& data);
    bool SavePicture(CTNContent* content, const std::vector<BYTE>& picture);

    const uint8_t enabled_;
    CFolders folders_;
    CCriticalSection stateLock_;
    uint8_t lookupSwitch_ = 1;
    uint8_t coverArtSwitch_ = 1;
    std::atomic<uint8_t> sdkReady_{1};
    std::unique_ptr<CGNSDKUtil> sdk_;
    CCriticalSection listenerLock_;
    IListener* listener_ = nullptr;
    MergeAnalysisDataFn merge_ = nullptr;
    bool comInitialised_ = false;
};
