#pragma once
// The built-in capability document (UTF-8), kept among the resources of the module this code is
// linked into.

#include <windows.h>

constexpr int kDefaultCapabilityResourceId = 372;

// With a null buffer, *size receives the document's size. With a buffer of *size bytes, the
// document is copied into it and *size receives its size. E_FAIL when the resource is missing or
// the buffer is too small; E_POINTER for a null size.
// resourceId selects the program's own copy (each program keeps it under its own id).
HRESULT LoadDefaultCapabilityXml(char* buffer, DWORD* size, int resourceId = kDefaultCapabilityResourceId);
