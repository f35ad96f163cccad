#pragma once
// The decoder graph: builds a DirectShow graph for one file that ends in the sample dump renderer,
// and runs and stops it from a control thread; a monitor thread watches the graph's events.

#include <atomic>

#include "library/media/decode/ITranscode2.h"

struct IGraphBuilder;
struct IMediaControl;
struct IMediaSeeking;
struct IMediaEvent;
class CDump;
class CMemStream;
class CMemReader;

class CTranscode2 : public ITranscode2 {
public:
    explicit CTranscode2(ISampleReceiver2* receiver);
    ~CTranscode2() override;

    void Release() override;
    void ReleaseSingleMode() override;
    HRESULT SetFile(const wchar_t* path, int sourceKind) override;
    HRESULT Run() override;
    HRESULT Stop() override;
    HRESULT GetInputMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT GetDuration(LONGLONG* milliseconds) override;

private:
    HRESULT Initialize(ISampleReceiver2* receiver);
    HRESULT BuildGraph(const wchar_t* path, int sourceKind, IBaseFilter** feeding);
    HRESULT BuildMemoryGraph(const wchar_t* path, IBaseFilter** feeding);
    HRESULT BuildRenderFileGraph(const wchar_t* path, IBaseFilter** feeding);
    HRESULT BuildDecoderGraph(const wchar_t* path, IBaseFilter** feeding);
    HRESULT BuildCodecFamilyGraph(const wchar_t* path, IBaseFilter** feeding);
    HRESULT AddFileSource(const wchar_t* path, IBaseFilter** source);
    HRESULT ConnectToSinkWithoutClock(IBaseFilter* decoder, const wchar_t* outputPin);
    HRESULT PostAndWait(UINT message, HANDLE processed);

    static unsigned __stdcall ControlThreadEntry(void* self);
    static unsigned __stdcall MonitorThreadEntry(void* self);
    void thrProc();
    void thrMonitorEventProc();
    void DrainGraphEvents();

    IGraphBuilder* graph_ = nullptr;
    IMediaControl* mediaControl_ = nullptr;
    IMediaSeeking* mediaSeeking_ = nullptr;
    std::atomic<IMediaEvent*> mediaEvent_{nullptr};
    IBaseFilter* sinkFilter_ = nullptr;
    CDump* sink_ = nullptr;
    ISampleReceiver2* receiver_ = nullptr;
    HANDLE controlThread_ = nullptr;
    std::atomic<HWND> controlWindow_{nullptr};
    HANDLE controlReadyEvent_ = nullptr;
    HANDLE stopProcessedEvent_ = nullptr;
    HANDLE m_hRunProcessedEvent = nullptr;
    HANDLE singleModeEvent_ = nullptr;
    HANDLE monitorThread_ = nullptr;
    std::atomic<HWND> monitorWindow_{nullptr};
    HANDLE monitorReadyEvent_ = nullptr;
    HANDLE graphControlMutex_ = nullptr;
    AM_MEDIA_TYPE* inputMediaType_ = nullptr;
    CMemStream* memStream_ = nullptr;
    CMemReader* memReader_ = nullptr;
};
