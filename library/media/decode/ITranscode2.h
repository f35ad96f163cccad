#pragma once
// The decoder graph as its callers see it: decode one audio file into PCM for a receiver, or
// probe its compressed format and duration. Not a COM interface: delete after Release.

#include <windows.h>
#include <strmif.h>

#include "library/media/decode/SampleReceiver2.h"

class ITranscode2 {
public:
    virtual ~ITranscode2() = default;
    // Tears the graph, its threads and the single-decode token down; harmless at any time.
    virtual void Release() = 0;
    // Gives the single-decode token back while the graph stays.
    virtual void ReleaseSingleMode() = 0;
    // Source kinds: 1 MP3 from memory, 3 MP4-family decoder, 4 codec-family filters, others RenderFile.
    virtual HRESULT SetFile(const wchar_t* path, int sourceKind) = 0;
    virtual HRESULT Run() = 0;
    virtual HRESULT Stop() = 0;
    // Copies the type entering the decoder into a zeroed or valid record.
    virtual HRESULT GetInputMediaType(AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT GetDuration(LONGLONG* milliseconds) = 0;
};

// A new decoder graph with the receiver stored (may be null); null when memory runs out.
ITranscode2* CreateTranscode2(ISampleReceiver2* receiver);

// The process's handle of the named event that admits one decoder graph at a time among all
// programs of the logon; created signalled (the token free) unless another program made it first.
HRESULT CreateTranscodeSingleModeEvent();
void CloseTranscodeSingleModeEvent();

// Where the graph's trace lines go; none by default.
typedef void (*TranscodeTraceSink)(const char* line);
void SetTranscodeTraceSink(TranscodeTraceSink sink);
