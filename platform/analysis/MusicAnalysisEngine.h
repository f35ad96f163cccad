#pragma once
// The outside music-analysis engine as its callers use it: an in-process COM class created anew
// for every song, fed PCM buffer by buffer, reporting through a connection point. Declared here
// from the calls the program makes; the engine itself is not part of the program.

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <ocidl.h>
#include <olectl.h>

// {8de9ed2d-8cfb-4b33-b8e3-cee06f2903e3}
inline constexpr CLSID kClsidMusicAnalysisEngine = {
    0x8de9ed2d, 0x8cfb, 0x4b33, {0xb8, 0xe3, 0xce, 0xe0, 0x6f, 0x29, 0x03, 0xe3}};
// {0959c485-a191-4508-a338-9e2b3813a166}
inline constexpr IID kIidMusicAnalysisEngine = {
    0x0959c485, 0xa191, 0x4508, {0xa3, 0x38, 0x9e, 0x2b, 0x38, 0x13, 0xa1, 0x66}};
// {750f4b11-e128-418c-aaf7-581c3e4bb2fe}
inline constexpr IID kIidMusicAnalysisEvents2 = {
    0x750f4b11, 0xe128, 0x418c, {0xaa, 0xf7, 0x58, 0x1c, 0x3e, 0x4b, 0xb2, 0xfe}};
// {6f3c1a52-3d0e-4f1b-9a61-0c2f6e9b7d41}: the result object's interface (no class of its own).
inline constexpr IID kIidMusicAnalysisResult = {
    0x6f3c1a52, 0x3d0e, 0x4f1b, {0x9a, 0x61, 0x0c, 0x2f, 0x6e, 0x9b, 0x7d, 0x41}};

// Engine option 5 and the value the program always sets.
constexpr LONG kAnalysisOptionBufferLength = 5;
constexpr LONG kAnalysisOptionBufferLengthValue = 300000;
// Result items 0 to 35 hold 255 when the analysis measured nothing; item 89 is the payload.
constexpr LONG kAnalysisProbeItemCount = 36;
constexpr LONG kAnalysisNoValue = 255;
constexpr LONG kAnalysisPayloadItem = 89;

class IMusicAnalysisResult : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE GetValue(LONG item, VARIANT* value) = 0;
};

class IMusicAnalysisEngine : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE Initialize() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOption(LONG option, VARIANT value) = 0;
    // endOfData 1 with no data ends the song; the last argument is always 1.
    virtual HRESULT STDMETHODCALLTYPE PushBuffer(const BYTE* data, LONG length, LONG endOfData, LONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAudioFormat(LONG channels, LONG sampleRate, LONG bitsPerSample) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResult(IMusicAnalysisResult** result) = 0;
    // *verdict nonzero: the payload can stand as the song's analysis.
    virtual HRESULT STDMETHODCALLTYPE CheckData(const BYTE* data, LONG length, LONG* verdict) = 0;
    // *merged receives a byte array (VT_ARRAY | VT_UI1).
    virtual HRESULT STDMETHODCALLTYPE MergeData(const BYTE* oldData, LONG oldLength, const BYTE* newData,
                                                LONG newLength, VARIANT* merged) = 0;
};

// The engine's events, on a thread of the engine's or inside PushBuffer.
class _IMusicAnalysisEvents2 : public IUnknown {
public:
    // A buffer was taken; abort nonzero: the analysis gave up.
    virtual HRESULT STDMETHODCALLTYPE OnBufferDone(LONG abort) = 0;
    // Status 0, 1 and 2 are successes.
    virtual HRESULT STDMETHODCALLTYPE OnAnalysisEnd(LONG reserved, LONG status) = 0;
};
