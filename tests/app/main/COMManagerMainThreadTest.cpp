#include "app/main/COMManagerMainThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "AutomationTestSupport.h"
#include "app/main/CTavrelQuillbayApp.h"
#include "library/util/ScopedCom.h"

namespace {

using CMainThread = CCOMManager::CMainThread;

TEST(AutomationEventTextTest, FieldsAreDecimalAndJoinedByBarsWithoutSpaces) {
    const int32_t figures[7] = {1, -2, 0, 3, 4, 5, 6};
    EXPECT_EQ(L"1|-2|0|3|4|5|6", CMainThread::FreeSpaceText(figures));
    EXPECT_EQ(L"3|Song.mp3|-5|2147483647", CMainThread::ProgressText(3, L"Song.mp3", -5, 2147483647));
    EXPECT_EQ(L"7|120", CMainThread::FileNumText(7, 120));
    CMainThread::InvokeDescription device;
    device.field1 = -1;
    device.field2 = L"Player";
    device.field3 = L"TQ-100";
    device.field4 = 42;
    device.field5 = L"E:\\";
    device.field8 = L"x";
    device.flag9 = true;
    device.flag10 = false;
    device.field11 = 3;
    device.flag12 = true;
    EXPECT_EQ(L"-1|Player|TQ-100|42|E:\\|||x|1|0|3|1", CMainThread::InvokeText(device));
}

TEST(AutomationEventParamsTest, MissingValuesReadAsZeroOrTheDefault) {
    CMainThread::CEventParams params;
    EXPECT_EQ(0, params.GetInt());
    EXPECT_EQ(L"fallback", params.GetText(29, L"fallback"));
    params.SetInt(CMainThread::CEventParams::kIntKey, -4);
    params.SetText(23, L"folder");
    EXPECT_EQ(-4, params.GetInt());
    EXPECT_EQ(L"folder", params.GetText(23));
    EXPECT_EQ(L"", params.GetText(29));
}

DWORD WINAPI StopEventThread(void*) {
    CCOMManager::MainThread().Stop();
    return 0;
}

// Live App objects with listeners in this thread's apartment: the event thread reaches them
// through proxies, as it reaches a script in another process.
class AutomationEventThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_EQ(0, Events().Start());
    }
    void TearDown() override {
        CCOMManager::SetListener(nullptr);
        apps_.clear();
        StopWhilePumping();
        CoUninitialize();
    }

    // The event thread lets go of its connections to the listeners as it ends: those calls come to
    // this thread's apartment, so it serves them while the stop runs elsewhere.
    static void StopWhilePumping() {
        HANDLE stopper = CreateThread(nullptr, 0, &StopEventThread, nullptr, 0, nullptr);
        ASSERT_NE(nullptr, stopper);
        EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(stopper, 0) == WAIT_OBJECT_0; }));
        CloseHandle(stopper);
    }

    static CMainThread& Events() { return CCOMManager::MainThread(); }

    ITavrelQuillbayApp* NewApp() {
        CScopedComPtr<ITavrelQuillbayApp> app;
        EXPECT_EQ(S_OK, CTavrelQuillbayApp::Create(nullptr, IID_ITavrelQuillbayApp,
                                                   reinterpret_cast<void**>(app.Receive())));
        apps_.push_back(std::move(app));
        return apps_.back().Get();
    }

    static CScopedComPtr<CRecordingListener> NewListener() {
        return CScopedComPtr<CRecordingListener>(CRecordingListener::Create());
    }

    static void Connect(ITavrelQuillbayApp* app) {
        int result = 0;
        EXPECT_EQ(S_OK, app->Invoke(&result));
    }

    std::vector<CScopedComPtr<ITavrelQuillbayApp>> apps_;
};

