#pragma once
// The order in which the test program's handlers ran, readable from any thread.

#include <windows.h>

#include <string>
#include <vector>

#include "library/util/ScopedWin.h"

class CDemoEventLog {
public:
    void Add(const std::string& event);
    std::vector<std::string> Events() const;
    bool Contains(const std::string& event) const;

private:
    mutable CCriticalSection lock_;
    std::vector<std::string> events_;
};
