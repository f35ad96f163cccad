#include "updater/oplogsys/MethodLog.h"

#include <string>

#include "updater/oplogsys/LogPaths.h"

namespace opLogSys::Fmt {

CMethodLogBase::CMethodLogBase(COutputLogSystem* system, const wchar_t* methodName)
    : system_(system), methodName_(methodName ? methodName : L""), subject_(GetDefaultLogName()) {
    ILogFilter* filter = system_ ? system_->Filter() : nullptr;
    enabled_ = filter && filter->HasEntries() == S_OK && filter->IsEnabled(subject_, defaultLevel_) == S_OK;
    if (!enabled_) return;
    log_.Reset(GetThreadLog(system_, system_->Name().c_str()));
    if (!log_) {
        enabled_ = false;
        return;
    }
    log_->IncreaseIndent();
    system_->Printf(L"\x250C %ls()", methodName_);
}

CMethodLogBase::~CMethodLogBase() {
    // A log whose derived part did not report a result still closes its level.
    Leave(0);
}

void CMethodLogBase::Leave(int32_t result) {
    if (left_) return;
    left_ = true;
    if (!enabled_) return;
    system_->Printf(L"\x2514 %ls() : return 0x%08X [%d]", methodName_, static_cast<unsigned>(result),
                    static_cast<int>(result));
    log_->DecreaseIndent();
    log_.Reset();
}

void CMethodLogBase::Printf(int level, const wchar_t* format, ...) {
    if (!enabled_) return;
    va_list arguments;
    va_start(arguments, format);
    VPrintf(level, format, arguments);
    va_end(arguments);
}

void CMethodLogBase::Printf(const wchar_t* format, ...) {
    if (!enabled_) return;
    va_list arguments;
    va_start(arguments, format);
    VPrintf(defaultLevel_, format, arguments);
    va_end(arguments);
}

void CMethodLogBase::VPrintf(int level, const wchar_t* format, va_list arguments) {
    if (!enabled_) return;
    const std::wstring text = FormatLine(format, arguments);
    Write(level, text.c_str());
}

void CMethodLogBase::VPrintf(const wchar_t* format, va_list arguments) { VPrintf(defaultLevel_, format, arguments); }

void CMethodLogBase::Write(int level, const wchar_t* text) {
    if (!enabled_ || !system_->IsEnabled(subject_, level)) return;
    system_->Printf(L"\x2502 %ls", text ? text : L"");
}

void CMethodLogBase::Write(const wchar_t* text) { Write(defaultLevel_, text); }

HRESULT CMethodLogBase::Dump(int level, const wchar_t* title, const void* data, size_t size, unsigned bytesPerRow) {
    if (!enabled_ || !system_->IsEnabled(subject_, level)) return S_FALSE;
    BeginBatch();
    log_->IncreaseIndent();
    const HRESULT hr = system_->Dump(title, data, size, bytesPerRow);
    log_->DecreaseIndent();
    EndBatch();
    return hr;
}

HRESULT CMethodLogBase::Dump(const wchar_t* title, const void* data, size_t size, unsigned bytesPerRow) {
    return Dump(defaultLevel_, title, data, size, bytesPerRow);
}

void CMethodLogBase::ErrorPrintf(int line, const wchar_t* source, const wchar_t* format, ...) {
    if (!enabled_) return;
    va_list arguments;
    va_start(arguments, format);
    ErrorVPrintf(line, source, format, arguments);
    va_end(arguments);
}

void CMethodLogBase::ErrorPrintf(const wchar_t* format, ...) {
    if (!enabled_) return;
    va_list arguments;
    va_start(arguments, format);
    const std::wstring text = FormatLine(format, arguments);
    va_end(arguments);
    ErrorWrite(text.c_str());
}

void CMethodLogBase::ErrorVPrintf(int line, const wchar_t* source, const wchar_t* format, va_list arguments) {
    if (!enabled_) return;
    const std::wstring text = FormatLine(format, arguments);
    ErrorWrite(line, source, text.c_str());
}

void CMethodLogBase::ErrorWrite(int line, const wchar_t* source, const wchar_t* text) {
    wchar_t record[1024] = {};
    std::swprintf(record, 1024, L"%05d:[%ls] %ls", line, source ? source : L"", text ? text : L"");
    ErrorWrite(record);
}

void CMethodLogBase::ErrorWrite(const wchar_t* text) {
    if (!system_) return;
    // Error records are kept whatever the filter says; the method's own log shows them when enabled.
    system_->ErrorWrite(text);
    if (enabled_) system_->Printf(L"\x2502 %ls", text ? text : L"");
}

void CMethodLogBase::BeginBatch() {
    if (enabled_) log_->BeginBatch();
}

void CMethodLogBase::EndBatch() {
    if (enabled_) log_->EndBatch();
}

}  // namespace opLogSys::Fmt
