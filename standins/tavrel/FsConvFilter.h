#pragma once
// Stand-in for the outside sample-rate conversion filter shipped beside the program
// ("TavrelFsConvFilter.ax"): takes 16-bit PCM of any channel count and rate on "In" and gives
// 2-channel 16-bit PCM at 44,100 Hz on "Out" (the first two channels, nearest-sample resampling).

#include <windows.h>
#include <mmreg.h>

#include "library/media/convert/SampleRateConverter.h"
#include "platform/dshow/TransformFilter.h"

class CFsConvFilter : public CDsTransformFilter, public ITavrelFsConvConfig {
public:
    explicit CFsConvFilter(IUnknown* outer);

    QB_DS_DELEGATING_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE SetInputFormat(int bitsPerSample, int sampleRate, int outputChannels) override;

    HRESULT CheckInputType(const AM_MEDIA_TYPE* input) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
    HRESULT GetOutputType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;
    HRESULT StartStreaming() override;

private:
    WAVEFORMATEX InputFormat();

    int configuredBits_ = 0;
    int configuredRate_ = 0;
    // Input frames taken and output frames given since streaming began.
    LONGLONG framesIn_ = 0;
    LONGLONG framesOut_ = 0;
};
