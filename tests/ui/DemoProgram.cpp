// The framework's test program as a real process: static objects around the application object
// record when they are built, and the command line chooses how the run goes:
//   -log <file>  write the recorded order there at exit
//   -fail        InitInstance answers FALSE
//   -stay        the window stays open until it is closed
// Otherwise the window opens and closes at once. The exit code is ExitInstance's (3).

#include <windows.h>

#include <cstdio>

#include "platform/ui/UiCommandLineInfo.h"
#include "tests/ui/DemoApp.h"

namespace {

CDemoEventLog& ProgramLog() {
    static CDemoEventLog log;
    return log;
}

struct CStaticRecorder {
    explicit CStaticRecorder(const char* name) { ProgramLog().Add(name); }
};

class CDemoCommandLineInfo : public CUiCommandLineInfo {
public:
    void ParseParam(const wchar_t* param, BOOL isFlag, BOOL isLast) override {
        if (expectLogPath_ && !isFlag) {
            logPath = param;
            expectLogPath_ = false;
        } else if (isFlag && _wcsicmp(param, L"log") == 0) {
            expectLogPath_ = true;
        } else if (isFlag && _wcsicmp(param, L"fail") == 0) {
            fail = true;
        } else if (isFlag && _wcsicmp(param, L"stay") == 0) {
            stay = true;
        }
        CUiCommandLineInfo::ParseParam(param, isFlag, isLast);
    }

    std::wstring logPath;
    bool fail = false;
    bool stay = false;

private:
    bool expectLogPath_ = false;
};

class CDemoProgramApp : public CDemoApp {
public:
    CDemoProgramApp() : CDemoApp(ProgramLog(), nullptr) { ProgramLog().Add("application constructed"); }

    BOOL InitInstance() override {
        CDemoCommandLineInfo info;
        ParseCommandLine(info);
        logPath_ = info.logPath;
        failInit = info.fail;
        quitAtOnce = !info.stay;
        return CDemoApp::InitInstance();
    }

    int ExitInstance() override {
        CDemoApp::ExitInstance();
        WriteLog();
        return 3;
    }

private:
    void WriteLog() const {
        if (logPath_.empty()) return;
        FILE* file = _wfopen(logPath_.c_str(), L"wb");
        if (file == nullptr) return;
        for (const std::string& event : ProgramLog().Events()) std::fprintf(file, "%s\n", event.c_str());
        std::fclose(file);
    }

    std::wstring logPath_;
};

const CStaticRecorder g_before("static object before the application");
CDemoProgramApp g_app;
const CStaticRecorder g_after("static object after the application");

}  // namespace
