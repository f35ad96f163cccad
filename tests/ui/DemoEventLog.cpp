#include "tests/ui/DemoEventLog.h"

#include <algorithm>

void CDemoEventLog::Add(const std::string& event) {
    CScopedLock hold(lock_);
    events_.push_back(event);
}

std::vector<std::string> CDemoEventLog::Events() const {
    CScopedLock hold(lock_);
    return events_;
}

bool CDemoEventLog::Contains(const std::string& event) const {
    CScopedLock hold(lock_);
    return std::find(events_.begin(), events_.end(), event) != events_.end();
}
