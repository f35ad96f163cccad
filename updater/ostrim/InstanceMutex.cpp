#include "updater/ostrim/InstanceMutex.h"

bool CInstanceMutex::Create(const wchar_t* name) {
    Close();
    HANDLE handle = CreateMutexW(nullptr, FALSE, name);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (handle != nullptr) CloseHandle(handle);
        return false;
    }
    m_handle = handle;
    return true;
}

void CInstanceMutex::Close() {
    if (m_handle != nullptr) CloseHandle(m_handle);
    m_handle = nullptr;
}
