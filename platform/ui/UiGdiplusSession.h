#pragma once
// GDI+ for the lifetime of the object; images must be gone before it ends.

#include <windows.h>

class CUiGdiplusSession {
public:
    CUiGdiplusSession();
    ~CUiGdiplusSession();
    CUiGdiplusSession(const CUiGdiplusSession&) = delete;
    CUiGdiplusSession& operator=(const CUiGdiplusSession&) = delete;

    bool IsStarted() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};
