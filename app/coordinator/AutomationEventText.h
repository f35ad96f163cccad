#pragma once
// The argument texts of automation events: decimal integers and texts joined by "|", no spaces,
// no terminator.

#include <cstdint>
#include <string>
#include <vector>

// Joins the fields with "|".
std::wstring JoinEventFields(const std::vector<std::wstring>& fields);
// phase|name|percent|free KiB. Phase 0 analysis, 1 CD lookup, 2 movie conversion, 3 transfer.
std::wstring ProgressEventText(int32_t phase, const std::wstring& name, int32_t percent, int32_t freeKiB);
// current|total.
std::wstring FileNumEventText(int32_t current, int32_t total);
// Bytes to KiB, a partial KiB counted whole, capped at what a signed 32-bit field holds.
int32_t KibRoundedUp(uint64_t bytes);
// done * 100 / total, 100 when both are 0, capped at 100.
int32_t PercentDone(uint64_t done, uint64_t total);
