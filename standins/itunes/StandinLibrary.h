#pragma once
// The library the stand-in serves, read for each application object from the fixture file named by the value "Library" of
// HKLM\Software\Quillbay\Standins\iTunes. Fixture lines, fields separated by tabs:
//   version <major> <minor>        the application's version (default 7 1)
//   version refuse                 CheckVersion fails
//   playlist <name>                starts a playlist; later tracks belong to it
//   selection                      starts the current selection (a playlist without a name)
//   file <location> <name> <artist> <album> <podcast 0|1> [<artwork format>]
//   url <name>                     a track without a file
//   broken <location>              a file track whose name cannot be read
//   stall <event name>             a track whose first call stalls: the server withdraws its class,
//                                  notes its process id (value "ServerProcess") and sets the named
//                                  event, so that a test can end it in the middle of a walk
//   delay <milliseconds>           every track taken from a collection takes this long
//   log <path>                     the ways into the library are noted there, one line per call
// Every track is in the library playlist (playlist 0, "Library") as well.

#include <memory>
#include <string>
#include <vector>

struct StandinTrack {
    bool isFile = false;
    bool nameFails = false;
    bool stalls = false;
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
    // Appends a line to the call log, when the fixture names one.
    void Log(const std::wstring& line) const;
    // Tracks of a playlist that match the text in the search field (1 every shown field,
    // 2 artists, 3 albums, 4 composers, 5 names), ignoring case.
    std::vector<size_t> Search(size_t playlist, const std::wstring& text, long field) const;
    // A stalling track's call: makes the server ready to be ended, then waits for that.
    void Stall() const;

    long majorVersion = 7;
    long minorVersion = 1;
    bool refusesVersion = false;
    size_t selection = 0;  // the playlist that is the current selection; 0 for none
    unsigned long itemDelayMs = 0;
    std::wstring stallEvent;
    std::wstring logPath;
    std::vector<StandinTrack> tracks;
    std::vector<StandinPlaylist> playlists{StandinPlaylist{L"Library", {}}};
};
