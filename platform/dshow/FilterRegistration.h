#pragma once
// Entering a filter into the platform's filter list (the DirectShow filters category), beside its
// in-process server key, so graph building can find it by media type.

#include <windows.h>
#include "platform/dshow/DShow.h"

// Registers the filter with its pins through the filter mapper; the server key is written apart.
HRESULT RegisterDsFilter(REFCLSID clsid, const wchar_t* name, DWORD merit, ULONG pinCount, const REGFILTERPINS* pins);
HRESULT UnregisterDsFilter(REFCLSID clsid);
