#include "updater/oplogsys/OutputLogSystem.h"

#include <cwchar>
#include <map>
#include <memory>
#include <new>

#include "updater/oplogsys/CriticalSection.h"
#include "updater/oplogsys/ErrorLogIO.h"
#include "updater/oplogsys/LogDump.h"
#include "updater/oplogsys/LogPaths.h"
#include "updater/oplogsys/LogSysInfoFromXml.h"

namespace opLogSys {
namespace {

constexpr size_t kMaxLineCharacters = 1024;

// One log name's channel and the logs of the threads that wrote to it.
struct CLogModule {
    CScopedComPtr<ILogIO> channel;
    std::map<DWORD, CScopedComPtr<ILog>> logs;
};

// The module map and the lock of every error record: shared by the whole process, kept until it
// ends.
struct CLogModules {
    Common::CCriticalSection lock;
    std::map<std::wstring, CLogModule> modules;
    HANDLE errorLogMutex = nullptr;

    ~CLogModules() {
        modules.clear();
        if (errorLogMutex) CloseHandle(errorLogMutex);
    }
};

CLogModules& Modules() {
    static CLogModules modules;
    return modules;
}

using Lock = Common::CLockScope<Common::CCriticalSection>;

std::wstring ErrorLogMutexName(const std::wstring& path) {
    wchar_t head[40] = {};
    std::swprintf(head, 40, L"OPLOGSYS_ERRORLOG:%08X:", static_cast<unsigned>(GetCurrentProcessId()));
    std::wstring name = head + path;
    for (wchar_t& c : name) {
        if (c == L'\\' || c == L':' || c == L'.') c = L'_';
    }
    return name;
}

}  // namespace

std::wstring FormatLine(const wchar_t* format, va_list arguments) {
    if (!format) return std::wstring();
    wchar_t text[kMaxLineCharacters] = {};
    // A result longer than the buffer fails; what was written by then is kept, cut at the end.
    std::vswprintf(text, kMaxLineCharacters, format, arguments);
    text[kMaxLineCharacters - 1] = L'\0';
    return text;
}

COutputLogSystem::COutputLogSystem(const wchar_t* logName, ILogSysInfo* info, const wchar_t* errorLogPath)
    : name_(logName ? logName : L""), errorLogPath_(errorLogPath ? errorLogPath : L"") {
    if (info) {
        factory_.Reset(info->GetFactory());
        filter_.Reset(info->GetFilter());
    }
}

bool COutputLogSystem::IsEnabled(const wchar_t* subject, int level) const {
    return filter_ && filter_->IsEnabled(subject, level) == S_OK;
}

void COutputLogSystem::Printf(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::wstring text = FormatLine(format, arguments);
    va_end(arguments);
    Write(text.c_str());
}

void COutputLogSystem::Printf(const wchar_t* subject, int level, const wchar_t* format, ...) {
    if (!IsEnabled(subject, level)) return;
    va_list arguments;
    va_start(arguments, format);
    const std::wstring text = FormatLine(format, arguments);
    va_end(arguments);
    Write(text.c_str());
}

void COutputLogSystem::Write(const wchar_t* text) {
    CScopedComPtr<ILog> log(GetThreadLog(this, name_.c_str()));
    if (log) log->Write(text);
}

void COutputLogSystem::Write(const wchar_t* subject, int level, const wchar_t* text) {
    if (IsEnabled(subject, level)) Write(text);
}

HRESULT COutputLogSystem::Dump(const wchar_t* title, const void* data, size_t size, unsigned bytesPerRow) {
    CScopedComPtr<ILog> log(GetThreadLog(this, name_.c_str()));
    if (!log) return E_OUTOFMEMORY;
    log->BeginBatch();
    const HRESULT hr = WriteDump(log.Get(), title, data, size, bytesPerRow);
    log->EndBatch();
    return hr;
}

HRESULT COutputLogSystem::Dump(const wchar_t* subject, int level, const wchar_t* title, const void* data,
                               size_t size, unsigned bytesPerRow) {
    if (!IsEnabled(subject, level)) return S_FALSE;
    return Dump(title, data, size, bytesPerRow);
}

void COutputLogSystem::ErrorPrintf(int line, int extra, const wchar_t* source, const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    ErrorVPrintf(line, extra, source, format, arguments);
    va_end(arguments);
}

void COutputLogSystem::ErrorPrintf(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::wstring text = FormatLine(format, arguments);
    va_end(arguments);
    ErrorWrite(text.c_str());
}

void COutputLogSystem::ErrorVPrintf(int line, int extra, const wchar_t* source, const wchar_t* format,
                                    va_list arguments) {
    const std::wstring text = FormatLine(format, arguments);
    ErrorWrite(line, extra, source, text.c_str());
}

void COutputLogSystem::ErrorWrite(int line, int, const wchar_t* source, const wchar_t* text) {
    ErrorPrintf(L"%05d:[%ls] %ls", line, source ? source : L"", text ? text : L"");
}

void COutputLogSystem::ErrorWrite(const wchar_t* text) {
    if (errorLogPath_.empty() || !factory_) return;
    CLogModules& modules = Modules();
    Lock scope(modules.lock);
    // The file is opened, written and closed (and trimmed) for every record.
    CScopedComPtr<ILogIO> channel(new (std::nothrow) COutputErrorLogIO(errorLogPath_.c_str(), errorLogLimit_, trim_));
    if (!channel) return;
    CScopedComPtr<ILog> errorLog(factory_->CreateErrorLog(channel.Get()));
    if (!errorLog) return;
    if (!modules.errorLogMutex) {
        modules.errorLogMutex = CreateMutexW(nullptr, FALSE, ErrorLogMutexName(errorLogPath_).c_str());
        if (modules.errorLogMutex && GetLastError() != ERROR_ALREADY_EXISTS) {
            const std::wstring rule(79, L'-');
            wchar_t program[MAX_PATH] = {};
            GetModuleFileNameW(nullptr, program, MAX_PATH);
            errorLog->Write(rule.c_str());
            errorLog->Write(program);
            errorLog->Write(rule.c_str());
        }
    }
    errorLog->Write(text);
}

void COutputLogSystem::BeginBatch() {
    CScopedComPtr<ILog> log(GetThreadLog(this, name_.c_str()));
    if (log) log->BeginBatch();
}

void COutputLogSystem::EndBatch() {
    CScopedComPtr<ILog> log(GetThreadLog(this, name_.c_str()));
    if (log) log->EndBatch();
}

ILog* GetThreadLog(COutputLogSystem* system, const wchar_t* name) {
    if (!system || !system->Factory()) return nullptr;
    CLogModules& modules = Modules();
    Lock scope(modules.lock);
    const std::wstring key = name ? name : L"";
    auto found = modules.modules.find(key);
    if (found == modules.modules.end()) {
        CLogModule module;
        module.channel.Reset(system->Factory()->CreateLogIO(key.c_str()));
        if (!module.channel) return nullptr;
        found = modules.modules.emplace(key, std::move(module)).first;
    }
    const DWORD thread = GetCurrentThreadId();
    CScopedComPtr<ILog>& log = found->second.logs[thread];
    if (!log) log.Reset(system->Factory()->CreateLog(thread, found->second.channel.Get()));
    if (!log) return nullptr;
    log->AddRef();
    return log.Get();
}

COutputLogSystem* GetLogSystem() {
    static std::unique_ptr<COutputLogSystem> system = [] {
        CScopedComPtr<CLogSysInfoFromXML> info(new (std::nothrow) CLogSysInfoFromXML(GetLogConfigPath().c_str()));
        const std::wstring errorLogPath = GetErrorLogPath();
        return std::unique_ptr<COutputLogSystem>(
            new (std::nothrow) COutputLogSystem(GetDefaultLogName(), info.Get(), errorLogPath.c_str()));
    }();
    return system.get();
}

}  // namespace opLogSys
