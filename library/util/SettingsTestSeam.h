#pragma once

// Tests stand in for a standard user, who cannot write under HKEY_LOCAL_MACHINE: while false,
// every machine-wide write of the settings store fails with ERROR_ACCESS_DENIED.
void SetMachineSettingsWritableForTest(bool writable);