TEST_F(AutomationEventThreadTest, EveryEventReachesItsListenerWithItsArgument) {
    ITavrelQuillbayApp* app = NewApp();
    Connect(app);
    struct Case {
        HRESULT (STDMETHODCALLTYPE ITavrelQuillbayApp::*put)(IDispatch*);
        std::function<void()> post;
        std::wstring argument;
    };
    const int32_t figures[7] = {1, -2, 0, 3, 4, 5, 6};
    const Case kCases[] = {
        {&ITavrelQuillbayApp::put_listenerUpdateFreeSpace, [&] { Events().PostUpdateFreeSpace(figures); },
         L"1|-2|0|3|4|5|6"},
        {&ITavrelQuillbayApp::put_listenerProgress, [] { Events().PostProgress(0, L"a.mp3", 50, 99); }, L"0|a.mp3|50|99"},
        {&ITavrelQuillbayApp::put_listenerDeleteDialog, [] { Events().PostDeleteDialog(1); }, L"1"},
        {&ITavrelQuillbayApp::put_listenerTransferError, [] { Events().PostTransferError(); }, L""},
        {&ITavrelQuillbayApp::put_listenerStart, [] { Events().PostStart(); }, L""},
        {&ITavrelQuillbayApp::put_listenerEnd, [] { Events().PostEnd(); }, L""},
        {&ITavrelQuillbayApp::put_listenerUpdateFileNum, [] { Events().PostUpdateFileNum(2, 9); }, L"2|9"},
        {&ITavrelQuillbayApp::put_listenerUpdateSyncFolder, [] { Events().PostUpdateSyncFolder(L"1|0|1|0"); },
         L"1|0|1|0"},
        {&ITavrelQuillbayApp::put_listenerSyncDialog, [] { Events().PostSyncDialog(0); }, L"0"},
        {&ITavrelQuillbayApp::put_listenerSettingDialog, [] { Events().PostSettingDialog(1); }, L"1"},
        {&ITavrelQuillbayApp::put_listenerUpdateSyncFolder,
         [] { Events().PostText(IAutomationEvents::kUpdateSyncFolder, L"via the coordinator"); },
         L"via the coordinator"},
        {&ITavrelQuillbayApp::put_listenerDeleteDialog, [] { Events().PostInt(IAutomationEvents::kDeleteDialog, 0); },
         L"0"},
    };
    for (const Case& c : kCases) {
        auto listener = NewListener();
        EXPECT_EQ(S_OK, (app->*c.put)(listener.Get()));
        c.post();
        // The same listener again: each event takes a fresh pointer, so the second arrives too.
        c.post();
        EXPECT_TRUE(PumpUntil([&] { return listener->CallCount() >= 2; }));
        EXPECT_EQ((std::vector<std::wstring>{c.argument, c.argument}), listener->Calls());
        EXPECT_EQ(S_OK, (app->*c.put)(nullptr));
    }
}

TEST_F(AutomationEventThreadTest, OnlyTheDeviceEventReachesObjectsBeforeTheirInvoke) {
    ITavrelQuillbayApp* app = NewApp();
    auto progress = NewListener();
    auto device = NewListener();
    app->put_listenerProgress(progress.Get());
    app->put_listenerInvoke(device.Get());
    Events().PostProgress(1, L"early", 0, 1);
    CMainThread::InvokeDescription description;
    Events().PostInvoke(description);
    ASSERT_TRUE(PumpUntil([&] { return device->CallCount() == 1; }));
    Connect(app);
    Events().PostProgress(1, L"late", 0, 1);
    ASSERT_TRUE(PumpUntil([&] { return progress->CallCount() == 1; }));
    EXPECT_EQ(std::vector<std::wstring>{L"1|late|0|1"}, progress->Calls());
}

TEST_F(AutomationEventThreadTest, TwoConnectedObjectsEachReceiveEveryEventOnceInOrder) {
    ITavrelQuillbayApp* first = NewApp();
    ITavrelQuillbayApp* second = NewApp();
    ITavrelQuillbayApp* silent = NewApp();  // never puts a listener: skipped without harm
    Connect(first);
    Connect(second);
    Connect(silent);
    auto firstListener = NewListener();
    auto secondListener = NewListener();
    first->put_listenerProgress(firstListener.Get());
    second->put_listenerProgress(secondListener.Get());
    const int kEvents = 200;
    for (int index = 0; index < kEvents; ++index) Events().PostProgress(3, L"s", index, kEvents);
    ASSERT_TRUE(PumpUntil([&] {
        return firstListener->CallCount() >= kEvents && secondListener->CallCount() >= kEvents;
    }));
    std::vector<std::wstring> expected;
    for (int index = 0; index < kEvents; ++index) expected.push_back(L"3|s|" + std::to_wstring(index) + L"|200");
    EXPECT_EQ(expected, firstListener->Calls());
    EXPECT_EQ(expected, secondListener->Calls());
}

