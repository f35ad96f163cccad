#pragma once
// Stand-in for an outside video decoder: pulls the stand-ins' own raw movie format (a 16-byte
// header "QBY2", width, height and frame rate, then whole YUY2 frames) from an asynchronous reader
// on "In" and pushes one YUY2 frame per sample on "Out".

#include "platform/dshow/DShow.h"
#include "standins/decoders/WavPullFilter.h"

// {32594251-0000-0010-8000-00AA00389B71}: the byte stream subtype of that format ("QBY2").
const GUID MEDIASUBTYPE_StandinRawMovie = {0x32594251, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

class CYuy2PullFilter : public CWavPullFilter {
public:
    CYuy2PullFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid);

    HRESULT ReadHeader(IAsyncReader* reader) override;
    HRESULT OutputType(CMediaType* type) override;
    LONG BlockBytes() const override { return frameBytes_; }
    LONG ChunkBytes() const override { return frameBytes_; }

private:
    LONG frameBytes_ = 0;
    LONG width_ = 0;
    LONG height_ = 0;
    DWORD framesPerSecond_ = 0;
};
