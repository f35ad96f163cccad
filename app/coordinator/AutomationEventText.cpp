#include "app/coordinator/AutomationEventText.h"

#include <cstdint>
#include <limits>

std::wstring JoinEventFields(const std::vector<std::wstring>& fields) {
    std::wstring text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) text += L'|';
        text += fields[i];
    }
    return text;
}

std::wstring ProgressEventText(int32_t phase, const std::wstring& name, int32_t percent, int32_t freeKiB) {
    return JoinEventFields({std::to_wstring(phase), name, std::to_wstring(percent), std::to_wstring(freeKiB)});
}

std::wstring FileNumEventText(int32_t current, int32_t total) {
    return JoinEventFields({std::to_wstring(current), std::to_wstring(total)});
}

int32_t KibRoundedUp(uint64_t bytes) {
    const uint64_t kib = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    const uint64_t cap = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(kib < cap ? kib : cap);
}

int32_t PercentDone(uint64_t done, uint64_t total) {
    // Nothing to do counts as all done; more done than announced is still 100.
    if (total == 0 || done >= total) return 100;
    const uint64_t scaled = done <= UINT64_MAX / 100 ? done * 100 / total : done / (total / 100);
    return static_cast<int32_t>(scaled < 100 ? scaled : 100);
}
