#pragma once
// The car-audio step after each write to the player: a song written to a car-audio unit enters
// the mood channels, and the channel files the export rewrites follow it onto the unit.

#include <string>

#include "library/transfer/TransferManager.h"

class CCarAudioMoodStep final : public CTransferManager::ISongWrittenHook {
public:
    // Kind of the transient records that carry the channel files: hidden car-audio files that
    // report no progress.
    static constexpr uint32_t kChannelFileKind = 12;

    void OnCarAudioSongWritten(CTNContent* content, const std::wstring& destination,
                               CDeviceControllerBase* controller, const std::wstring& dataFolder) override;

    // The path the player gives the track in its channel lists: one leading backslash.
    static std::wstring TrackPathOnPlayer(const std::wstring& destination);
    // The part of a mirror file's path below the data folder, or empty when it lies elsewhere.
    static std::wstring PathBelowDataFolder(const std::wstring& file, const std::wstring& dataFolder);
};
