#pragma once
// Stand-in for the platform's WM ASF Writer filter, which Wine lacks. It takes its streams from
// the profile it is configured with, accepts uncompressed audio ("Audio Input 01") and video
// ("Video Input 01"), follows the stream position, and writes an ASF file from pausing to stopping
// whose header describes the profile's streams (Windows Media Audio and Video 9 at the profile's
// size) and whose data object holds a packet for every sample received (see CAsfFileWriter).

#include <windows.h>
#include "platform/wmf/WindowsMedia.h"
#include <servprov.h>

#include <string>
#include <vector>

#include "platform/dshow/BaseFilter.h"
#include "platform/dshow/InputPin.h"
#include "standins/wmf/AsfFileWriter.h"

namespace standin {

class CAsfWriterStandin;

class CAsfWriterInputPin : public CDsInputPin {
public:
    CAsfWriterInputPin(CAsfWriterStandin* writer, CCriticalSection* lock, const wchar_t* name, bool audio);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT Active() override;
    bool Ended() const { return ended_; }

private:
    CAsfWriterStandin* writer_;
    bool audio_;
    bool ended_ = false;
};

class CAsfWriterStandin : public CDsBaseFilter,
                          public IConfigAsfWriter,
                          public IFileSinkFilter,
                          public IMediaSeeking,
                          public IServiceProvider {
public:
    explicit CAsfWriterStandin(IUnknown* outer);
    ~CAsfWriterStandin() override;

    QB_DS_DELEGATING_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    int GetPinCount() override { return 2; }
    CDsBasePin* GetPin(int index) override;
    ULONG MiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;

    // Called by the pins.
    HRESULT OnSample(REFGUID type, IMediaSample* sample);
    void OnEndOfStream();
    bool HasStream(REFGUID type) const;

    // IConfigAsfWriter
    HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfileId(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentProfileId(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfileGuid(REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentProfileGuid(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfile(IWMProfile* profile) override;
    HRESULT STDMETHODCALLTYPE GetCurrentProfile(IWMProfile** profile) override;
    HRESULT STDMETHODCALLTYPE SetIndexMode(BOOL index) override;
    HRESULT STDMETHODCALLTYPE GetIndexMode(BOOL* index) override;
    // IFileSinkFilter
    HRESULT STDMETHODCALLTYPE SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* type) override;
    // IMediaSeeking: the duration of the upstream streams and the time written so far.
    HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* capabilities) override;
    HRESULT STDMETHODCALLTYPE CheckCapabilities(DWORD* capabilities) override;
    HRESULT STDMETHODCALLTYPE IsFormatSupported(const GUID* format) override;
    HRESULT STDMETHODCALLTYPE QueryPreferredFormat(GUID* format) override;
    HRESULT STDMETHODCALLTYPE GetTimeFormat(GUID* format) override;
    HRESULT STDMETHODCALLTYPE IsUsingTimeFormat(const GUID* format) override;
    HRESULT STDMETHODCALLTYPE SetTimeFormat(const GUID* format) override;
    HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) override;
    HRESULT STDMETHODCALLTYPE GetStopPosition(LONGLONG* stop) override;
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG* current) override;
    HRESULT STDMETHODCALLTYPE ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG, const GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT STDMETHODCALLTYPE GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRate(double) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRate(double* rate) override;
    HRESULT STDMETHODCALLTYPE GetPreroll(LONGLONG* preroll) override;
    // IServiceProvider: the writer's advanced settings.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** object) override;

private:
    WORD StreamNumber(REFGUID type) const;

    CCriticalSection filterLock_;
    CCriticalSection stateLock_;
    CAsfWriterInputPin audio_;
    CAsfWriterInputPin video_;
    IWMProfile* profile_ = nullptr;
    std::vector<AsfStream> streams_;
    std::wstring fileName_;
    BOOL index_ = TRUE;
    REFERENCE_TIME written_ = 0;
    bool completionSent_ = false;
    CAsfFileWriter file_;  // open while the filter is paused or running
};

}  // namespace standin
