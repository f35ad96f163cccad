#pragma once
// Tiny RAII owners for Win32 handles and locks, one per handle kind.

#include <windows.h>

// A critical section that lives as long as its owner.
class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&section_); }
    ~CCriticalSection() { DeleteCriticalSection(&section_); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Holds a critical section for the lifetime of the scope.
class CScopedLock {
public:
    explicit CScopedLock(CCriticalSection& section) : section_(section) { section_.Enter(); }
    ~CScopedLock() { section_.Leave(); }
    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

private:
    CCriticalSection& section_;
};

// Owns a kernel handle (event, thread, mutex, process); null and INVALID_HANDLE_VALUE mean none.
class CScopedHandle {
public:
    CScopedHandle() = default;
    explicit CScopedHandle(HANDLE handle) : handle_(handle) {}
    ~CScopedHandle() { Close(); }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    CScopedHandle(CScopedHandle&& other) noexcept : handle_(other.Detach()) {}
    CScopedHandle& operator=(CScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    HANDLE Get() const { return handle_; }
    bool IsValid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Detach() {
        HANDLE handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void Reset(HANDLE handle = nullptr) {
        Close();
        handle_ = handle;
    }

private:
    void Close() {
        if (IsValid()) CloseHandle(handle_);
        handle_ = nullptr;
    }

    HANDLE handle_ = nullptr;
};

// Owns an open registry key; null means none. Predefined roots are never closed by it.
class CScopedRegKey {
public:
    CScopedRegKey() = default;
    ~CScopedRegKey() { Reset(); }
    CScopedRegKey(const CScopedRegKey&) = delete;
    CScopedRegKey& operator=(const CScopedRegKey&) = delete;

    HKEY Get() const { return key_; }
    bool IsValid() const { return key_ != nullptr; }
    // For the out-parameter of RegOpenKeyExW / RegCreateKeyExW; closes what was held first.
    HKEY* Receive() {
        Reset();
        return &key_;
    }
    void Reset() {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};
