#include "app/main/AutomationTypeInfo.h"

#include "TavrelQuillbay.h"

namespace {
const WORD kMajorVersion = 1;
const WORD kMinorVersion = 2;
}  // namespace

CTypeInfoCache& ITavrelQuillbayTypeInfo() {
    static CTypeInfoCache typeInfo(LIBID_TavrelQuillbay, kMajorVersion, kMinorVersion, IID_ITavrelQuillbay);
    return typeInfo;
}

CTypeInfoCache& ITavrelQuillbay2TypeInfo() {
    static CTypeInfoCache typeInfo(LIBID_TavrelQuillbay, kMajorVersion, kMinorVersion, IID_ITavrelQuillbay2);
    return typeInfo;
}

CTypeInfoCache& ITavrelQuillbayAppTypeInfo() {
    static CTypeInfoCache typeInfo(LIBID_TavrelQuillbay, kMajorVersion, kMinorVersion, IID_ITavrelQuillbayApp);
    return typeInfo;
}
