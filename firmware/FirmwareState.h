#pragma once
// The library's process-wide state besides the player lists: the locks, the presence event and
// the machine the mass-storage side talks to.

#include "library/util/ScopedWin.h"

class IMassStorageSystem;

// Load and unload of the library in a process.
void AttachFirmwareLibrary();
// processEnding: the process is ending (not a FreeLibrary), so other modules may be unloaded.
void DetachFirmwareLibrary(bool processEnding = false);

// Serialises the exports that rescan, count, read or delete the lists.
CCriticalSection& ListLock();
// Taken by the MTP scan around refilling its list, always inside the list lock.
CCriticalSection& MtpAppendLock();

IMassStorageSystem& MassStorageSystem();
// Tests and benchmarks put a simulated machine in place of the real one; null restores the real.
void SetMassStorageSystem(IMassStorageSystem* system);
