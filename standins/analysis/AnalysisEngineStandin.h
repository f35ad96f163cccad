#pragma once
// The simulated music-analysis engine: takes PCM buffers, answers each with a buffer event and
// the end of data with an end event, from a thread of its own or inside PushBuffer, as the test's
// script says; its result is computed from the audio it received.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/analysis/MusicAnalysisEngine.h"
#include "standins/analysis/StandinPayload.h"
#include "standins/analysis/StandinScript.h"
#include "standins/wpd/ComObject.h"

// What the last engine of the process was told, for the tests.
struct AnalysisStandinSession {
    LONG engines;         // engines created so far
    LONG liveEngines;     // engines not yet released
    LONG option5;         // value of option 5 (-1 when never set)
    LONG initialized;     // Initialize calls
    LONG channels, sampleRate, bitsPerSample;
    LONG buffers;         // data buffers pushed
    LONG endPushes;       // end-of-data pushes
    LONG badFlags;        // pushes whose last argument was not 1
    LONGLONG bytes;       // bytes of PCM received
    LONG closed;          // Close calls
};

class CAnalysisEngineStandin final : public standin::CComObject,
                                     public IMusicAnalysisEngine,
                                     public IConnectionPointContainer,
                                     public IConnectionPoint {
public:
    static HRESULT Create(REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE Initialize() override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE SetOption(LONG option, VARIANT value) override;
    HRESULT STDMETHODCALLTYPE PushBuffer(const BYTE* data, LONG length, LONG endOfData, LONG flags) override;
    HRESULT STDMETHODCALLTYPE SetAudioFormat(LONG channels, LONG sampleRate, LONG bitsPerSample) override;
    HRESULT STDMETHODCALLTYPE GetResult(IMusicAnalysisResult** result) override;
    HRESULT STDMETHODCALLTYPE CheckData(const BYTE* data, LONG length, LONG* verdict) override;
    HRESULT STDMETHODCALLTYPE MergeData(const BYTE* oldData, LONG oldLength, const BYTE* newData, LONG newLength,
                                        VARIANT* merged) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    static AnalysisStandinSession& Session();

private:
    struct CEvent {
        bool end;
        LONG value;
    };

    CAnalysisEngineStandin();
    ~CAnalysisEngineStandin() override;

    bool Fails(const wchar_t* call) const { return script_.fail == call; }
    void Queue(CEvent event);
    void Fire(const CEvent& event);
    void StopThread();

    CStandinScript script_;
    CStandinPayload payload_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<CEvent> events_;
    std::thread thread_;
    std::thread racer_;
    bool stopping_ = false;
    _IMusicAnalysisEvents2* sink_ = nullptr;
    LONG buffers_ = 0;
};
