#pragma once
// IBaseFilter plumbing: state, clock, graph membership and the pin list. A concrete filter
// supplies its pins (GetPinCount, GetPin) and may widen Stop, Pause and Run.

#include <windows.h>
#include "platform/dshow/DShow.h"

#include <string>

#include "library/util/ScopedWin.h"
#include "platform/dshow/DsUnknown.h"

class CDsBasePin;

class CDsBaseFilter : public CDsUnknown, public IBaseFilter, public IAMFilterMiscFlags {
public:
    // lock: the filter lock, owned by the caller and outliving the filter.
    CDsBaseFilter(const wchar_t* name, IUnknown* outer, CCriticalSection* lock, REFCLSID clsid);
    ~CDsBaseFilter() override;

    QB_DS_DELEGATING_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // Required: the pins, by index; GetPin returns null beyond the count.
    virtual int GetPinCount() = 0;
    virtual CDsBasePin* GetPin(int index) = 0;
    // Optional: AM_FILTER_MISC_FLAGS_IS_RENDERER for a sink, so the graph waits for its EC_COMPLETE.
    virtual ULONG MiscFlags() { return 0; }

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    // IMediaFilter
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD milliseconds, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;
    // IAMFilterMiscFlags
    ULONG STDMETHODCALLTYPE GetMiscFlags() override { return MiscFlags(); }

    // Sends an event to the graph manager (EC_COMPLETE and the like); E_NOTIMPL outside a graph.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

    FILTER_STATE State() const { return state_; }
    bool IsStopped() const { return state_ == State_Stopped; }
    bool IsRunning() const { return state_ == State_Running; }
    CCriticalSection* FilterLock() const { return lock_; }
    IFilterGraph* Graph() const { return graph_; }
    REFERENCE_TIME StreamStart() const { return start_; }

private:
    CCriticalSection* lock_;
    CLSID clsid_;
    std::wstring name_;
    FILTER_STATE state_ = State_Stopped;
    REFERENCE_TIME start_ = 0;
    IReferenceClock* clock_ = nullptr;
    // Not referenced: the graph holds the filter, never the reverse (that would be a cycle).
    IFilterGraph* graph_ = nullptr;
    IMediaEventSink* eventSink_ = nullptr;
};
