#pragma once
// A window message registered by name, typically a static object so the id exists before the
// application starts. Every process that registers the same name gets the same id.

#include <windows.h>

class CUiRegisteredMessage {
public:
    explicit CUiRegisteredMessage(const wchar_t* name) : id_(RegisterWindowMessageW(name)) {}
    CUiRegisteredMessage(const CUiRegisteredMessage&) = delete;
    CUiRegisteredMessage& operator=(const CUiRegisteredMessage&) = delete;

    // 0 when the registration failed; such a message never matches.
    UINT Id() const { return id_; }

private:
    UINT id_;
};
