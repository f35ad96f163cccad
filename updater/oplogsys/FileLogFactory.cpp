#include "updater/oplogsys/FileLogFactory.h"

#include <new>

#include "updater/oplogsys/FileIO.h"

namespace opLogSys::File {

ILogIO* COutputLogSystemFactory::CreateLogIO(const wchar_t* name) {
    return new (std::nothrow) CFileIO(name, location_.c_str(), autoflush_);
}

}  // namespace opLogSys::File
