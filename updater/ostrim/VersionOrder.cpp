#include "updater/ostrim/VersionOrder.h"

#include <cwchar>

int64_t ParseVersion(const wchar_t* text) {
    if (text == nullptr) return -1;
    const wchar_t* parts[4] = {text, nullptr, nullptr, nullptr};
    int found = 1;
    for (const wchar_t* c = text; *c != L'\0' && found < 4; ++c) {
        if (*c == L'.') parts[found++] = c + 1;
    }
    if (found < 4) return -1;
    // The service's texts are untrusted: wcstol saturates, and unsigned arithmetic keeps an
    // oversized part from overflowing a signed value.
    uint64_t value = 0;
    const uint64_t weights[4] = {1000000000000000ULL, 100000000000ULL, 100000ULL, 1ULL};
    for (int i = 0; i < 4; ++i) {
        value += static_cast<uint64_t>(static_cast<int64_t>(wcstol(parts[i], nullptr, 10))) * weights[i];
    }
    return static_cast<int64_t>(value);
}

HRESULT VersionRelationHolds(int64_t first, int64_t second, int op) {
    bool holds = false;
    switch (op) {
    case 1: holds = first == second; break;
    case 2: holds = first != second; break;
    case 5: holds = first < second; break;
    case 6: holds = first <= second; break;
    case 7: holds = first >= second; break;
    case 8: holds = first > second; break;
    default: holds = false; break;  // 3 and 4 are defined by the service but never hold
    }
    return holds ? S_OK : S_FALSE;
}
