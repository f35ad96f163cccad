#pragma once
// When a conversion run that stopped moving counts as finished.

#include <cstdint>

// True when the position (100-ns units) lies within 1 % of the duration, at least half a second,
// of its end (the last samples' times fall short of the duration by a frame or two). With no known
// duration there is nothing to hold the position against, and the run counts as finished.
bool IsNearEndOfRun(int64_t position, int64_t duration);
