#include "platform/ui/UiGdiplusSession.h"

#include <objidl.h>
#include <gdiplus.h>

CUiGdiplusSession::CUiGdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

CUiGdiplusSession::~CUiGdiplusSession() {
    if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}
