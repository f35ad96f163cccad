// Opens a C runtime file by a UTF-8 path: through the wide-character API on Windows.
#pragma once

#include <cstdint>
#include <cstdio>

namespace tag {

// Returns 0 and the file, or -6 / -4 / -2 as the path conversion or the open fails.
int32_t OpenFileUtf8(const char* path, bool forWriting, FILE** file);
int32_t SeekFile(FILE* file, int64_t offset, int origin);
int64_t TellFile(FILE* file);

}  // namespace tag
