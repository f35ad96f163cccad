#pragma once
// A setup manager that only records what the screens ask of it and answers as the test says.

#include <string>
#include <vector>

#include "setup/wizard/ISetupManager.h"

class CFakeSetupManager : public ISetupManager {
public:
    // What the fake answers.
    HRESULT toggleResult = S_OK;
    bool holdsSongs = true;
    // The player a device change finds; none unless set.
    bool deviceArrives = false;
    std::wstring modelName;
    bool registered = false;
    bool ownBrand = false;
    // Set by StartRefreshThread, cleared by StopRefresh.
    bool refreshRunning = true;

    // What was asked, in order: one word per call, with its argument where there is one.
    std::vector<std::string> calls;
    std::vector<std::wstring> analysedFiles;

    HRESULT Run() override { return Record("Run"), S_OK; }
    HRESULT StopAll() override { return Record("StopAll"), S_OK; }
    void ResetDevices() override { Record("ResetDevices"); }
    bool IsDeviceConnected() override { return Record("IsDeviceConnected"), true; }
    bool CheckConnectedDevice(std::wstring* model, uint64_t* capacity, bool* isRegistered, bool* isOwnBrand) override {
        Record("CheckConnectedDevice");
        if (!deviceArrives) return false;
        *model = modelName;
        *capacity = 64ull << 30;
        *isRegistered = registered;
        *isOwnBrand = ownBrand;
        return true;
    }
    void TakeDevice() override { Record("TakeDevice"); }
    HRESULT ToggleDeviceRegistration() override { return Record("ToggleDeviceRegistration"), toggleResult; }
    void SetArtworkLookup(bool lookup) override { Record(lookup ? "SetArtworkLookup on" : "SetArtworkLookup off"); }
    bool PlayerHoldsSongs() override { return Record("PlayerHoldsSongs"), holdsSongs; }
    void SetSongsPresent(bool present) override { Record(present ? "SetSongsPresent yes" : "SetSongsPresent no"); }
    bool StartRefreshThread() override {
        Record("StartRefreshThread");
        refreshRunning = holdsSongs;
        return holdsSongs;
    }
    void StartWriteThread() override { Record("StartWriteThread"); }
    void AddAnalysedFile(const std::wstring& cachePath) override {
        Record("AddAnalysedFile");
        analysedFiles.push_back(cachePath);
    }
    bool IsRefreshRunning() override { return refreshRunning; }
    void StopRefresh() override {
        Record("StopRefresh");
        refreshRunning = false;
    }
    void DeleteCacheFiles() override { Record("DeleteCacheFiles"); }

private:
    void Record(const char* call) { calls.emplace_back(call); }
};
