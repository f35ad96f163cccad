#pragma once
// Seeking and position requests on a filter, passed on to the upstream peer of one input pin:
// how a sink lets the graph manager reach the duration and position of the stream feeding it.

#include <windows.h>
#include <control.h>
#include <strmif.h>

#include "platform/dshow/DsUnknown.h"

class CDsPosPassThru : public CDsUnknown, public IMediaSeeking, public IMediaPosition {
public:
    // input: the pin whose peer answers; it must outlive this object.
    CDsPosPassThru(IUnknown* outer, IPin* input);

    QB_DS_DELEGATING_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IMediaSeeking
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
    HRESULT STDMETHODCALLTYPE ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                                const GUID* sourceFormat) override;
    HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                           DWORD stopFlags) override;
    HRESULT STDMETHODCALLTYPE GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT STDMETHODCALLTYPE GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT STDMETHODCALLTYPE SetRate(double rate) override;
    HRESULT STDMETHODCALLTYPE GetRate(double* rate) override;
    HRESULT STDMETHODCALLTYPE GetPreroll(LONGLONG* preroll) override;

    // IDispatch: no type information is offered.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;
    // IMediaPosition
    HRESULT STDMETHODCALLTYPE get_Duration(REFTIME* length) override;
    HRESULT STDMETHODCALLTYPE put_CurrentPosition(REFTIME time) override;
    HRESULT STDMETHODCALLTYPE get_CurrentPosition(REFTIME* time) override;
    HRESULT STDMETHODCALLTYPE get_StopTime(REFTIME* time) override;
    HRESULT STDMETHODCALLTYPE put_StopTime(REFTIME time) override;
    HRESULT STDMETHODCALLTYPE get_PrerollTime(REFTIME* time) override;
    HRESULT STDMETHODCALLTYPE put_PrerollTime(REFTIME time) override;
    HRESULT STDMETHODCALLTYPE put_Rate(double rate) override;
    HRESULT STDMETHODCALLTYPE get_Rate(double* rate) override;
    HRESULT STDMETHODCALLTYPE CanSeekForward(LONG* can) override;
    HRESULT STDMETHODCALLTYPE CanSeekBackward(LONG* can) override;

private:
    // The peer's interface with a reference, or VFW_E_NOT_CONNECTED / E_NOTIMPL.
    HRESULT PeerInterface(REFIID iid, void** object);

    IPin* input_;
};
