#pragma once

#include <windows.h>
#include <unknwn.h>

// Owns one reference of a COM interface; releasing happens on every path out of a scope.
template <class T>
class CComRef {
public:
    CComRef() = default;
    explicit CComRef(T* owned) : pointer_(owned) {}
    ~CComRef() { Reset(); }
    CComRef(const CComRef& other) : pointer_(other.pointer_) {
        if (pointer_) pointer_->AddRef();
    }
    CComRef& operator=(const CComRef& other) {
        if (this != &other) {
            if (other.pointer_) other.pointer_->AddRef();
            Reset();
            pointer_ = other.pointer_;
        }
        return *this;
    }

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    T** Out() {
        Reset();
        return &pointer_;
    }
    T* Detach() {
        T* pointer = pointer_;
        pointer_ = nullptr;
        return pointer;
    }
    void Reset() {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }

private:
    T* pointer_ = nullptr;
};
