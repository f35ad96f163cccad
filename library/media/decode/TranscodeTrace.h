#pragma once
// The decoder graph's printf-style trace hook.

void TranscodeTrace(const char* format, ...);
