#pragma once
// The modal firmware-update display of the user-interface component, as the firmware threads
// drive it: the main thread waits in it while the progress thread feeds and finally closes it.

class IFirmwareDisplay {
public:
    virtual ~IFirmwareDisplay() = default;
    // Shows the display and returns once it is closed; a failure is the component's HRESULT.
    virtual long ShowAndWait() = 0;
    virtual void ShowProgress(int percent) = 0;
    virtual void Close() = 0;
};
