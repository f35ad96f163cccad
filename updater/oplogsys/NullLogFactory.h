#pragma once
#include <new>

#include "updater/oplogsys/LogFactoryBase.h"

namespace opLogSys::Null {

// Nothing is written: the factory of a program without a logging configuration.
class COutputLogSystemFactory : public CLogFactoryBase {
public:
    class CNullIO : public Common::CReference<ILogIO> {
    public:
        int Lock() override { return 0; }
        int Unlock() override { return 0; }
        int WriteLine(const wchar_t*) override { return 0; }
        int Write(const wchar_t*) override { return 0; }
        void Flush() override {}
    };

    ILogIO* CreateLogIO(const wchar_t*) override { return new (std::nothrow) CNullIO(); }
};

}  // namespace opLogSys::Null
