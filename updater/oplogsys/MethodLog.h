#pragma once
#include <cstdarg>
#include <cstdint>
#include <type_traits>

#include "library/util/ScopedCom.h"
#include "updater/oplogsys/OutputLogSystem.h"

namespace opLogSys::Fmt {

// A method's scoped log: an entry line at construction, lines one level deeper in between, and a
// leaving line with the method's result at destruction. Disabled (and nearly free) unless the
// configuration admits the program's subject at level 1.
class CMethodLogBase {
public:
    CMethodLogBase(COutputLogSystem* system, const wchar_t* methodName);
    virtual ~CMethodLogBase();
    CMethodLogBase(const CMethodLogBase&) = delete;
    CMethodLogBase& operator=(const CMethodLogBase&) = delete;

    virtual void Printf(int level, const wchar_t* format, ...);
    virtual void Printf(const wchar_t* format, ...);
    virtual void VPrintf(int level, const wchar_t* format, va_list arguments);
    virtual void VPrintf(const wchar_t* format, va_list arguments);
    virtual void Write(int level, const wchar_t* text);
    virtual void Write(const wchar_t* text);
    virtual HRESULT Dump(int level, const wchar_t* title, const void* data, size_t size, unsigned bytesPerRow);
    virtual HRESULT Dump(const wchar_t* title, const void* data, size_t size, unsigned bytesPerRow);
    virtual void ErrorPrintf(int line, const wchar_t* source, const wchar_t* format, ...);
    virtual void ErrorPrintf(const wchar_t* format, ...);
    virtual void ErrorVPrintf(int line, const wchar_t* source, const wchar_t* format, va_list arguments);
    virtual void ErrorWrite(int line, const wchar_t* source, const wchar_t* text);
    virtual void ErrorWrite(const wchar_t* text);
    virtual void BeginBatch();
    virtual void EndBatch();

    bool IsEnabled() const { return enabled_; }

protected:
    // Writes the leaving line; the derived class calls it while the result is still readable.
    void Leave(int32_t result);

private:
    COutputLogSystem* system_;
    CScopedComPtr<ILog> log_;
    const wchar_t* methodName_;
    const wchar_t* subject_;
    int defaultLevel_ = 1;
    bool enabled_ = false;
    bool left_ = false;
};

// For a method whose result is a 32-bit signed value (an HRESULT, say), read when the log ends.
template <class Result>
class CMethodLog : public CMethodLogBase {
    static_assert(std::is_integral<Result>::value && std::is_signed<Result>::value && sizeof(Result) == 4,
                  "a method log reports a 32-bit signed result");

public:
    CMethodLog(COutputLogSystem* system, const wchar_t* methodName, const Result* result)
        : CMethodLogBase(system, methodName), result_(result) {}
    ~CMethodLog() override { Leave(result_ ? static_cast<int32_t>(*result_) : 0); }

private:
    const Result* result_;
};

}  // namespace opLogSys::Fmt
