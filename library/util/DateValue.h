#pragma once

#include <windows.h>
#include <wtypes.h>

// An OLE automation date (days since 30 December 1899) with a validity flag.
struct CDateValue {
    DATE value = 0.0;
    bool valid = true;
};
