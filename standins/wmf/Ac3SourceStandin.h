#pragma once
// Stand-in for an outside splitter that hands on AC-3 audio: pulls the stand-ins' own AC-3 format
// (a 24-byte header "QBA3", channels, sample rate, bits per sample, data bytes and a pause between
// samples in milliseconds, each 32-bit little-endian, then the data) from an asynchronous reader
// on "In" and pushes it on "Out" as AC-3 typed audio. The data are PCM samples, so the stand-in
// AC-3 decoder only relabels them. A file shorter than its header says ends the run with an error;
// the pause lets a test stream slowly.

#include <atomic>

#include "standins/decoders/WavPullFilter.h"

// {33414251-0000-0010-8000-00AA00389B71}: the byte stream subtype of that format ("QBA3").
const GUID MEDIASUBTYPE_StandinAc3Stream = {0x33414251, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

class CAc3SourceStandin : public CWavPullFilter {
public:
    CAc3SourceStandin(IUnknown* outer, REFCLSID clsid);
    ~CAc3SourceStandin() override;

    HRESULT ReadHeader(IAsyncReader* reader) override;
    DWORD ChunkPauseMs() const override { return pauseMs_; }

    // Objects of this class alive in the process: tests see whether a graph was torn down.
    static long AliveCount() { return alive_; }

private:
    static std::atomic<long> alive_;
    DWORD pauseMs_ = 0;
};
