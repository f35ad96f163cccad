// The wizard's frame with placeholder screens and a scripted manager, on the test thread: the
// frame's records are handled by pumping its messages here.
#include "setup/frame/MainFrame.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <algorithm>
#include <set>
#include <thread>

#include "library/util/ModuleFolder.h"
#include "platform/ui/UiStatic.h"
#include "setup/wizard/SetupFrameLayout.h"
#include "tests/setup/frame/FakeSetupManager.h"
#include "tests/setup/frame/RecordingScreens.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"

namespace {

constexpr DWORD kWaitMs = 30000;

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition) {
    return WaitUntil([&] {
        Pump();
        return condition();
    }, kWaitMs);
}

// A mutex that another instance would hold, named for the test.
class CHeldMutex {
public:
    explicit CHeldMutex(const std::wstring& name) : handle_(CreateMutexW(nullptr, TRUE, name.c_str())) {}
    ~CHeldMutex() {
        if (handle_ != nullptr) CloseHandle(handle_);
    }

private:
    HANDLE handle_;
};

bool MutexExists(const std::wstring& name) {
    HANDLE probe = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    if (probe == nullptr) return false;
    CloseHandle(probe);
    return true;
}

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::wstring test = L"QbSetupFrameTest." + std::wstring(name.begin(), name.end());
        parts_.screens = &screens_;
        parts_.ownMutexName = test + L".own";
        parts_.mainProgramMutexName = test + L".main";
        parts_.stringModulePath = GetModuleFolder() + L"setup_test_strings.dll";
        parts_.createManager = [this](ISetupListener&) -> std::unique_ptr<ISetupManager> {
            return std::make_unique<CFakeSetupManager>(script_);
        };
        parts_.reportError = [this](HWND, const std::wstring& text) { errors_.push_back(text); };
        SetFrameLayout(ComputeFrameLayout(0x0409, 96, 96));
    }
    void TearDown() override {
        if (frame_ && frame_->Hwnd() != nullptr) frame_->DestroyWindow();
        Pump();
        frame_.reset();
    }

    CMainFrame& Start(bool checkMainProgram = true, bool expected = true) {
        frame_ = std::make_unique<CMainFrame>(parts_);
        EXPECT_NE(nullptr, frame_->Hwnd());
        EXPECT_EQ(expected, frame_->SetupScreens(checkMainProgram));
        Pump();
        return *frame_;
    }

    // The screen whose window is shown, by its placeholder name ("Screen n"); the frame itself
    // stays hidden in most tests.
    std::wstring VisibleScreen() {
        std::wstring shown;
        for (unsigned n = 0; n < SetupScreen::kCount; ++n) {
            CUiWnd* screen = frame_->Screen(n);
            if (screen != nullptr && (GetWindowLongW(screen->Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0) shown += WindowText(screen->Hwnd());
        }
        return shown;
    }

    void DeviceChange() {
        SendMessageW(frame_->Hwnd(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        Pump();
    }

    size_t Count(const std::string& call) const { return std::count(script_.log.begin(), script_.log.end(), call); }

    CMainFrame::Parts parts_;
    CRecordingScreens screens_;
    FakeManagerScript script_;
    std::vector<std::wstring> errors_;
    std::unique_ptr<CMainFrame> frame_;
};

TEST_F(MainFrameTest, WindowIsAPlainCaptionedFrameAtOneHundredOneHundred) {
    const SetupFrameLayout sizes[] = {ComputeFrameLayout(0x0411, 96, 96), ComputeFrameLayout(0x0C0A, 120, 120)};
    for (const SetupFrameLayout& layout : sizes) {
        SetFrameLayout(layout);
        CMainFrame frame(parts_);
        ASSERT_NE(nullptr, frame.Hwnd());
        RECT rect{};
        GetWindowRect(frame.Hwnd(), &rect);
        EXPECT_EQ(100, rect.left);
        EXPECT_EQ(100, rect.top);
        EXPECT_EQ(layout.frameWidth, rect.right - rect.left);
        EXPECT_EQ(layout.frameHeight, rect.bottom - rect.top);
        const LONG style = GetWindowLongW(frame.Hwnd(), GWL_STYLE);
        EXPECT_NE(0, style & WS_SYSMENU);
        EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
        EXPECT_EQ(L"Halvix Setup ", WindowText(frame.Hwnd()));
        frame.DestroyWindow();
    }
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainFrameTest, StartsWaitingOnTheFirstScreenWithARunningManager) {
    Start();
    EXPECT_EQ(L"Screen 0", VisibleScreen());
    EXPECT_TRUE(frame_->IsWaitingForDevice());
    EXPECT_EQ((std::vector<std::string>{"Run", "ResetDevices"}), script_.log);
    // While it runs the wizard holds both names: a second wizard and the main program see them.
    EXPECT_TRUE(MutexExists(parts_.ownMutexName));
    EXPECT_TRUE(MutexExists(parts_.mainProgramMutexName));
    EXPECT_TRUE(errors_.empty());
    // The visible screen carries the first pane's id.
    EXPECT_EQ(LONG_PTR(SetupScreen::kFirstPaneId), GetWindowLongPtrW(frame_->Screen(0)->Hwnd(), GWLP_ID));
}

TEST_F(MainFrameTest, RunningInstancesBlockTheWizardOnScreenOneOrTwo) {
    const struct {
        bool wizardRuns;
        bool mainProgramRuns;
        bool checkMainProgram;
        const wchar_t* screen;
        bool managerMade;
    } cases[] = {
        {true, false, true, L"Screen 1", false},
        // The wizard check comes first.
        {true, true, true, L"Screen 1", false},
        {false, true, true, L"Screen 2", false},
        // Started by the main program itself: its mutex is not probed.
        {false, true, false, L"Screen 0", true},
        {false, false, false, L"Screen 0", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.wizardRuns << c.mainProgramRuns << c.checkMainProgram);
        script_.log.clear();
        {
            std::unique_ptr<CHeldMutex> wizard, mainProgram;
            if (c.wizardRuns) wizard = std::make_unique<CHeldMutex>(parts_.ownMutexName);
            if (c.mainProgramRuns) mainProgram = std::make_unique<CHeldMutex>(parts_.mainProgramMutexName);
            Start(c.checkMainProgram);
            EXPECT_EQ(c.screen, VisibleScreen());
            EXPECT_EQ(c.managerMade, frame_->Manager() != nullptr);
            EXPECT_EQ(c.managerMade, frame_->IsWaitingForDevice());
            // Blocked, the frame reacts to no device change.
            script_.deviceArrives = true;
            DeviceChange();
            EXPECT_EQ(c.managerMade ? 1u : 0u, Count("CheckConnectedDevice"));
            script_.deviceArrives = false;
            frame_->DestroyWindow();
            Pump();
            frame_.reset();
        }
        EXPECT_FALSE(MutexExists(parts_.ownMutexName));
    }
}

TEST_F(MainFrameTest, ADeviceThatArrivesIsTakenAndLeadsToRegistrationOrDeregistration) {
    Start();
    DeviceChange();
    EXPECT_EQ(L"Screen 0", VisibleScreen()) << "no player yet: the wizard keeps waiting";
    EXPECT_TRUE(frame_->IsWaitingForDevice());
    EXPECT_EQ(0u, Count("TakeDevice"));

    CUiStatic modelLine;
    ASSERT_TRUE(modelLine.Create(L"", WS_CHILD, RECT{0, 0, 200, 20}, frame_->Screen(3)->Hwnd()));
    frame_->State().modelText = &modelLine;
    // The name is the player's: format characters in it are shown, never interpreted.
    script_.deviceArrives = true;
    script_.modelName = L"Player %s %n %d";
    DeviceChange();
    EXPECT_EQ(L"Screen 3", VisibleScreen());
    EXPECT_EQ(1u, Count("TakeDevice"));
    EXPECT_FALSE(frame_->IsWaitingForDevice());
    EXPECT_TRUE(frame_->IsDeviceTaken());
    EXPECT_EQ(L"Model: Player %s %n %d", modelLine.GetText());
    EXPECT_EQ(L"Player %s %n %d", frame_->State().modelName);

    // Taken and still connected: later changes do nothing.
    DeviceChange();
    EXPECT_EQ(L"Screen 3", VisibleScreen());
    EXPECT_EQ(1u, Count("CheckConnectedDevice") - 1);
    EXPECT_EQ(1u, Count("TakeDevice"));
}

TEST_F(MainFrameTest, ARegisteredDeviceLeadsToTheDeregisterOrRefreshScreen) {
    Start();
    script_.deviceArrives = true;
    script_.registered = true;
    DeviceChange();
    EXPECT_EQ(L"Screen 11", VisibleScreen());
    EXPECT_TRUE(frame_->State().registered);
}

TEST_F(MainFrameTest, UnpluggingTheTakenDeviceAbortsAndStopsARefreshFirst) {
    for (unsigned screen : {3u, 8u}) {
        SCOPED_TRACE(screen);
        script_.log.clear();
        Start();
        script_.deviceArrives = true;
        script_.stillConnected = true;
        DeviceChange();
        frame_->ShowScreen(screen);
        script_.stillConnected = false;
        script_.log.clear();
        DeviceChange();
        EXPECT_EQ(L"Screen 13", VisibleScreen());
        const std::vector<std::string> expected =
            screen == 8 ? std::vector<std::string>{"IsDeviceConnected", "StopRefresh", "DeleteCacheFiles"}
                        : std::vector<std::string>{"IsDeviceConnected"};
        EXPECT_EQ(expected, script_.log);
        frame_->DestroyWindow();
        Pump();
        frame_.reset();
    }
}

TEST_F(MainFrameTest, OnlyTheDevNodesChangedEventCountsAsADeviceChange) {
    Start();
    const WPARAM ignored[] = {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_CONFIGCHANGED, 0};
    for (WPARAM event : ignored) SendMessageW(frame_->Hwnd(), WM_DEVICECHANGE, event, 0);
    Pump();
    EXPECT_EQ(0u, Count("CheckConnectedDevice"));
    SendMessageW(frame_->Hwnd(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    Pump();
    EXPECT_EQ(1u, Count("CheckConnectedDevice"));
}

TEST_F(MainFrameTest, RecordsFromManyThreadsAreEachHandledOnceInTheirThreadsOrder) {
    Start();
    constexpr int kThreads = 4;
    constexpr int kEach = 250;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([this, t] {
            for (int i = 0; i < kEach; ++i) {
                const std::wstring text = L"song " + std::to_wstring(t * kEach + i);
                frame_->OnProcEvent(t * kEach + i, 0, 3, 6, text.c_str(), 0);
            }
        });
    }
    for (std::thread& worker : workers) worker.join();
    ASSERT_TRUE(PumpUntil([&] { return screens_.progress.size() == size_t(kThreads * kEach); }));
    std::set<int> seen;
    int last[kThreads] = {-1, -1, -1, -1};
    for (const auto& record : screens_.progress) {
        EXPECT_TRUE(seen.insert(record.value).second);
        EXPECT_EQ(L"song " + std::to_wstring(record.value), record.text);
        const int thread = record.value / kEach;
        EXPECT_LT(last[thread], record.value);
        last[thread] = record.value;
    }
    // A notification without a record finds the queue empty and does nothing.
    frame_->OnQueuedMessage();
    EXPECT_EQ(size_t(kThreads * kEach), screens_.progress.size());

    frame_->OnUIEvent(nullptr, nullptr, 4, 4, 1);
    frame_->OnProcEvent(1, 2, 3, 0, nullptr, 0);
    Pump();
    ASSERT_EQ(1u, screens_.events.size());
    EXPECT_EQ(4u, screens_.events[0].screen);
    EXPECT_EQ(1, screens_.events[0].error);
    EXPECT_TRUE(screens_.progress.back().text.empty());
}

TEST_F(MainFrameTest, ClosingStopsTheRefreshAndDeletesTheCacheBeforeTheManagerGoes) {
    Start();
    // Queued, never handled: the frame is gone before its notification arrives.
    frame_->OnProcEvent(7, 0, 3, 1, nullptr, 0);
    script_.log.clear();
    frame_->DestroyWindow();
    Pump();
    EXPECT_EQ((std::vector<std::string>{"StopRefresh", "DeleteCacheFiles", "StopAll", "destroyed"}), script_.log);
    EXPECT_TRUE(screens_.progress.empty());
    EXPECT_FALSE(MutexExists(parts_.ownMutexName));
    for (unsigned n = 0; n < SetupScreen::kCount; ++n) EXPECT_EQ(nullptr, frame_->Screen(n)->Hwnd());
}

TEST_F(MainFrameTest, StartUpFailuresAreReportedWithTheirOwnTexts) {
    parts_.stringModulePath = GetModuleFolder() + L"no_such_module.dll";
    Start(true, false);
    EXPECT_EQ(std::vector<std::wstring>{L"ResourceDLL load error."}, errors_);
    frame_->DestroyWindow();
    frame_.reset();
    errors_.clear();

    SetUp();
    parts_.createManager = [](ISetupListener&) { return std::unique_ptr<ISetupManager>(); };
    Start();
    EXPECT_EQ(std::vector<std::wstring>{L"CSetupCommonManager create failed"}, errors_);
    EXPECT_EQ(L"Screen 0", VisibleScreen());
    EXPECT_FALSE(frame_->IsWaitingForDevice());
    frame_->DestroyWindow();
    frame_.reset();
    errors_.clear();

    SetUp();
    script_.runResult = E_FAIL;
    script_.log.clear();
    Start();
    EXPECT_EQ(std::vector<std::wstring>{L"CSetupCommonManager run failed."}, errors_);
    EXPECT_FALSE(frame_->IsWaitingForDevice());
    script_.deviceArrives = true;
    DeviceChange();
    EXPECT_EQ(L"Screen 0", VisibleScreen());
    EXPECT_EQ(std::vector<std::string>{"Run"}, script_.log);
}

TEST_F(MainFrameTest, ShowScreenSwapsPaneIdsAndRestoresTheForegroundLockTimeout) {
    Start();
    DWORD original = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &original, 0));
    const DWORD users = 123456;
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(UINT_PTR(users)), 0);

    EXPECT_EQ(frame_->Screen(7), frame_->ShowScreen(7));
    EXPECT_EQ(L"Screen 7", VisibleScreen());
    EXPECT_EQ(LONG_PTR(SetupScreen::kFirstPaneId), GetWindowLongPtrW(frame_->Screen(7)->Hwnd(), GWLP_ID));
    EXPECT_EQ(LONG_PTR(SetupScreen::kFirstPaneId + 7), GetWindowLongPtrW(frame_->Screen(0)->Hwnd(), GWLP_ID));
    // The same screen again changes nothing.
    EXPECT_EQ(frame_->Screen(7), frame_->ShowScreen(7));
    EXPECT_EQ(LONG_PTR(SetupScreen::kFirstPaneId), GetWindowLongPtrW(frame_->Screen(7)->Hwnd(), GWLP_ID));
    EXPECT_EQ(nullptr, frame_->ShowScreen(SetupScreen::kCount));
    EXPECT_EQ(7u, frame_->CurrentScreen());

    DWORD after = 0;
    SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &after, 0);
    EXPECT_EQ(users, after);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(UINT_PTR(original)), 0);
}

