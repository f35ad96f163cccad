#pragma once
// The "link" element of a podcast subscription document: where the channel's feed lives.

#include <string>

namespace pcast {

class CLink {
public:
    virtual ~CLink() = default;

    std::wstring rel;
    std::wstring type;
    // The feed's address.
    std::wstring href;
};

}  // namespace pcast
