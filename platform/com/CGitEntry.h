#pragma once
// One interface registered in the process's Global Interface Table. Any thread of the process can
// fetch a pointer valid in its own apartment; each fetch is a fresh unmarshal, so a pointer is never
// handed on from one use to the next.

#include "library/util/ScopedCom.h"

class CGitEntry {
public:
    CGitEntry() = default;
    ~CGitEntry() { Revoke(); }
    CGitEntry(const CGitEntry&) = delete;
    CGitEntry& operator=(const CGitEntry&) = delete;

    // Replaces what was registered; a null object leaves the entry empty.
    HRESULT Register(IUnknown* object, REFIID iid);
    void Revoke();
    DWORD Cookie() const { return cookie_; }

    // A new pointer, for the calling thread's apartment, to what the cookie names.
    static HRESULT Fetch(DWORD cookie, REFIID iid, void** result);
    template <class T>
    static HRESULT Fetch(DWORD cookie, REFIID iid, CScopedComPtr<T>* result) {
        return Fetch(cookie, iid, reinterpret_cast<void**>(result->Receive()));
    }

private:
    DWORD cookie_ = 0;
};
