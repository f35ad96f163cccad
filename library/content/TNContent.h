#pragma once

#include <cstdint>
#include <string>

#include "library/content/TNByteArray.h"

// The record of one item on its way to the player. Whoever holds it owns it; handing it to a
// handler hands over the ownership. The record owns its byte array, its artwork file and its lookup
// cover file.
//
// Later stages describe some fields by their role; the names used here are:
//   working-copy path                         -> tempPath
//   data-insert flag                          -> replaceExisting
//   analysed flag                             -> hasMoodData
//   analysis-not-wanted flag                  -> analysisNotWanted
//   conversion flag and its companion value   -> skip, passUnconverted
//   group name, identifier, position, size    -> playlistName, playlistKey, playlistMemberIndex,
//                                                playlistMemberCount
//   picture source and destination            -> companionSourcePath, companionRelativePath
//   existing destination path                 -> deviceObjectId
class CTNContent {
public:
    // Content kinds (the destinations per kind are chosen by the transfer manager).
    enum Kind : uint32_t {
        kSong = 0,
        kAudioEpisode = 1,
        kPicture = 2,
        kVideo = 3,
        kVideoEpisode = 4,
        kVideoCompanion = 5,
        kPlaylist = 6,
        kFeedFile = 7,
        // Dropped or written OPML; it leaves the contents manager as a kFeedFile.
        kFeedList = 8,
        kITunesTrack = 11,
        kKindCount = 14,
    };

    CTNContent(uint8_t originFlag, uint32_t kind);
    virtual ~CTNContent();
    CTNContent(const CTNContent&) = delete;
    CTNContent& operator=(const CTNContent&) = delete;

    // Deletes the byte array held so far and keeps the new one (which may be null).
    void SetByteArray(CTNByteArray* array);
    // Gives the record a fresh GUID text; false when none could be made.
    bool RenewId();

    uint32_t kind;
    uint32_t fileType = 0;
    uint32_t status = 0;
    uint8_t originFlag;
    std::wstring sourcePath;
    std::wstring tempPath;
    std::wstring relativePath;
    std::wstring id;
    int32_t pictureData = 0;
    CTNByteArray* byteArray = nullptr;
    std::wstring title;
    std::wstring artist;
    std::wstring album;
    std::wstring artworkPath;
    std::wstring genre;
    std::wstring albumArtist;
    std::wstring yearText;
    std::wstring trackText;
    int32_t sampleRate = 0;
    uint32_t channelCount = 0;
    int32_t audioBitrate = 0;
    uint32_t stageValue = 0;
    uint64_t duration = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t videoBitrate = 0;
    int32_t frameRate = 0;
    uint8_t isPodcast = 0;
    int32_t playlistMemberCount = 0;
    int32_t playlistMemberIndex = 0;
    std::wstring playlistKey;
    std::wstring playlistName;
    uint32_t syncKind = 0;
    uint8_t hasMoodData = 0;
    // Set when the song is not to be analysed; with hasMoodData clear it still needs no analysis.
    uint8_t analysisNotWanted = 0;
    uint8_t unsupported = 0;
    uint8_t skip = 0;
    int32_t passUnconverted = 1;
    std::wstring lookupId;
    uint8_t writeLookupId = 0;
    // The cover picture the CD lookup saved for the data-insert stage; owned like the artwork.
    std::wstring lookupCoverPath;
    uint8_t replaceExisting = 0;
    std::wstring deviceObjectId;
    uint8_t deleteSource = 0;
    std::wstring companionSourcePath;
    std::wstring companionRelativePath;
};
