#pragma once
// One update checker per machine: a named mutex whose existence is the signal. It is never
// owned, so a crashed checker leaves nothing abandoned behind.

#include <windows.h>

class CInstanceMutex {
public:
    // "Global\" makes the name one per machine, across logon sessions.
    static constexpr const wchar_t* kName = L"Global\\Ostrim_G";

    CInstanceMutex() = default;
    ~CInstanceMutex() { Close(); }
    CInstanceMutex(const CInstanceMutex&) = delete;
    CInstanceMutex& operator=(const CInstanceMutex&) = delete;

    // False when another holder of the name is running; the handle is then not kept.
    bool Create(const wchar_t* name = kName);
    void Close();
    HANDLE Handle() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};
