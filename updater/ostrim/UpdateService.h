#pragma once
// What the update checker's start-up asks of the update service client, in call order.

#include <windows.h>

class CFennicCommandLineInfo;

class IUpdateService {
public:
    virtual ~IUpdateService() = default;
    virtual HRESULT Init() = 0;
    virtual void SetCommandLine(const CFennicCommandLineInfo& info) = 0;
    // Runs one product group and shows its outcome itself.
    virtual HRESULT Execute(int group, int groupCount) = 0;
    virtual void ShowError(HRESULT hr) = 0;
    virtual void Term() = 0;
};
