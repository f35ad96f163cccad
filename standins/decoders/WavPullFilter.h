#pragma once
// Stand-in for an outside source-side decoder: pulls a WAV byte stream from an asynchronous reader
// on its input pin and pushes the PCM data from its own thread on its output pin, labelled with a
// chosen subtype. Plays both the MP4-family decoder and the codec-family parser.

#include <windows.h>
#include <mmreg.h>

#include <cstdint>

#include "platform/dshow/BaseFilter.h"
#include "platform/dshow/OutputPin.h"

class CWavPullFilter;

class CWavPullInputPin : public CDsBasePin {
public:
    CWavPullInputPin(CWavPullFilter* filter, CCriticalSection* lock, const wchar_t* name);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT CompleteConnect(IPin* peer) override;
    HRESULT BreakConnect() override;
    IAsyncReader* Reader() const { return reader_; }

private:
    CWavPullFilter* owner_;
    IAsyncReader* reader_ = nullptr;
};

class CWavPushOutputPin : public CDsOutputPin {
public:
    CWavPushOutputPin(CWavPullFilter* filter, CCriticalSection* lock, const wchar_t* name);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override;
    HRESULT Inactive() override;

private:
    CWavPullFilter* owner_;
};

class CWavPullFilter : public CDsBaseFilter {
public:
    CWavPullFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid, const wchar_t* inputName,
                   const wchar_t* outputName, REFGUID outputSubtype);
    ~CWavPullFilter() override;

    int GetPinCount() override { return 2; }
    CDsBasePin* GetPin(int index) override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;

    // Reads the RIFF header through the reader: the format and where the samples lie.
    virtual HRESULT ReadHeader(IAsyncReader* reader);
    void ForgetHeader() { dataSize_ = 0; }
    virtual HRESULT OutputType(CMediaType* type);
    // The bytes of one block of the format, and the most one sample carries (whole blocks).
    virtual LONG BlockBytes() const { return format_.nBlockAlign; }
    virtual LONG ChunkBytes() const;
    // A pause before each sample after the first, for stand-ins that stream slowly.
    virtual DWORD ChunkPauseMs() const { return 0; }
    void StopPushing();

protected:
    // Reads the first `bytes` of the stream into `header`; E_FAIL when the stream is shorter.
    static HRESULT ReadStreamStart(IAsyncReader* reader, BYTE* header, LONG bytes);
    static uint32_t ReadLe32(const BYTE* bytes) {
        return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t(bytes[3]) << 24);
    }

    // What ReadHeader found: the format (its block size and byte rate time the samples) and
    // where the data lies.
    WAVEFORMATEX format_ = {};
    LONGLONG dataOffset_ = 0;
    LONGLONG dataSize_ = 0;

private:
    static unsigned __stdcall PushEntry(void* self);
    // Waits in short slices so that stopping is not held up; false once stopping was asked.
    bool PauseUnlessStopped(DWORD milliseconds) const;
    void PushLoop();

    CCriticalSection filterLock_;
    CWavPullInputPin input_;
    CWavPushOutputPin output_;
    GUID outputSubtype_;
    HANDLE pushThread_ = nullptr;
    volatile bool stopRequested_ = false;
};
