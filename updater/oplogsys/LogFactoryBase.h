#pragma once
#include "updater/oplogsys/LogInterfaces.h"

namespace opLogSys {

// What every channel factory makes alike: thread logs and the error log's record writer.
class CLogFactoryBase : public Common::CReference<IOutputLogSystemFactory> {
public:
    ILog* CreateLog(DWORD id, ILogIO* channel) override;
    ILog* CreateErrorLog(ILogIO* channel) override;
};

}  // namespace opLogSys
