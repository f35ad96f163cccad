#pragma once
// Stand-in for the codec-family decoder: takes the stand-ins' codec-family audio on "XForm In" and
// gives the same samples as PCM on "XForm Out".

#include "platform/dshow/TransformFilter.h"

class CPcmPassDecoder : public CDsTransformFilter {
public:
    explicit CPcmPassDecoder(IUnknown* outer);

    HRESULT CheckInputType(const AM_MEDIA_TYPE* input) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
    HRESULT GetOutputType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;
};