TEST_F(MainFrameTest, ScreenshotsOfTheFrameAtEachSize) {
    const struct {
        const wchar_t* name;
        SetupFrameLayout layout;
    } sizes[] = {
        {L"setup_frame_500x300", ComputeFrameLayout(0x0409, 96, 96)},
        {L"setup_frame_460x285", ComputeFrameLayout(0x0809, 96, 96)},
        {L"setup_frame_440x260", ComputeFrameLayout(0x0411, 96, 96)},
        {L"setup_frame_575x356_120dpi", ComputeFrameLayout(0x0C0A, 120, 120)},
    };
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.name);
        SetFrameLayout(size.layout);
        Start();
        ShowWindow(frame_->Hwnd(), SW_SHOW);
        UpdateWindow(frame_->Hwnd());
        Pump();
        CWindowCapture capture;
        ASSERT_TRUE(capture.Capture(frame_->Hwnd()));
        EXPECT_FALSE(capture.LooksBlank());
        EXPECT_TRUE(capture.SavePng(ScreenshotPath(size.name)));
        RECT client{};
        GetClientRect(frame_->Hwnd(), &client);
        RECT screen{};
        GetWindowRect(frame_->Screen(0)->Hwnd(), &screen);
        EXPECT_EQ(client.right, screen.right - screen.left) << "the screen fills the client area";
        EXPECT_EQ(client.bottom, screen.bottom - screen.top);
        frame_->DestroyWindow();
        Pump();
        frame_.reset();
    }
}

}  // namespace
