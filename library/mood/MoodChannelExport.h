#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "library/mood/MoodExportCodes.h"

// Keeps the mood-channel files of a car-audio player ("CID000.ZEP" to "CID020.ZEP" in
// Tavrel_Automotive\HVC, "MOOD.ZEP" and "MOOD00.dat" to "MOOD03.dat" in Tavrel_Automotive\HVM)
// in a local mirror below a root folder. One export is open per process; calls must not overlap.
// All operations return a MoodExportResult.

// Creates Tavrel_Automotive with HVC and HVM inside `root` (one trailing backslash is dropped)
// and opens the export. The track lists are left as they are.
int BeginMoodChannelExport(const std::wstring& root);
int EndMoodChannelExport();

// Enters one track (its path on the player, with a leading backslash) into the channels its
// mood-analysis payload (may be null) places it in.
int AssignTrackToMoodChannels(const uint8_t* payload, size_t size, const std::wstring& trackPath);

// Merges the entered tracks into the mirror's files and fills `written` with the full path of
// every file written, in writing order; on a failure the files written before it stay listed.
int WriteMoodChannels(std::vector<std::wstring>& written);

// Forgets the entered tracks (their history lives in the files).
void ClearMoodChannelLists();
