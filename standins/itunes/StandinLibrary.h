#pragma once
// The library the stand-in serves, read for each application object from the fixture file named by the value "Library" of
// HKLM\Software\Quillbay\Standins\iTunes. Fixture lines, fields separated by tabs:
//   version <major> <minor>        the application's version (default 7 1)
//   version refuse                 CheckVersion fails
//   playlist <name>                starts a playlist; later tracks belong to it
//   selection                      starts the current selection (a playlist without a name)
//   file <location> <name> <artist> <album> <podcast 0|1> [<artwork format>]
//   url <name>                     a track without a file
// Every track is in the library playlist (playlist 0, "Library") as well.

#include <memory>
#include <string>
#include <vector>

struct StandinTrack {
    bool isFile = false;
    bool isPodcast = false;
    long artworkFormat = -1;  // -1: no picture
    std::wstring location;
    std::wstring name;
    std::wstring artist;
    std::wstring album;
};

struct StandinPlaylist {
    std::wstring name;
    std::vector<size_t> tracks;  // indexes into the library's tracks
};

class CStandinLibrary {
public:
    // The library the fixture file describes now; empty without one.
    static std::shared_ptr<const CStandinLibrary> Load();
    // Reads fixture text (UTF-8); unknown or short lines are skipped.
    void Parse(const std::string& text);

    long majorVersion = 7;
    long minorVersion = 1;
    bool refusesVersion = false;
    size_t selection = 0;  // the playlist that is the current selection; 0 for none
    std::vector<StandinTrack> tracks;
    std::vector<StandinPlaylist> playlists{StandinPlaylist{L"Library", {}}};
};
