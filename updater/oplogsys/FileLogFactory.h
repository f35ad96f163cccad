#pragma once
#include <string>

#include "updater/oplogsys/LogFactoryBase.h"

namespace opLogSys::File {

// Lines go to a file per log name in the folder that `location` names.
class COutputLogSystemFactory : public CLogFactoryBase {
public:
    COutputLogSystemFactory(const wchar_t* location, bool autoflush)
        : location_(location ? location : L""), autoflush_(autoflush) {}
    ILogIO* CreateLogIO(const wchar_t* name) override;

private:
    std::wstring location_;
    bool autoflush_;
};

}  // namespace opLogSys::File
