#pragma once
// What the coordinator's tests share: recorders for automation events and started programs,
// capability documents, and a fixture with a coordinator on two scripted players.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/coordinator/QBCommonManager.h"
#include "library/util/ScopedWin.h"
#include "tests/transfer/FakeDeviceController.h"
#include "tests/util/UtilTestSupport.h"

class CRecordingEvents : public IAutomationEvents {
public:
    struct Event {
        Kind kind;
        std::wstring text;
        int32_t value;
    };
    CRecordingEvents();
    ~CRecordingEvents();

    void Post(Kind kind) override { Add({kind, std::wstring(), 0}); }
    void PostText(Kind kind, const std::wstring& text) override { Add({kind, text, 0}); }
    void PostInt(Kind kind, int32_t value) override { Add({kind, std::wstring(), value}); }
    void PublishEntryPoint(ICOMManagerListener* entryPoint) override;

    std::vector<Event> Events();
    std::vector<std::wstring> Texts(Kind kind);
    int Count(Kind kind);
    void Clear();
    // Waits (tens of seconds at most) until `count` events of the kind have been posted.
    bool WaitFor(Kind kind, int count);

    std::vector<bool> published;  // true for a publication, false for a withdrawal

private:
    void Add(const Event& event);
    CCriticalSection lock_;
    std::vector<Event> events_;
    HANDLE posted_;
};

class CRecordingLauncher : public IProgramLauncher {
public:
    INT_PTR Launch(const std::wstring& program, const std::wstring& parameters, int showCommand) override {
        launches.push_back({program, parameters, showCommand});
        return result;
    }
    struct Launched {
        std::wstring program;
        std::wstring parameters;
        int showCommand;
    };
    std::vector<Launched> launches;
    INT_PTR result = 42;
};

// "<Devices>" documents: each list is the extensions of one playback element, comma-separated.
struct CapabilityLists {
    std::string audio;
    std::string image;
    std::string video;
    std::string feedAudio;
    std::string feedVideo;
    bool feedLists = false;
    // Extra elements inside PlaybackCapabilities.
    std::string extra;
    bool ravelin = false;
};
std::string CapabilityDocument(const CapabilityLists& lists);

constexpr DWORD kEventWaitMs = 30000;

// A BSTR owned for one scope.
class CBstrHolder {
public:
    explicit CBstrHolder(const std::wstring& text)
        : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~CBstrHolder() { SysFreeString(text_); }
    CBstrHolder(const CBstrHolder&) = delete;
    CBstrHolder& operator=(const CBstrHolder&) = delete;
    BSTR Get() const { return text_; }
    operator BSTR() const { return text_; }

private:
    BSTR text_;
};

class CoordinatorTest : public ::testing::Test {
protected:
    CoordinatorTest();
    void SetUp() override;
    void TearDown() override;

    // Connects the scripted player with the document and runs the device check.
    void ConnectPlayer(const std::string& capability, bool mtp = true);
    void SetSetting(const wchar_t* name, DWORD value);

    CScratchRegistry registry_;
    CScratchFolder data_;
    CScratchFolder mtpRoot_;
    CScratchFolder mscRoot_;
    CFakeDeviceController mtp_{mtpRoot_.Path() + L"\\"};
    CFakeDeviceController msc_{mscRoot_.Path() + L"\\"};
    CRecordingEvents events_;
    CRecordingLauncher launcher_;
    std::unique_ptr<CQBCommonManager> coordinator_;
};
