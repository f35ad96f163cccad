#pragma once
// A listener property of an automation object: a script's function object, kept in the Global
// Interface Table so that a worker thread can call it. A call takes a fresh pointer for the calling
// thread and holds no lock while the client runs, so the client may call the server back.

#include "platform/com/CGitEntry.h"

#include <mutex>

class CListenerSlot {
public:
    CListenerSlot() = default;
    CListenerSlot(const CListenerSlot&) = delete;
    CListenerSlot& operator=(const CListenerSlot&) = delete;

    // Replaces the listener; null empties the slot.
    HRESULT Put(IDispatch* listener);
    // The cookie of the listener held now, 0 for none: a caller collects these under its own
    // locks and calls them after letting go.
    DWORD Cookie() const;

    // Calls the listener's default member (DISPID 0, as a method) with the arguments in their
    // natural order. E_POINTER when the slot was empty.
    HRESULT Call(const VARIANT* arguments, UINT count) const {
        return CallMember(Cookie(), DISPID_VALUE, arguments, count);
    }
    // Fetches the IDispatch registered under the cookie afresh and calls one member as a method.
    static HRESULT CallMember(DWORD cookie, DISPID member, const VARIANT* arguments, UINT count);

private:
    mutable std::mutex mutex_;
    CGitEntry entry_;
};
