#pragma once
// The stand-in SDK objects; each module serves the ones of its class.

#include <windows.h>

#include "library/cdlookup/CddbSdkInterfaces.h"

namespace cddb_standin {

// A new object of the class with one reference, or null when the class is not one of ours.
IUnknown* CreateObject(REFCLSID classId);
// A class factory for the class (one reference).
IClassFactory* CreateFactory(REFCLSID classId);
LONG LiveObjects();

}  // namespace cddb_standin
