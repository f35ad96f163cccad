#pragma once
// The type information of Quillbay's automation interfaces, from the registered type library (or
// the program's own copy) on first use.

#include "platform/com/CTypeInfoCache.h"

CTypeInfoCache& ITavrelQuillbayTypeInfo();
CTypeInfoCache& ITavrelQuillbay2TypeInfo();
CTypeInfoCache& ITavrelQuillbayAppTypeInfo();
