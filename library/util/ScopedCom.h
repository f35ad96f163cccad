#pragma once
// Tiny RAII owners for COM references, BSTRs, VARIANTs and SAFEARRAYs.

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

// Owns a VARIANT: whatever it holds (a BSTR, an interface, an array) is freed by VariantClear.
class CScopedVariant {
public:
    CScopedVariant() { VariantInit(&variant_); }
    explicit CScopedVariant(LONG value) : CScopedVariant() {
        variant_.vt = VT_I4;
        variant_.lVal = value;
    }
    // A copy of the text; VT_EMPTY when it cannot be allocated.
    explicit CScopedVariant(const wchar_t* text) : CScopedVariant() {
        BSTR copy = SysAllocString(text ? text : L"");
        if (!copy) return;
        variant_.vt = VT_BSTR;
        variant_.bstrVal = copy;
    }
    // Takes a reference of its own on the object.
    explicit CScopedVariant(IDispatch* object) : CScopedVariant() {
        variant_.vt = VT_DISPATCH;
        variant_.pdispVal = object;
        if (object) object->AddRef();
    }
    ~CScopedVariant() { Reset(); }
    CScopedVariant(const CScopedVariant&) = delete;
    CScopedVariant& operator=(const CScopedVariant&) = delete;
    CScopedVariant(CScopedVariant&& other) noexcept : variant_(other.variant_) { VariantInit(&other.variant_); }
    CScopedVariant& operator=(CScopedVariant&& other) noexcept {
        if (this != &other) {
            Reset();
            variant_ = other.variant_;
            VariantInit(&other.variant_);
        }
        return *this;
    }

    const VARIANT& Get() const { return variant_; }
    VARTYPE Type() const { return variant_.vt; }
    // For an out-parameter; clears what was held first.
    VARIANT* Receive() {
        Reset();
        return &variant_;
    }
    // Hands the contents over to an uninitialised or cleared VARIANT and keeps VT_EMPTY.
    void Detach(VARIANT* target) {
        *target = variant_;
        VariantInit(&variant_);
    }
    void Reset() {
        VariantClear(&variant_);
        VariantInit(&variant_);
    }

private:
    VARIANT variant_;
};

// Owns a SAFEARRAY; null means none.
class CScopedSafeArray {
public:
    CScopedSafeArray() = default;
    explicit CScopedSafeArray(SAFEARRAY* owned) : array_(owned) {}
    ~CScopedSafeArray() { Reset(); }
    CScopedSafeArray(const CScopedSafeArray&) = delete;
    CScopedSafeArray& operator=(const CScopedSafeArray&) = delete;
    CScopedSafeArray(CScopedSafeArray&& other) noexcept : array_(other.Detach()) {}
    CScopedSafeArray& operator=(CScopedSafeArray&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    SAFEARRAY* Get() const { return array_; }
    explicit operator bool() const { return array_ != nullptr; }
    // The number of elements of a one-dimensional array; 0 for none or any other shape.
    ULONG Count() const {
        if (!array_ || SafeArrayGetDim(array_) != 1) return 0;
        return array_->rgsabound[0].cElements;
    }
    SAFEARRAY** Receive() {
        Reset();
        return &array_;
    }
    SAFEARRAY* Detach() {
        SAFEARRAY* array = array_;
        array_ = nullptr;
        return array;
    }
    void Reset(SAFEARRAY* owned = nullptr) {
        if (array_) SafeArrayDestroy(array_);
        array_ = owned;
    }

private:
    SAFEARRAY* array_ = nullptr;
};

// Holds a SAFEARRAY's data locked for direct access (SafeArrayAccessData) while it lives.
class CSafeArrayData {
public:
    explicit CSafeArrayData(SAFEARRAY* array) {
        if (array && SUCCEEDED(SafeArrayAccessData(array, &data_))) array_ = array;
    }
    ~CSafeArrayData() {
        if (array_) SafeArrayUnaccessData(array_);
    }
    CSafeArrayData(const CSafeArrayData&) = delete;
    CSafeArrayData& operator=(const CSafeArrayData&) = delete;

    // Null when the array is null or could not be locked.
    void* Data() const { return array_ ? data_ : nullptr; }

private:
    SAFEARRAY* array_ = nullptr;
    void* data_ = nullptr;
};
