#pragma once
// What the frame and the screen transitions ask of the setup manager. All calls are made on the
// user-interface thread; tests put a fake behind this interface.

#include <windows.h>

#include <cstdint>
#include <string>

class ISetupManager {
public:
    virtual ~ISetupManager() = default;

    // Links and starts the pipeline; the first failure.
    virtual HRESULT Run() = 0;
    // Stops every part; the last failure, else S_OK.
    virtual HRESULT StopAll() = 0;
    // Remembers the players present now, so that only a later one counts as arrived.
    virtual void ResetDevices() = 0;
    // Whether the player taken is still connected; false when none was taken.
    virtual bool IsDeviceConnected() = 0;

    // Examines a newly connected player; false when none arrived or it cannot be used.
    virtual bool CheckConnectedDevice(std::wstring* modelName, uint64_t* capacity, bool* registered,
                                      bool* ownBrand) = 0;
    // Reads the formats of the examined player into the pipeline.
    virtual void TakeDevice() = 0;
    // Registers an unregistered player, deregisters a registered one; E_POINTER without a player.
    virtual HRESULT ToggleDeviceRegistration() = 0;
    // Whether the CD lookup may fetch album artwork.
    virtual void SetArtworkLookup(bool lookup) = 0;

    // Whether the player's music folder holds songs; false without a player.
    virtual bool PlayerHoldsSongs() = 0;
    virtual void SetSongsPresent(bool present) = 0;
    // Starts listing the player's songs when songs are present; the songs-present flag.
    virtual bool StartRefreshThread() = 0;
    // Starts writing the mood channels once the list is ready.
    virtual void StartWriteThread() = 0;
    // Sends a song's working copy (a path in the cache folder) through the pipeline to the player.
    virtual void AddAnalysedFile(const std::wstring& cachePath) = 0;
    // From the start of a refresh until it is stopped; progress reported outside it is stale.
    virtual bool IsRefreshRunning() = 0;
    // Cancels a refresh: joins its threads and empties the pipeline.
    virtual void StopRefresh() = 0;
    // Deletes the refresh's working copies and the cache folder on the PC.
    virtual void DeleteCacheFiles() = 0;
};
