#pragma once
// Stand-in for an outside audio decoder whose input carries PCM samples under another subtype (the
// codec-family audio, the AC-3 stand-in audio): takes them on "XForm In" and gives the same samples
// as PCM on "XForm Out".

#include "platform/dshow/TransformFilter.h"

class CPcmPassDecoder : public CDsTransformFilter {
public:
    CPcmPassDecoder(const wchar_t* name, IUnknown* outer, REFCLSID clsid, REFGUID inputSubtype);

    HRESULT CheckInputType(const AM_MEDIA_TYPE* input) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
    HRESULT GetOutputType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;

private:
    GUID inputSubtype_;
};
