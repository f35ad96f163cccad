#pragma once
#include <string>
#include <vector>

#include "library/util/ScopedCom.h"
#include "updater/oplogsys/CriticalSection.h"
#include "updater/oplogsys/LogInterfaces.h"

namespace opLogSys {

// A configuration: the channel factory and the filter of subjects and levels. By default nothing
// is written (the Null factory and an empty filter).
class CLogSysInfo : public ILogSysInfo {
public:
    class COutputLogState : public Common::CReference<ILogFilter> {
    public:
        struct Entry {
            std::wstring subject;
            int minLevel;
            int maxLevel;
        };

        // E_FAIL also for a null subject.
        HRESULT IsEnabled(const wchar_t* subject, int level) override;
        HRESULT HasEntries() override;
        // Narrows an entry of that subject whose range holds the new maximum; otherwise adds one.
        void AddFilter(int minLevel, int maxLevel, const wchar_t* subject);
        std::vector<Entry> Entries();

    private:
        Common::CCriticalSection lock_;
        std::vector<Entry> entries_;
    };

    CLogSysInfo();

    IOutputLogSystemFactory* GetFactory() override;
    ILogFilter* GetFilter() override;
    ULONG AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
    ULONG Release() override;

    // Takes over the caller's reference.
    void SetFactory(IOutputLogSystemFactory* factory) { factory_.Reset(factory); }
    COutputLogState* State() { return state_.Get(); }

private:
    CScopedComPtr<IOutputLogSystemFactory> factory_;
    CScopedComPtr<COutputLogState> state_;
    LONG count_ = 1;
};

}  // namespace opLogSys
