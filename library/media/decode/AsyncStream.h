#pragma once
// A random-access byte stream that the asynchronous reader serves to a pull-model graph.

#include <windows.h>

class CAsyncStream {
public:
    virtual ~CAsyncStream() = default;
    // S_FALSE when the position lies outside the stream.
    virtual HRESULT SetPointer(LONGLONG position) = 0;
    virtual HRESULT Read(BYTE* buffer, DWORD count, BOOL aligned, LPDWORD read) = 0;
    // The total length; available receives how much of it can be read now.
    virtual LONGLONG Size(LONGLONG* available = nullptr) = 0;
    virtual DWORD Alignment() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};
