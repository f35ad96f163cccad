#pragma once
// The chain stage that analyses songs for mood: for each song it creates the analysis engine,
// decodes the song and feeds the engine the PCM one buffer at a time; when the engine reports the
// end, the cleaned result goes with the record. The work after ProcessContent happens on the
// decoder's and the engine's threads; the record is finished once, on the stage's own thread.

#include <atomic>
#include <string>
#include <vector>

#include "library/content/ParallelRunnableTNContentHandler.h"
#include "library/media/decode/ITranscode2.h"
#include "library/util/ScopedCom.h"
#include "library/util/ScopedWin.h"
#include "platform/analysis/MusicAnalysisEngine.h"

class CAnalysisManager : public CParallelRunnableTNContentHandler,
                         public _IMusicAnalysisEvents2,
                         public ISampleReceiver2 {
public:
    class IListener {
    public:
        // state 0: a song's analysis started; 1: it finished.
        virtual void OnAnalysisProgress(int state, int reserved1, int reserved2, bool failed) = 0;

    protected:
        ~IListener() = default;
    };

    CAnalysisManager();
    ~CAnalysisManager() override;

    HRESULT Start() override;
    HRESULT Stop() override;

    void SetEnabled(bool enabled);
    void SetListener(IListener* listener);
    std::vector<std::wstring> GetReportList();
    void ClearReportList();

    // The engine's events. The object lives as long as the stage: no reference counting.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnBufferDone(LONG abort) override;
    HRESULT STDMETHODCALLTYPE OnAnalysisEnd(LONG reserved, LONG status) override;

    // The decoded stream.
    void OnMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT OnSample(IMediaSample* sample) override;
    void OnEndOfStream() override;
    void OnStop(int reason) override;

protected:
    void ProcessContent(CTNContent* content) override;
    void OnMessage(CThreadMessage* message) override;
    void OnThreadStart() override;
    void OnThreadEnd() override;

private:
    HRESULT PrepareEngine();
    void ReleaseDecoderAndEngine();
    HRESULT OpenDecoder(const CTNContent& content);
    // Claims the song's end once, whichever thread gets there first, and lets the stage's thread
    // do the rest: the decoder is never stopped on its own streaming thread.
    void Finish(bool success);
    // onStageThread: the decoder may be torn down here (never on its own streaming thread).
    void CompleteSong(bool success, bool onStageThread);
    void AttachResult(CTNContent* content);
    void NotifyListener(int state, bool failed);
    bool IsEnabled();
    IMusicAnalysisEngine* TakeEngine();

    CCriticalSection stateLock_;
    bool enabled_ = true;
    CScopedComPtr<IMusicAnalysisEngine> engine_;
    CScopedComPtr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
    ITranscode2* decoder_ = nullptr;
    std::vector<uint8_t> buffer_;
    std::atomic<uint64_t> bytesFed_{0};
    HANDLE bufferFree_ = nullptr;
    HANDLE endSent_ = nullptr;

    CCriticalSection listenerLock_;
    IListener* listener_ = nullptr;

    CCriticalSection reportLock_;
    std::vector<std::wstring> reportList_;

    // The record in work, from ProcessContent until the stage's thread completes it.
    CTNContent* song_ = nullptr;
    std::atomic<bool> finishClaimed_{true};
};
