#pragma once
// Quillbay's command line: the shared switches, and "-s" from the device detector.

#include "platform/ui/UiCommandLineInfo.h"

class CQBCommandLineInfo : public CUiCommandLineInfo {
public:
    void ParseParam(const wchar_t* param, BOOL isFlag, BOOL isLast) override;

    // Started by the device detector: a second start then stays silent.
    bool m_bStartedByDetector = false;
};
