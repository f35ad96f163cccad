#pragma once
// The answer to the update-information service's question whether one version stands in a
// relation to another, for the group being run.

#include <windows.h>

class CGantrelLibrary;

enum class VersionScheme {
    kReportOnly,  // every relation holds: the service reports whatever it has
    kPlayerFirmware,  // the firmware library knows the player's version format
    kApplication,  // "a.b.c.d"
};

// S_OK when the relation `op` holds, S_FALSE when not, or a failure.
HRESULT CheckVersionRelation(VersionScheme scheme, CGantrelLibrary& gantrel, const wchar_t* first, const wchar_t* second,
                             int op);
