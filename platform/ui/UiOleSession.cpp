#include "platform/ui/UiOleSession.h"

#include <windows.h>
#include <ole2.h>

bool CUiOleSession::Initialize() {
    if (initialized_) return true;
    // S_FALSE (already initialised on this thread) still takes a reference to undo.
    initialized_ = SUCCEEDED(OleInitialize(nullptr));
    return initialized_;
}

void CUiOleSession::Uninitialize() {
    if (!initialized_) return;
    OleUninitialize();
    initialized_ = false;
}
