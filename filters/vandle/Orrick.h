#pragma once
// A transform from packed YUY2 video to 32-bit RGB (blue, green, red, 0) with the rows turned over.

#include <ocidl.h>

#include "platform/dshow/TransformFilter.h"

struct RgbPixel {
    BYTE blue;
    BYTE green;
    BYTE red;
};

// Integer BT.601 conversion of one studio-range YUV triple, each channel clamped to 0..255.
RgbPixel YuvToRgb(BYTE y, BYTE u, BYTE v);

class COrrick : public CDsTransformFilter, public ISpecifyPropertyPages {
public:
    explicit COrrick(IUnknown* outer);

    QB_DS_DELEGATING_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckInputType(const AM_MEDIA_TYPE* input) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
    HRESULT GetOutputType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

    // Converts one YUY2 buffer into the RGB32 buffer; returns the bytes written. The frame size
    // remembered from the output type bounds the work to whole frames.
    LONG ConvertFrame(const BYTE* input, LONG inputLength, BYTE* output, LONG outputSize) const;
    // The frame size ConvertFrame turns over (taken from the proposed output type).
    void SetFrameSize(LONG width, LONG height) {
        width_ = width;
        height_ = height;
    }

private:
    LONG width_ = 0;
    LONG height_ = 0;
};
