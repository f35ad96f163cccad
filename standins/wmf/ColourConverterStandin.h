#pragma once
// Stand-in for the platform's Color Space Converter, which Wine lacks: pins "In" and "Out", it
// takes uncompressed RGB video and passes each frame on unchanged in the same format.

#include "platform/dshow/TransformFilter.h"

namespace standin {

class CColourConverterStandin : public CDsTransformFilter {
public:
    explicit CColourConverterStandin(IUnknown* outer);

    HRESULT CheckInputType(const AM_MEDIA_TYPE* input) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
    HRESULT GetOutputType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;
};

}  // namespace standin
