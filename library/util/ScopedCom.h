#pragma once
// Tiny RAII owners for COM references and BSTRs.

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

// Owns one reference of a COM interface; null means none.
template <class T>
class CScopedComPtr {
public:
    CScopedComPtr() = default;
    explicit CScopedComPtr(T* owned) : pointer_(owned) {}
    ~CScopedComPtr() { Reset(); }
    CScopedComPtr(const CScopedComPtr&) = delete;
    CScopedComPtr& operator=(const CScopedComPtr&) = delete;
    CScopedComPtr(CScopedComPtr&& other) noexcept : pointer_(other.Detach()) {}
    CScopedComPtr& operator=(CScopedComPtr&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For an out-parameter; releases what was held first.
    T** Receive() {
        Reset();
        return &pointer_;
    }
    T* Detach() {
        T* pointer = pointer_;
        pointer_ = nullptr;
        return pointer;
    }
    void Reset(T* owned = nullptr) {
        if (pointer_) pointer_->Release();
        pointer_ = owned;
    }

private:
    T* pointer_ = nullptr;
};

// Owns a BSTR; null means none (which COM reads as an empty string).
class CScopedBstr {
public:
    CScopedBstr() = default;
    explicit CScopedBstr(const wchar_t* text) : bstr_(text ? SysAllocString(text) : nullptr) {}
    ~CScopedBstr() { Reset(); }
    CScopedBstr(const CScopedBstr&) = delete;
    CScopedBstr& operator=(const CScopedBstr&) = delete;

    BSTR Get() const { return bstr_; }
    // The text, or an empty string for a null BSTR.
    const wchar_t* Text() const { return bstr_ ? bstr_ : L""; }
    UINT Length() const { return SysStringLen(bstr_); }
    BSTR* Receive() {
        Reset();
        return &bstr_;
    }
    BSTR Detach() {
        BSTR bstr = bstr_;
        bstr_ = nullptr;
        return bstr;
    }
    void Reset() {
        if (bstr_) SysFreeString(bstr_);
        bstr_ = nullptr;
    }

private:
    BSTR bstr_ = nullptr;
};
