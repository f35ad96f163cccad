#pragma once
// The asynchronous reader over an in-memory MP3 stream, as the decoder graph creates it.

#include "library/media/decode/AsyncReader.h"
#include "library/media/decode/MemStream.h"

class CMemReader : public CAsyncReader {
public:
    CMemReader(CMemStream* stream, const AM_MEDIA_TYPE& type, HRESULT* hr)
        : CAsyncReader(L"Mem Reader", nullptr, stream, type, hr) {}
};
