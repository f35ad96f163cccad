#pragma once

#include <windows.h>

#include <cstdint>

// An owned byte buffer that carries analysis or lookup data with a content record.
class CTNByteArray {
public:
    // Null when either allocation fails.
    static CTNByteArray* Create(uint32_t capacity);
    virtual ~CTNByteArray();
    CTNByteArray(const CTNByteArray&) = delete;
    CTNByteArray& operator=(const CTNByteArray&) = delete;

    // E_INVALIDARG for no bytes, E_FAIL when they do not fit; otherwise copies them to the start.
    HRESULT SetData(const void* bytes, uint32_t count);

    uint8_t* data = nullptr;
    uint32_t capacity = 0;
    uint32_t length = 0;

private:
    CTNByteArray() = default;
};
