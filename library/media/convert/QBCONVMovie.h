#pragma once
// Converts a movie into a Windows Media file (WMV 9 video, WMA audio) through a DirectShow graph
// around the platform's ASF writer: the platform renders the source, the graph is rewired so that
// every decoded stream flows into the writer, and the graph runs to the end while progress is
// reported. One object per owner; conversions run one at a time on the owner's thread.

#include <windows.h>
#include "platform/wmf/WindowsMedia.h"

#include <cstdint>

#include "library/media/convert/IQBCONVMovie.h"
#include "library/util/ScopedCom.h"
#include "library/util/ScopedWin.h"

class CQBCONVMovie : public IQBCONVMovie {
public:
    CQBCONVMovie();
    ~CQBCONVMovie() override;
    CQBCONVMovie(const CQBCONVMovie&) = delete;
    CQBCONVMovie& operator=(const CQBCONVMovie&) = delete;

    HRESULT Initialize() override;
    HRESULT SetOutputSize(uint32_t width, uint32_t height) override;
    void SetAudioBitrate(uint32_t bitsPerSecond) override;
    void SetTotalBitrate(uint32_t bitsPerSecond) override;
    void SetVideoBitrate(uint32_t bitsPerSecond) override;
    HRESULT Start(const wchar_t* source, const wchar_t* output) override;
    void Abort() override;

    void SetListener(IQBCONVMovieListener* listener) { listener_ = listener; }
    uint32_t AudioBitrate() const { return audioBitrate_; }
    uint32_t TotalBitrate() const { return totalBitrate_; }
    uint32_t VideoBitrate() const { return videoBitrate_; }
    uint32_t EncodeWidth() const { return encodeWidth_; }
    uint32_t EncodeHeight() const { return encodeHeight_; }
    uint32_t BoxWidth() const { return boxWidth_; }
    uint32_t BoxHeight() const { return boxHeight_; }
    // The profile of the last conversion (null before the first); not referenced for the caller.
    IWMProfile* Profile() const { return profile_.Get(); }
    // The reference check's state: whether it ran, and whether the reference decoded to a signal.
    bool ReferenceTested() const { return referenceTested_ != 0; }
    bool ReferenceSignal() const { return referenceSignal_ != 0; }

    // Builds this conversion's profile from the current rates and encode size.
    HRESULT BuildProfile();
    // Probes the source's picture size and fits it into the box.
    void ComputeEncodeSize(const wchar_t* source);
    // The last rebuild step: when the graph decodes AC-3 audio, the reference beside the program is
    // played once per converter; S_OK unless the reference was found silent.
    HRESULT CheckReferenceAudio(IGraphBuilder* graph);
    // How long the reference may play without a decision before it is stopped (and counted as a
    // signal); 20 seconds unless changed.
    void SetReferenceTimeLimit(DWORD milliseconds) { referenceTimeLimitMs_ = milliseconds; }

private:
    bool IsAbortSet() const;
    HRESULT RunConversionGraph(const wchar_t* source, const wchar_t* output);
    // Graph, writer and the two controls of this run, as created in RunConversionGraph.
    HRESULT CreateGraph(const wchar_t* output, IGraphBuilder** graph, IBaseFilter** writer);
    void StoreGraph(IGraphBuilder* graph, IBaseFilter* writer, IMediaControl* control, IMediaEventEx* events);
    HRESULT RebuildGraph(IGraphBuilder* graph);
    // Runs the graph and reports progress until it ends; the run's result.
    HRESULT RunToEnd(const wchar_t* source, IMediaControl* control, IMediaEventEx* events, IMediaSeeking* seeking,
                     LONGLONG duration);

    HRESULT AddAudioStream();
    HRESULT AddVideoStream();

    // Rebuild steps, in their order.
    HRESULT CompleteRendering(IGraphBuilder* graph);
    void FindSourceAudioFormat(IGraphBuilder* graph);
    HRESULT InsertVideoConverter(IGraphBuilder* graph);
    HRESULT RerouteRenderers(IGraphBuilder* graph);
    HRESULT InsertSampleRateConverter(IGraphBuilder* graph, IPin* upstream);
    HRESULT SetDeinterlaceMode(IGraphBuilder* graph);
    HRESULT PlayReference();

    IQBCONVMovieListener* listener_ = nullptr;
    uint32_t audioBitrate_ = 128000;
    uint32_t totalBitrate_ = 896000;
    uint32_t videoBitrate_ = 768000;
    uint32_t frameRate_ = 30;  // 29 stands for 29.97
    uint32_t encodeWidth_ = 320;
    uint32_t encodeHeight_ = 240;
    uint16_t videoComplexity_ = 1;
    uint16_t decoderComplexityProfile_ = 0;  // 0 none, 1 "SP", 2 "MP"
    uint32_t boxWidth_ = 320;
    uint32_t boxHeight_ = 240;
    CScopedComPtr<IWMProfile> profile_;
    CScopedComPtr<IWMProfileManager> profileManager_;
    CScopedComPtr<IGraphBuilder> graph_;
    CScopedComPtr<IBaseFilter> writer_;
    CScopedComPtr<IMediaControl> mediaControl_;
    CScopedComPtr<IMediaEventEx> mediaEvent_;
    uint8_t running_ = 0;
    HANDLE abortEvent_ = nullptr;
    int32_t sourceChannels_ = 0;
    int32_t sourceSampleRate_ = 0;
    int32_t sourceBitsPerSample_ = 0;
    uint8_t referenceSignal_ = 0;
    uint8_t referenceTested_ = 0;
    // The reference needs half a second of decoded audio; a graph that has not decided within this
    // time (stuck, or too slow to matter) stops, and the PC is given the benefit of the doubt.
    DWORD referenceTimeLimitMs_ = 20000;
    // Abort reads the media control from another thread while Start replaces it.
    CCriticalSection controlLock_;
};
