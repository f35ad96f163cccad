#include "library/media/convert/RunEnd.h"

#include <algorithm>

namespace {

constexpr int64_t kNearEndMinimum = 5000000;  // 0.5 s

}  // namespace

bool IsNearEndOfRun(int64_t position, int64_t duration) {
    if (duration <= 0) return true;
    return position >= duration - std::max(duration / 100, kNearEndMinimum);
}
