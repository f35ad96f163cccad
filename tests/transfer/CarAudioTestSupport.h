#pragma once
// Songs for the car-audio tests: files whose ID3 tag carries a mood-analysis payload.

#include <cstdint>
#include <string>
#include <vector>

// The payload of a song whose analysis places it in the first mood class (a fixture).
std::vector<uint8_t> MoodClassPayload();
// An ID3v2.3 tag with the payload in its mood-data object, followed by a few bytes of audio.
std::string SongWithMoodData(const std::vector<uint8_t>& payload);
// The channel-file text of a track path: UTF-16 little-endian, as the channel lists hold it.
std::string ChannelEntryBytes(const std::wstring& trackPath);
