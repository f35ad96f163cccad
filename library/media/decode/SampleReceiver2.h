#pragma once
// What a caller of the decoder graph implements to receive the decoded stream.

#include <windows.h>
#include <strmif.h>

class ISampleReceiver2 {
public:
    // The connection's type (PCM with a WAVEFORMATEX block), on every run of the graph.
    virtual void OnMediaType(const AM_MEDIA_TYPE* type) = 0;
    // Every decoded sample, on the streaming thread; the result is not looked at.
    virtual HRESULT OnSample(IMediaSample* sample) = 0;
    virtual void OnEndOfStream() = 0;
    // 1: the graph aborted with an error.
    virtual void OnStop(int reason) = 0;

protected:
    ~ISampleReceiver2() = default;
};
