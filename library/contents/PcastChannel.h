#pragma once
// The one channel a podcast subscription document names. Made on the heap by the reader and
// owned by its caller.

#include <string>

#include "library/contents/PcastLink.h"

namespace pcast {

class CChannel {
public:
    virtual ~CChannel() = default;

    CLink link;
    std::wstring title;
    std::wstring category;
    std::wstring subtitle;
};

}  // namespace pcast
