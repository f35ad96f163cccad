#pragma once
// Reference counting of a server object: it holds the application lock while it lives and deletes
// itself at its last release.

#include "platform/com/CApplicationLock.h"

#include <atomic>

class CServerObject {
public:
    explicit CServerObject(CApplicationLock& lock = CApplicationLock::Process()) : hold_(lock) {}
    virtual ~CServerObject() = default;
    CServerObject(const CServerObject&) = delete;
    CServerObject& operator=(const CServerObject&) = delete;

protected:
    ULONG AddRefObject() { return static_cast<ULONG>(++references_); }
    ULONG ReleaseObject() {
        LONG left = --references_;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    std::atomic<LONG> references_{1};
    CApplicationLockHold hold_;
};

#define QB_SERVER_OBJECT_REFCOUNT                                              \
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefObject(); }       \
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseObject(); }
