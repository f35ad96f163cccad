#pragma once
#include <cstdarg>
#include <string>

#include "library/util/ScopedCom.h"
#include "updater/oplogsys/LogInterfaces.h"

namespace opLogSys {

// The process's log system: per-thread logs of one name through the configured channel, filtered
// by subject and level, and the shared error log. Formats follow the C library's wide functions
// (%ls for a wide string).
class COutputLogSystem {
public:
    // Takes its own references of the configuration's factory and filter. An empty error log path
    // writes no error records.
    COutputLogSystem(const wchar_t* logName, ILogSysInfo* info, const wchar_t* errorLogPath);
    virtual ~COutputLogSystem() = default;
    COutputLogSystem(const COutputLogSystem&) = delete;
    COutputLogSystem& operator=(const COutputLogSystem&) = delete;

    virtual void Printf(const wchar_t* format, ...);
    virtual void Printf(const wchar_t* subject, int level, const wchar_t* format, ...);
    virtual void Write(const wchar_t* text);
    virtual void Write(const wchar_t* subject, int level, const wchar_t* text);
    virtual HRESULT Dump(const wchar_t* title, const void* data, size_t size, unsigned bytesPerRow);
    virtual HRESULT Dump(const wchar_t* subject, int level, const wchar_t* title, const void* data, size_t size,
                         unsigned bytesPerRow);
    virtual void ErrorPrintf(int line, int extra, const wchar_t* source, const wchar_t* format, ...);
    virtual void ErrorPrintf(const wchar_t* format, ...);
    virtual void ErrorVPrintf(int line, int extra, const wchar_t* source, const wchar_t* format, va_list arguments);
    virtual void ErrorWrite(int line, int extra, const wchar_t* source, const wchar_t* text);
    virtual void ErrorWrite(const wchar_t* text);
    virtual void BeginBatch();
    virtual void EndBatch();

    const std::wstring& Name() const { return name_; }
    const std::wstring& ErrorLogPath() const { return errorLogPath_; }
    IOutputLogSystemFactory* Factory() const { return factory_.Get(); }
    ILogFilter* Filter() const { return filter_.Get(); }
    bool IsEnabled(const wchar_t* subject, int level) const;

private:
    std::wstring name_;
    std::wstring errorLogPath_;
    DWORD errorLogLimit_ = 0x10000;
    bool trim_ = true;
    CScopedComPtr<IOutputLogSystemFactory> factory_;
    CScopedComPtr<ILogFilter> filter_;
};

// The program's log system, built at first use from the configuration beside the program.
COutputLogSystem* GetLogSystem();
// The calling thread's log of the system's name, with an added reference; made at first use.
ILog* GetThreadLog(COutputLogSystem* system, const wchar_t* name);

// Formats into at most 1,023 characters; longer results are cut.
std::wstring FormatLine(const wchar_t* format, va_list arguments);

}  // namespace opLogSys
