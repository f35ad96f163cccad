#include "updater/oplogsys/LogSysInfo.h"

#include <new>

#include "updater/oplogsys/NullLogFactory.h"

namespace opLogSys {

using Lock = Common::CLockScope<Common::CCriticalSection>;

HRESULT CLogSysInfo::COutputLogState::IsEnabled(const wchar_t* subject, int level) {
    if (!subject) return E_FAIL;
    Lock scope(lock_);
    for (const Entry& entry : entries_) {
        if (entry.subject == subject && entry.minLevel <= level && level <= entry.maxLevel) return S_OK;
    }
    return E_FAIL;
}

HRESULT CLogSysInfo::COutputLogState::HasEntries() {
    Lock scope(lock_);
    return entries_.empty() ? E_FAIL : S_OK;
}

void CLogSysInfo::COutputLogState::AddFilter(int minLevel, int maxLevel, const wchar_t* subject) {
    const std::wstring name = subject ? subject : L"";
    Lock scope(lock_);
    for (Entry& entry : entries_) {
        if (entry.subject == name && entry.minLevel <= maxLevel && maxLevel <= entry.maxLevel) {
            entry.minLevel = minLevel;
            entry.maxLevel = maxLevel;
            return;
        }
    }
    entries_.push_back(Entry{name, minLevel, maxLevel});
}

std::vector<CLogSysInfo::COutputLogState::Entry> CLogSysInfo::COutputLogState::Entries() {
    Lock scope(lock_);
    return entries_;
}

CLogSysInfo::CLogSysInfo()
    : factory_(new (std::nothrow) Null::COutputLogSystemFactory()), state_(new (std::nothrow) COutputLogState()) {}

IOutputLogSystemFactory* CLogSysInfo::GetFactory() {
    if (factory_) factory_->AddRef();
    return factory_.Get();
}

ILogFilter* CLogSysInfo::GetFilter() {
    if (state_) state_->AddRef();
    return state_.Get();
}

ULONG CLogSysInfo::Release() {
    const LONG count = InterlockedDecrement(&count_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

}  // namespace opLogSys
