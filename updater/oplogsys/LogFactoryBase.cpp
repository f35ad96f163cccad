#include "updater/oplogsys/LogFactoryBase.h"

#include <new>

#include "updater/oplogsys/Log.h"

namespace opLogSys {

ILog* CLogFactoryBase::CreateLog(DWORD id, ILogIO* channel) { return new (std::nothrow) CLog(id, channel); }

ILog* CLogFactoryBase::CreateErrorLog(ILogIO* channel) { return new (std::nothrow) CErrorLog(channel); }

}  // namespace opLogSys
