#pragma once
// What the simulated update components do, read from QB_FENNIC_STANDIN ("key=value;...") at each
// call, and the journal of the calls they received, appended to the file QB_FENNIC_STANDIN_LOG so
// that a test can read it whether the components ran in its own process or in the update checker's.
//
// Keys: offer (the version the service offers; none: no update), op (the operator it asks about,
// default 8), accept (0 declines), size (bytes the service announces, default 4096), written
// (bytes the download writes, default size), pollingSet, pollingManual, status (the download's
// status HRESULT), hash (0: mismatch), step (progress per read, default 50), cancel (1: the user
// cancels the download display), hold (the user holds the download for that many questions),
// fail (component.position:HRESULT, one call that fails), dir (the download folder), ext (the
// downloaded file's extension, default ".bin").

#include <windows.h>

#include <string>

namespace standin {

class CFennicScript {
public:
    // The script as the environment holds it now.
    static CFennicScript Current();

    std::wstring Text(const wchar_t* key, const wchar_t* fallback = L"") const;
    long Number(const wchar_t* key, long fallback) const;
    // The failure scripted for "component.position", or S_OK.
    HRESULT FailureOf(const wchar_t* call) const;

private:
    std::wstring m_script;
};

// Appends one line to the journal; nothing when no journal is named.
void Journal(const wchar_t* format, ...);

}  // namespace standin
