#pragma once
#include <new>

#include "updater/oplogsys/LogFactoryBase.h"

namespace opLogSys::Ods {

// Lines go to the debugger output.
class COutputLogSystemFactory : public CLogFactoryBase {
public:
    class COutputDebugStringIO : public Common::CReference<ILogIO> {
    public:
        int Lock() override { return 0; }
        int Unlock() override { return 0; }
        int WriteLine(const wchar_t* text) override {
            OutputDebugStringW(text ? text : L"");
            OutputDebugStringW(L"\n");
            return 0;
        }
        int Write(const wchar_t* text) override {
            OutputDebugStringW(text ? text : L"");
            return 0;
        }
        void Flush() override {}
    };

    ILogIO* CreateLogIO(const wchar_t*) override { return new (std::nothrow) COutputDebugStringIO(); }
};

}  // namespace opLogSys::Ods
