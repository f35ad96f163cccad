#pragma once
// How screens and worker threads talk to the wizard's frame: every call only queues a record and
// posts a notification, so it may be made from any thread; the frame handles the record later on
// the user-interface thread.

class CUiControl;

class ISetupListener {
public:
    // type 2 is a device change; other types are queued and ignored.
    virtual void OnThreadEvent(int type, int param1, int param2) = 0;
    // A screen's event (CSetupEvent codes); the controls are those a screen registers with event 0.
    virtual void OnUIEvent(CUiControl* control1, CUiControl* control2, unsigned screen, int event, int error) = 0;
    // Refresh progress (CSetupProgress subtypes under kind 3); text may be null.
    virtual void OnProcEvent(int value, int value2, int kind, int subtype, const wchar_t* text, int error) = 0;

protected:
    ~ISetupListener() = default;
};
