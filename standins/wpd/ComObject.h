#pragma once
// Reference counting shared by every object of the stand-in; the live count lets the module
// answer DllCanUnloadNow truthfully.

#include <windows.h>

#include <atomic>

#include "library/util/ScopedCom.h"

namespace standin {

std::atomic<long>& LiveObjectCount();

// Base of a COM object with one or more interfaces; the derived class answers QueryInterface.
class CComObject {
public:
    CComObject() { ++LiveObjectCount(); }
    virtual ~CComObject() { --LiveObjectCount(); }
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    ULONG AddRefImpl() { return static_cast<ULONG>(++references_); }
    ULONG ReleaseImpl() {
        long left = --references_;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    std::atomic<long> references_{1};
};

#define STANDIN_IUNKNOWN_REFCOUNT                                                 \
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }           \
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

// A copy of a wide string in task memory, as WPD hands strings to its callers.
LPWSTR TaskString(const wchar_t* text);

}  // namespace standin
