#pragma once
// The type information of one interface, loaded from its registered type library on first use and
// kept for the life of the process.

#include "library/util/ScopedCom.h"

#include <mutex>

class CTypeInfoCache {
public:
    CTypeInfoCache(const GUID& libId, WORD majorVersion, WORD minorVersion, const IID& iid);
    CTypeInfoCache(const CTypeInfoCache&) = delete;
    CTypeInfoCache& operator=(const CTypeInfoCache&) = delete;

    // A new reference on the type information; a failure is not kept, the next call tries again.
    HRESULT Get(ITypeInfo** result);

private:
    HRESULT Load();

    const GUID libId_;
    const WORD majorVersion_;
    const WORD minorVersion_;
    const IID iid_;
    std::mutex mutex_;
    CScopedComPtr<ITypeInfo> typeInfo_;
};
