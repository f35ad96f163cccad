#pragma once
#include "updater/oplogsys/LogInterfaces.h"

namespace opLogSys {

// Writes a framed hex dump of `data` to the log, `bytesPerRow` (1 to 64) bytes a row with their
// characters beside them. E_POINTER for data that cannot be read, E_INVALIDARG for a bad row size;
// both are reported in the frame.
HRESULT WriteDump(ILog* log, const wchar_t* title, const void* data, size_t size, unsigned bytesPerRow);

}  // namespace opLogSys
