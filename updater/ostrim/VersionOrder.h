#pragma once
// Version texts "a.b.c.d" as one comparable number, and the relations the update-information
// service asks about by operator number.

#include <windows.h>

#include <cstdint>

// a*10^15 + b*10^11 + c*10^5 + d; -1 when the text has fewer than three '.'.
int64_t ParseVersion(const wchar_t* text);

// S_OK when `first` stands in relation `op` to `second`, S_FALSE otherwise (also for an unknown
// operator). 1 equal, 2 not equal, 3 and 4 never hold, 5 <, 6 <=, 7 >=, 8 >.
HRESULT VersionRelationHolds(int64_t first, int64_t second, int op);
