#include "platform/dshow/PosPassThru.h"

#include <vfwmsgs.h>

CDsPosPassThru::CDsPosPassThru(IUnknown* outer, IPin* input) : CDsUnknown(outer), input_(input) {}

HRESULT STDMETHODCALLTYPE CDsPosPassThru::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IMediaSeeking)) return GetInterface(static_cast<IMediaSeeking*>(this), object);
    if (IsEqualIID(iid, IID_IMediaPosition) || IsEqualIID(iid, IID_IDispatch))
        return GetInterface(static_cast<IMediaPosition*>(this), object);
    return CDsUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT CDsPosPassThru::PeerInterface(REFIID iid, void** object) {
    *object = nullptr;
    IPin* peer = nullptr;
    if (FAILED(input_->ConnectedTo(&peer)) || peer == nullptr) return VFW_E_NOT_CONNECTED;
    const HRESULT hr = peer->QueryInterface(iid, object);
    peer->Release();
    return FAILED(hr) ? E_NOTIMPL : S_OK;
}

// Each call takes the peer's interface, forwards, and lets it go.
#define QB_FORWARD(Interface, call)                                                       \
    Interface* peer = nullptr;                                                            \
    const HRESULT found = PeerInterface(IID_##Interface, reinterpret_cast<void**>(&peer)); \
    if (FAILED(found)) return found;                                                      \
    const HRESULT hr = peer->call;                                                        \
    peer->Release();                                                                      \
    return hr;

HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetCapabilities(DWORD* c) { QB_FORWARD(IMediaSeeking, GetCapabilities(c)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::CheckCapabilities(DWORD* c) { QB_FORWARD(IMediaSeeking, CheckCapabilities(c)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::IsFormatSupported(const GUID* f) { QB_FORWARD(IMediaSeeking, IsFormatSupported(f)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::QueryPreferredFormat(GUID* f) { QB_FORWARD(IMediaSeeking, QueryPreferredFormat(f)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetTimeFormat(GUID* f) { QB_FORWARD(IMediaSeeking, GetTimeFormat(f)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::IsUsingTimeFormat(const GUID* f) { QB_FORWARD(IMediaSeeking, IsUsingTimeFormat(f)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::SetTimeFormat(const GUID* f) { QB_FORWARD(IMediaSeeking, SetTimeFormat(f)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetDuration(LONGLONG* d) { QB_FORWARD(IMediaSeeking, GetDuration(d)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetStopPosition(LONGLONG* s) { QB_FORWARD(IMediaSeeking, GetStopPosition(s)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetCurrentPosition(LONGLONG* c) { QB_FORWARD(IMediaSeeking, GetCurrentPosition(c)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::ConvertTimeFormat(LONGLONG* t, const GUID* tf, LONGLONG s, const GUID* sf) {
    QB_FORWARD(IMediaSeeking, ConvertTimeFormat(t, tf, s, sf))
}
HRESULT STDMETHODCALLTYPE CDsPosPassThru::SetPositions(LONGLONG* c, DWORD cf, LONGLONG* s, DWORD sf) {
    QB_FORWARD(IMediaSeeking, SetPositions(c, cf, s, sf))
}
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetPositions(LONGLONG* c, LONGLONG* s) { QB_FORWARD(IMediaSeeking, GetPositions(c, s)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetAvailable(LONGLONG* e, LONGLONG* l) { QB_FORWARD(IMediaSeeking, GetAvailable(e, l)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::SetRate(double r) { QB_FORWARD(IMediaSeeking, SetRate(r)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetRate(double* r) { QB_FORWARD(IMediaSeeking, GetRate(r)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetPreroll(LONGLONG* p) { QB_FORWARD(IMediaSeeking, GetPreroll(p)) }

HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE CDsPosPassThru::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CDsPosPassThru::get_Duration(REFTIME* l) { QB_FORWARD(IMediaPosition, get_Duration(l)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::put_CurrentPosition(REFTIME t) { QB_FORWARD(IMediaPosition, put_CurrentPosition(t)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::get_CurrentPosition(REFTIME* t) { QB_FORWARD(IMediaPosition, get_CurrentPosition(t)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::get_StopTime(REFTIME* t) { QB_FORWARD(IMediaPosition, get_StopTime(t)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::put_StopTime(REFTIME t) { QB_FORWARD(IMediaPosition, put_StopTime(t)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::get_PrerollTime(REFTIME* t) { QB_FORWARD(IMediaPosition, get_PrerollTime(t)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::put_PrerollTime(REFTIME t) { QB_FORWARD(IMediaPosition, put_PrerollTime(t)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::put_Rate(double r) { QB_FORWARD(IMediaPosition, put_Rate(r)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::get_Rate(double* r) { QB_FORWARD(IMediaPosition, get_Rate(r)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::CanSeekForward(LONG* c) { QB_FORWARD(IMediaPosition, CanSeekForward(c)) }
HRESULT STDMETHODCALLTYPE CDsPosPassThru::CanSeekBackward(LONG* c) { QB_FORWARD(IMediaPosition, CanSeekBackward(c)) }
