#pragma once
// Loads the program's own filter servers (and the outside ones shipped with it) from the program
// folder by file name and makes objects through their class factories, never through the
// registry. Each loaded file stays loaded until a creation from it fails or the program ends.

#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

// Loads `fileName` from the program folder and creates `clsid` as `iid` from it.
// E_FAIL when the program path is unknown, the file cannot be loaded or has no DllGetClassObject;
// otherwise the server's own result.
HRESULT LoadPrivateComServer(const std::wstring& fileName, REFCLSID clsid, REFIID iid, void** object);
// Creates from a module the caller loaded once: the set takes over that load reference.
HRESULT CreateFromModule(REFCLSID clsid, REFIID iid, void** object, HMODULE module);
// Unloads one module of the set; nothing for a module outside it.
void UnloadPrivateComServer(HMODULE module);
// Unloads every module of the set (at program exit this runs by itself).
void UnloadAllPrivateComServers();
// The modules the set holds, in ascending handle order.
std::vector<HMODULE> LoadedPrivateComServers();
