#pragma once
// The dragging side of a scripted drop: no mouse button is held, so this source decides. It keeps
// the drag going until the target has accepted for a few steps (long enough for the target to show
// that it would take the files), then drops; a target that never accepts ends in a cancel.

#include <windows.h>
#include <ole2.h>

#include <atomic>

class CScriptedDropSource : public IDropSource {
public:
    CScriptedDropSource(int acceptedSteps, DWORD timeoutMs);

    bool TargetAccepted() const { return acceptedSteps_ > 0; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDropSource
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    virtual ~CScriptedDropSource() = default;

    std::atomic<ULONG> references_{1};
    const int stepsBeforeDrop_;
    const DWORD timeoutMs_;
    const DWORD start_;
    int acceptedSteps_ = 0;
};
