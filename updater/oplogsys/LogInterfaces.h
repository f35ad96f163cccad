#pragma once
// The logging library's interfaces. Objects are reference counted: each starts with a count of 1,
// and the one who created or was handed a reference releases it.

#include <windows.h>

namespace opLogSys {

class IReference {
public:
    virtual ~IReference() = default;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};

// A lock used as a member; never reference counted.
class ILockObject {
public:
    virtual int Lock() = 0;
    virtual int Unlock() = 0;

protected:
    ~ILockObject() = default;
};

// A channel that lines end up in (a file, the debugger, nowhere).
class ILogIO : public IReference {
public:
    virtual int Lock() = 0;
    virtual int Unlock() = 0;
    // The text and CR LF; returns the bytes of the text, or -1 when nothing could be written.
    virtual int WriteLine(const wchar_t* text) = 0;
    virtual int Write(const wchar_t* text) = 0;
    virtual void Flush() = 0;
};

class ILog : public IReference {
public:
    virtual void IncreaseIndent() = 0;
    virtual void DecreaseIndent() = 0;
    virtual void Write(const wchar_t* text) = 0;
    virtual void BeginBatch() = 0;
    virtual void EndBatch() = 0;
    virtual DWORD GetId() = 0;
};

class ILogFilter : public IReference {
public:
    // S_OK when the subject is admitted at that level, else E_FAIL.
    virtual HRESULT IsEnabled(const wchar_t* subject, int level) = 0;
    virtual HRESULT HasEntries() = 0;
};

// Each Create returns a new object holding one reference for the caller.
class IOutputLogSystemFactory : public IReference {
public:
    virtual ILogIO* CreateLogIO(const wchar_t* name) = 0;
    virtual ILog* CreateLog(DWORD id, ILogIO* channel) = 0;
    virtual ILog* CreateErrorLog(ILogIO* channel) = 0;
};

// Both getters return an added reference.
class ILogSysInfo {
public:
    virtual IOutputLogSystemFactory* GetFactory() = 0;
    virtual ILogFilter* GetFilter() = 0;
    virtual ~ILogSysInfo() = default;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};

namespace Common {

// Adds the interlocked reference count to an interface.
template <class Interface>
class CReference : public Interface {
public:
    ULONG AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
    ULONG Release() override {
        const LONG count = InterlockedDecrement(&count_);
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }

private:
    LONG count_ = 1;
};

}  // namespace Common
}  // namespace opLogSys
