#include "tests/tools/dropfiles/ScriptedDropSource.h"

CScriptedDropSource::CScriptedDropSource(int acceptedSteps, DWORD timeoutMs)
    : stepsBeforeDrop_(acceptedSteps), timeoutMs_(timeoutMs), start_(GetTickCount()) {}

HRESULT STDMETHODCALLTYPE CScriptedDropSource::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDropSource) {
        return E_NOINTERFACE;
    }
    *object = static_cast<IDropSource*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CScriptedDropSource::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE CScriptedDropSource::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE CScriptedDropSource::QueryContinueDrag(BOOL escapePressed, DWORD) {
    if (escapePressed) {
        return DRAGDROP_S_CANCEL;
    }
    if (acceptedSteps_ >= stepsBeforeDrop_) {
        return DRAGDROP_S_DROP;
    }
    return GetTickCount() - start_ > timeoutMs_ ? DRAGDROP_S_CANCEL : S_OK;
}

HRESULT STDMETHODCALLTYPE CScriptedDropSource::GiveFeedback(DWORD effect) {
    // A target that stops accepting on the way starts the count again.
    acceptedSteps_ = (effect & DROPEFFECT_COPY) ? acceptedSteps_ + 1 : 0;
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
