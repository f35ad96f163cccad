#pragma once
// Quillbay's automation server: the class objects it registers with COM at start-up and the
// registry entries of -RegServer and -UnregServer.

#include <windows.h>

#include "platform/com/CClassObjectRegistrar.h"

extern const GUID kQuillbayAppId;

// The classes in registration order.
const ClassEntry* AutomationClassObjects(size_t* count);

// Started by COM, the server holds the application lock until its first client takes a hold or
// the time runs out: a server no client reaches still ends, one reached serves until its last
// client lets go.
void HoldForFirstClient(UINT milliseconds);

// Writes (or removes) the type library, the AppID and the three classes for the program's path.
HRESULT RegisterAutomationServer();
HRESULT UnregisterAutomationServer();
