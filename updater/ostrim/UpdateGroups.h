#pragma once
// Hands every product group of the command line to the update service client.

#include <windows.h>

class CFennicCommandLineInfo;
class IUpdateService;

// A user who asked for a check with a command line that names no product is told so.
constexpr HRESULT kNoProductGiven = static_cast<HRESULT>(0x80042301);

// The failure of the service's Init (nothing else ran, Term included), or S_OK.
HRESULT RunUpdateGroups(IUpdateService& service, const CFennicCommandLineInfo& info);