TEST_F(AutomationEventThreadTest, AListenerThatCallsTheServerBackDoesNotHang) {
    CRecordingCoordinator coordinator;
    CCOMManager::SetListener(&coordinator);
    ITavrelQuillbayApp* app = NewApp();
    Connect(app);
    auto listener = NewListener();
    int cancelled = 0;
    // Runs on this thread while the event thread waits in its call: the coordinator-bound call needs
    // the automation lock, so the event thread must not hold it meanwhile.
    listener->SetOnCall([&] { app->CancelTransfer(&cancelled); });
    app->put_listenerEnd(listener.Get());
    Events().PostEnd();
    Events().PostEnd();
    ASSERT_TRUE(PumpUntil([&] { return listener->CallCount() == 2; }, 30000));
    EXPECT_EQ(3, cancelled);
}

TEST_F(AutomationEventThreadTest, TheSpaceRequestGoesToThePublishedCoordinator) {
    CRecordingCoordinator coordinator;
    ITavrelQuillbayApp* app = NewApp();
    Connect(app);
    auto marker = NewListener();
    app->put_listenerEnd(marker.Get());
    // Nobody published yet: the request is dropped. Events are handled in order, so once the
    // marker event has arrived the request before it has been handled.
    EXPECT_EQ(S_OK, app->FireSpace());
    Events().PostEnd();
    ASSERT_TRUE(PumpUntil([&] { return marker->CallCount() == 1; }));
    Events().PublishEntryPoint(&coordinator);
    EXPECT_EQ(S_OK, app->FireSpace());
    ASSERT_TRUE(PumpUntil([&] { return !coordinator.Calls().empty(); }));
    EXPECT_EQ(std::vector<std::wstring>{L"FireSpace"}, coordinator.Calls());
}

struct StopDuringCall {
    CRecordingListener* listener;
    HANDLE release;
};

// Polls without pumping: this thread has no apartment calls to serve.
bool PollUntil(const std::function<bool()>& condition) {
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (!condition()) {
        if (GetTickCount64() > deadline) return false;
        Sleep(1);
    }
    return true;
}

// While the event thread is inside its first call: queues more events, has the stop clear them,
// and only then lets the call return.
DWORD WINAPI QueueThenStop(void* context) {
    StopDuringCall* run = static_cast<StopDuringCall*>(context);
    if (!PollUntil([&] { return run->listener->CallCount() == 1; })) return 1;
    for (int index = 0; index < 5; ++index) CCOMManager::MainThread().PostStart();
    HANDLE stopper = CreateThread(nullptr, 0, &StopEventThread, nullptr, 0, nullptr);
    if (!stopper) return 1;
    PollUntil([] { return CCOMManager::MainThread().PendingMessageCount() == 0; });
    SetEvent(run->release);
    WaitForSingleObject(stopper, INFINITE);
    CloseHandle(stopper);
    return 0;
}

TEST_F(AutomationEventThreadTest, EventsQueuedAtTheStopAreDroppedAndLaterOnesAreNotFired) {
    ITavrelQuillbayApp* app = NewApp();
    Connect(app);
    auto listener = NewListener();
    StopDuringCall run = {listener.Get(), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    bool first = true;
    listener->SetOnCall([&] {
        if (first) WaitForSingleObject(run.release, 60000);
        first = false;
    });
    app->put_listenerStart(listener.Get());
    HANDLE helper = CreateThread(nullptr, 0, &QueueThenStop, &run, 0, nullptr);
    ASSERT_NE(nullptr, helper);
    Events().PostStart();
    // Serves the first call (held until the stop has cleared the queue) and the stop's release of
    // its connection to the listener.
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(helper, 0) == WAIT_OBJECT_0; }));
    Events().PostStart();
    EXPECT_EQ(1u, listener->CallCount());
    CloseHandle(helper);
    CloseHandle(run.release);
}

}  // namespace
