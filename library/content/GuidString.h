#pragma once

#include <string>

// Makes a fresh GUID and formats it upper case, but for the third group, which is lower case
// ("XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX"); stored names on players and in data files use this
// form. False, with an empty text, when no GUID could be made.
bool CreateGuidString(std::wstring* out);
