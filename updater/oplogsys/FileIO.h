#pragma once
#include <string>

#include "updater/oplogsys/CriticalSection.h"
#include "updater/oplogsys/LogInterfaces.h"

namespace opLogSys::File {

// A log file named after the log and the local time of the channel's creation, opened at the
// first write. Writes are serialised by the channel's own lock.
class CFileIO : public Common::CReference<ILogIO> {
public:
    CFileIO(const wchar_t* name, const wchar_t* location, bool autoflush);
    ~CFileIO() override;

    int Lock() override { return lock_.Lock(); }
    int Unlock() override { return lock_.Unlock(); }
    int WriteLine(const wchar_t* text) override;
    int Write(const wchar_t* text) override;
    void Flush() override;

    // The name chosen at creation; the file opened may carry a number when that one existed.
    const std::wstring& FileName() const { return path_; }
    // The file the channel writes to, empty before the first write.
    const std::wstring& OpenedPath() const { return openedPath_; }

private:
    bool EnsureOpen();
    int WriteBytes(const wchar_t* text);

    std::wstring path_;
    std::wstring openedPath_;
    std::wstring location_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    Common::CCriticalSection lock_;
    bool autoflush_;
};

}  // namespace opLogSys::File
