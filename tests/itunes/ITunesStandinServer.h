#pragma once
// The iTunes stand-in as the tests use it: registered (under the application's own class, so the
// client finds it as it finds iTunes) while this object lives, serving the fixture text given to
// UseLibrary. Every test program that registers it holds the "itunes_standin" ctest lock.

#include <windows.h>

#include <memory>
#include <string>

class CSushiController;

class CITunesStandinServer {
public:
    // folder: a fresh folder of the test's own for the fixture, the call log and the pictures.
    explicit CITunesStandinServer(std::wstring folder);
    // Ends a server this object stalled and removes the registration and the folder.
    ~CITunesStandinServer();
    CITunesStandinServer(const CITunesStandinServer&) = delete;
    CITunesStandinServer& operator=(const CITunesStandinServer&) = delete;

    bool Register();
    bool Unregister();
    // The fixture the next application object of the stand-in serves.
    bool UseLibrary(const std::string& text);
    const std::wstring& Folder() const { return folder_; }

    // The path the fixture's "log" line names, and the calls noted there so far.
    std::wstring LogPath() const { return folder_ + L"\\calls.txt"; }
    std::string LoggedCalls() const;
    void ClearLog() const { DeleteFileW(LogPath().c_str()); }

    // The event a fixture's "stall" line names; set when the server stalls.
    const std::wstring& StallEventName() const { return stallEventName_; }
    bool WaitStalled(DWORD timeoutMs);
    // Ends the stalled server process, as if it crashed; true once it has ended.
    bool KillStalledServer();

private:
    std::wstring folder_;
    std::wstring stallEventName_;
    HANDLE stalled_ = nullptr;
};

// Runs the stand-in program with one switch and waits for it; true when it ended well.
bool RunITunesStandin(const wchar_t* argument);

// A client connected to the registered stand-in. A server whose last client has just gone may
// still be ending and refuse: the client tries again until the limit. Null when it never connects.
std::unique_ptr<CSushiController> ConnectToStandin(const std::wstring& pictureFolder, DWORD limitMs = 60000);
