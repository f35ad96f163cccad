#pragma once
// Creating the outside analysis engine and reading byte arrays it hands back.

#include "library/content/TNByteArray.h"
#include "platform/analysis/MusicAnalysisEngine.h"

// A new in-process engine, or the creation's failure (REGDB_E_CLASSNOTREG when none is installed).
HRESULT CreateAnalysisEngine(IMusicAnalysisEngine** engine);
// A new CTNByteArray with the bytes of a VT_ARRAY | VT_UI1 variant; E_FAIL for anything else or
// an empty array, E_OUTOFMEMORY when it cannot be allocated.
HRESULT ByteArrayFromVariant(const VARIANT& value, CTNByteArray** array);
