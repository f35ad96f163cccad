#pragma once
// A local server's class objects, registered with COM while this object lives (multiple use: one
// server process serves every client).

#include "platform/com/CClassFactory.h"

#include <vector>

class CClassObjectRegistrar {
public:
    CClassObjectRegistrar() = default;
    ~CClassObjectRegistrar() { Revoke(); }
    CClassObjectRegistrar(const CClassObjectRegistrar&) = delete;
    CClassObjectRegistrar& operator=(const CClassObjectRegistrar&) = delete;

    // Registers the classes in table order; at the first failure revokes what it registered and
    // returns that failure.
    HRESULT Register(const ClassEntry* classes, size_t count, CApplicationLock& lock = CApplicationLock::Process());
    void Revoke();

private:
    std::vector<DWORD> cookies_;
};
