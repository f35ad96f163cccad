#include "library/content/TNByteArray.h"

#include <cstdlib>
#include <cstring>
#include <new>

CTNByteArray* CTNByteArray::Create(uint32_t capacity) {
    void* block = std::malloc(capacity == 0 ? 1 : capacity);
    if (block == nullptr) return nullptr;
    CTNByteArray* array = new (std::nothrow) CTNByteArray();
    if (array == nullptr) {
        std::free(block);
        return nullptr;
    }
    array->data = static_cast<uint8_t*>(block);
    array->capacity = capacity;
    return array;
}

CTNByteArray::~CTNByteArray() {
    std::free(data);
}

HRESULT CTNByteArray::SetData(const void* bytes, uint32_t count) {
    if (bytes == nullptr || count == 0) return E_INVALIDARG;
    if (count > capacity) return E_FAIL;
    std::memcpy(data, bytes, count);
    length = count;
    return S_OK;
}
