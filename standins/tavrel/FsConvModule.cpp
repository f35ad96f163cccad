// Entry points of the sample-rate conversion stand-in's server.
#include <windows.h>

#include <new>

#include "platform/dshow/ClassFactory.h"
#include "standins/tavrel/FsConvFilter.h"

namespace {

CDsUnknown* CreateFsConv(IUnknown* outer, HRESULT*) { return new (std::nothrow) CFsConvFilter(outer); }

const DsServerClass kClasses[] = {
    {&CLSID_TavrelFsConvFilter, L"Sample-rate conversion stand-in", CreateFsConv},
};

}  // namespace

QB_DS_PLAIN_SERVER_ENTRY_POINTS(kClasses)
