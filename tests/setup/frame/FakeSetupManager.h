#pragma once
// A setup manager for frame tests: answers as configured and logs every call, in order, into a
// log the test keeps (the frame deletes the manager itself).

#include <memory>
#include <string>
#include <vector>

#include "setup/wizard/ISetupManager.h"

struct FakeManagerScript {
    HRESULT runResult = S_OK;
    bool deviceArrives = false;
    std::wstring modelName = L"Simulated player";
    bool registered = false;
    bool ownBrand = false;
    bool stillConnected = true;
    std::vector<std::string> log;
};

class CFakeSetupManager : public ISetupManager {
public:
    explicit CFakeSetupManager(FakeManagerScript& script) : script_(script) {}
    ~CFakeSetupManager() override { script_.log.push_back("destroyed"); }

    HRESULT Run() override { return Log("Run"), script_.runResult; }
    HRESULT StopAll() override { return Log("StopAll"), S_OK; }
    void ResetDevices() override { Log("ResetDevices"); }
    bool IsDeviceConnected() override { return Log("IsDeviceConnected"), script_.stillConnected; }
    bool CheckConnectedDevice(std::wstring* modelName, uint64_t* capacity, bool* registered,
                              bool* ownBrand) override {
        Log("CheckConnectedDevice");
        if (!script_.deviceArrives) return false;
        *modelName = script_.modelName;
        *capacity = 64ull << 20;
        *registered = script_.registered;
        *ownBrand = script_.ownBrand;
        return true;
    }
    void TakeDevice() override { Log("TakeDevice"); }
    HRESULT ToggleDeviceRegistration() override { return Log("ToggleDeviceRegistration"), S_OK; }
    void SetArtworkLookup(bool) override { Log("SetArtworkLookup"); }
    bool PlayerHoldsSongs() override { return Log("PlayerHoldsSongs"), true; }
    void SetSongsPresent(bool) override { Log("SetSongsPresent"); }
    bool StartRefreshThread() override { return Log("StartRefreshThread"), true; }
    void StartWriteThread() override { Log("StartWriteThread"); }
    void AddAnalysedFile(const std::wstring&) override { Log("AddAnalysedFile"); }
    bool IsRefreshRunning() override { return false; }
    void StopRefresh() override { Log("StopRefresh"); }
    void DeleteCacheFiles() override { Log("DeleteCacheFiles"); }

private:
    void Log(const char* call) { script_.log.push_back(call); }

    FakeManagerScript& script_;
};
