#pragma once

#include <cstdint>

// One message posted to a CThreadBase worker: an identifier chosen by the subclass and a
// parameter (a number or a pointer, as the subclass decides).
class CThreadMessage {
public:
    CThreadMessage(uint32_t messageId, uintptr_t messageParam) : id(messageId), param(messageParam) {}
    virtual ~CThreadMessage() = default;

    uint32_t id;
    uint32_t reserved = 0;
    uintptr_t param;  // a number or a pointer: 32 bits in the 32-bit programs
};
