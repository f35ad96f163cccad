#pragma once
#include <string>

#include "updater/oplogsys/LogInterfaces.h"
#include "updater/oplogsys/Mutex.h"

namespace opLogSys {

// The error log file that every process using the same file shares. It is open only while a
// record is written, under a mutex named after the file, and trimmed from the front to whole
// lines when it is closed larger than its limit.
class COutputErrorLogIO : public Common::CReference<ILogIO> {
public:
    COutputErrorLogIO(const wchar_t* path, DWORD sizeLimit, bool trim);
    ~COutputErrorLogIO() override;

    // Takes the mutex and opens the file for its first user; returns the number of users.
    int Lock() override;
    int Unlock() override;
    int WriteLine(const wchar_t* text) override;
    // 0 when the file is not open.
    int Write(const wchar_t* text) override;
    void Flush() override {}

private:
    void Close();

    std::wstring path_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    Common::CMutex mutex_;
    DWORD sizeLimit_;
    bool trim_;
    int users_ = 0;
};

// Cuts the open file from its front to whole lines so that it holds at most `limit` bytes; a rest
// of 4 bytes or fewer leaves the file empty. Reads no more than the part that is kept.
bool TrimLogFile(HANDLE file, DWORD limit);

}  // namespace opLogSys
