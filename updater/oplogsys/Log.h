#pragma once
#include "updater/oplogsys/LogInterfaces.h"
#include "library/util/ScopedCom.h"

namespace opLogSys {

// One thread's log: every line carries the thread's id, the local time and a bar per nesting
// level beyond the first.
class CLog : public Common::CReference<ILog> {
public:
    // Takes a reference of the channel.
    CLog(DWORD id, ILogIO* channel);

    void IncreaseIndent() override { ++indent_; }
    void DecreaseIndent() override {
        if (indent_ > 0) --indent_;
    }
    void Write(const wchar_t* text) override;
    void BeginBatch() override;
    void EndBatch() override;
    DWORD GetId() override { return id_; }

    int Indent() const { return indent_; }

private:
    CScopedComPtr<ILogIO> channel_;
    int indent_ = 0;
    int batch_ = 0;
    DWORD id_;
};

// The error log's record writer: one time-stamped record per Write.
class CErrorLog : public Common::CReference<ILog> {
public:
    explicit CErrorLog(ILogIO* channel);

    void IncreaseIndent() override {}
    void DecreaseIndent() override {}
    void Write(const wchar_t* text) override;
    void BeginBatch() override {}
    void EndBatch() override {}
    DWORD GetId() override { return 0; }

private:
    CScopedComPtr<ILogIO> channel_;
};

}  // namespace opLogSys
