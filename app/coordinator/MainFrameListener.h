#pragma once
// What the main window reports to the coordinator: user actions on the window. The window class
// names it as its own listener type (using IListener = IMainFrameListener). Keep the operations in
// this order.

#include <windows.h>

#include <cstdint>

struct IDataObject;

class IMainFrameListener {
public:
    // A drop was accepted or Paste chosen; the data object travels on untouched.
    virtual void OnDrop(IDataObject* data) = 0;
    // The cancel command (1: compose the run report).
    virtual void OnCancel(int32_t endReport) = 0;
    virtual void OnSettingsChanged() = 0;
    virtual void OnRefreshDevice() = 0;
    virtual void OnStartSync() = 0;

protected:
    ~IMainFrameListener() = default;
};
