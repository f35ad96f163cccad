#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "library/media/decode/WMReaderCallbackImpl.h"

namespace {

// Counts how often the object was destroyed, so Release's deletion can be observed.
class CCountedCallback : public CWMReaderCallbackImpl {
public:
    explicit CCountedCallback(volatile LONG* destroyed) : destroyed_(destroyed) {}

protected:
    ~CCountedCallback() override { InterlockedIncrement(destroyed_); }

private:
    volatile LONG* destroyed_;
};

// Holds one reference for the test and drops it at the end.
class WMReaderCallbackImplTest : public ::testing::Test {
protected:
    void SetUp() override {
        callback_ = new CCountedCallback(&destroyed_);
        callback_->AddRef();
        ASSERT_EQ(S_OK, callback_->Initialize());
    }
    void TearDown() override {
        if (callback_ != nullptr) {
            EXPECT_EQ(0u, callback_->Release());
        }
        EXPECT_EQ(1, destroyed_);
    }

    volatile LONG destroyed_ = 0;
    CWMReaderCallbackImpl* callback_ = nullptr;
};

TEST_F(WMReaderCallbackImplTest, AnswersItsThreeInterfacesWithANewReference) {
    const IID served[] = {IID_IUnknown, __uuidof(IWMReaderCallback), __uuidof(IWMStatusCallback)};
    for (const IID& iid : served) {
        void* object = nullptr;
        EXPECT_EQ(S_OK, callback_->QueryInterface(iid, &object));
        EXPECT_EQ(static_cast<IWMReaderCallback*>(callback_), object);
        // The query added one: this AddRef makes three, the two releases bring it back to one.
        EXPECT_EQ(3u, callback_->AddRef());
        callback_->Release();
        EXPECT_EQ(1u, callback_->Release());
    }
}

TEST_F(WMReaderCallbackImplTest, RefusesOtherInterfacesWithNotImplemented) {
    const IID refused[] = {__uuidof(IWMReaderCallbackAdvanced), IID_IDispatch, IID_IClassFactory,
                           GUID_NULL};
    for (const IID& iid : refused) {
        void* object = reinterpret_cast<void*>(0x1234);
        EXPECT_EQ(E_NOTIMPL, callback_->QueryInterface(iid, &object));
        EXPECT_EQ(nullptr, object);
    }
    EXPECT_EQ(E_POINTER, callback_->QueryInterface(IID_IUnknown, nullptr));
    EXPECT_EQ(2u, callback_->AddRef());
    EXPECT_EQ(1u, callback_->Release());
}

TEST_F(WMReaderCallbackImplTest, SamplesAreAcceptedAndIgnored) {
    EXPECT_EQ(S_OK, callback_->OnSample(0, 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_TIMEOUT), callback_->WaitForOpen(0));
}

struct StatusReport {
    WMT_STATUS status;
    HRESULT result;
};

struct StatusCase {
    const char* name;
    std::vector<StatusReport> reports;
    HRESULT expectedWait;
};

const HRESULT kOpenFailure = static_cast<HRESULT>(0xC00D001AL);  // file not found
const HRESULT kTimedOut = HRESULT_FROM_WIN32(ERROR_TIMEOUT);

TEST_F(WMReaderCallbackImplTest, TheStatusThatEndsTheOpenSettlesIt) {
    const StatusCase cases[] = {
        {"nothing reported", {}, kTimedOut},
        {"opened", {{WMT_OPENED, S_OK}}, S_OK},
        {"open failed", {{WMT_OPENED, kOpenFailure}}, E_FAIL},
        {"error status", {{WMT_ERROR, S_OK}}, E_FAIL},
        {"error status with a location", {{WMT_ERROR_WITHURL, kOpenFailure}}, E_FAIL},
        {"any status carrying a failure", {{WMT_LOCATING, kOpenFailure}}, E_FAIL},
        // Progress reports before the open must neither fail it nor wake the waiter early.
        {"progress only", {{WMT_CONNECTING, S_OK}, {WMT_BUFFERING_START, S_OK}}, kTimedOut},
        {"progress, then opened",
         {{WMT_LOCATING, S_OK}, {WMT_BUFFERING_START, S_OK}, {WMT_OPENED, S_OK}},
         S_OK},
        {"opened, then later trouble",
         {{WMT_OPENED, S_OK}, {WMT_ERROR, kOpenFailure}, {WMT_CLOSED, S_OK}},
         S_OK},
        {"failed, then a late opened", {{WMT_ERROR, kOpenFailure}, {WMT_OPENED, S_OK}}, E_FAIL},
    };
    for (const StatusCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        volatile LONG destroyed = 0;
        CWMReaderCallbackImpl* callback = new CCountedCallback(&destroyed);
        callback->AddRef();
        ASSERT_EQ(S_OK, callback->Initialize());
        for (const StatusReport& report : testCase.reports) {
            EXPECT_EQ(S_OK, callback->OnStatus(report.status, report.result, WMT_TYPE_DWORD,
                                               nullptr, nullptr));
        }
        EXPECT_EQ(testCase.expectedWait, callback->WaitForOpen(0));
        EXPECT_EQ(testCase.expectedWait == S_OK, callback->IsOpened());
        EXPECT_EQ(0u, callback->Release());
        EXPECT_EQ(1, destroyed);
    }
}

// The runtime reports from a thread of its own while the prober waits.
DWORD WINAPI ReportOpenLater(void* parameter) {
    auto* callback = static_cast<CWMReaderCallbackImpl*>(parameter);
    Sleep(50);
    callback->OnStatus(WMT_BUFFERING_START, S_OK, WMT_TYPE_DWORD, nullptr, nullptr);
    Sleep(50);
    callback->OnStatus(WMT_OPENED, S_OK, WMT_TYPE_DWORD, nullptr, nullptr);
    callback->Release();
    return 0;
}

TEST_F(WMReaderCallbackImplTest, AWaiterWakesForTheOpenedStatusOfAnotherThread) {
    callback_->AddRef();
    CScopedHandle reporter(CreateThread(nullptr, 0, ReportOpenLater, callback_, 0, nullptr));
    ASSERT_TRUE(reporter.IsValid());
    EXPECT_EQ(S_OK, callback_->WaitForOpen(60000));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reporter.Get(), 60000));
}

TEST_F(WMReaderCallbackImplTest, TheWaitEndsAtItsLimitWhenNothingIsReported) {
    DWORD started = GetTickCount();
    EXPECT_EQ(kTimedOut, callback_->WaitForOpen(200));
    EXPECT_GE(GetTickCount() - started, 150u);
    EXPECT_FALSE(callback_->IsOpened());
}

TEST(WMReaderCallbackImplLifetime, WaitingWithoutAnEventFails) {
    volatile LONG destroyed = 0;
    CWMReaderCallbackImpl* callback = new CCountedCallback(&destroyed);
    callback->AddRef();
    EXPECT_EQ(E_FAIL, callback->WaitForOpen(0));
    EXPECT_EQ(0u, callback->Release());
    EXPECT_EQ(1, destroyed);
}

struct ChurnArgs {
    CWMReaderCallbackImpl* callback;
    HANDLE start;
};

DWORD WINAPI ChurnReferences(void* parameter) {
    auto* args = static_cast<ChurnArgs*>(parameter);
    WaitForSingleObject(args->start, INFINITE);
    for (int i = 0; i < 1000000; ++i) {
        args->callback->AddRef();
        args->callback->Release();
    }
    return 0;
}

// The reader takes and drops references on its own threads while the prober holds its own:
// with a lost update the object would be deleted early or never.
TEST(WMReaderCallbackImplLifetime, ReferencesFromManyThreadsBalance) {
    volatile LONG destroyed = 0;
    CWMReaderCallbackImpl* callback = new CCountedCallback(&destroyed);
    callback->AddRef();
    CScopedHandle start(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ChurnArgs args{callback, start.Get()};
    std::vector<CScopedHandle> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back(CreateThread(nullptr, 0, ChurnReferences, &args, 0, nullptr));
        ASSERT_TRUE(threads.back().IsValid());
    }
    SetEvent(start.Get());
    for (CScopedHandle& thread : threads) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.Get(), 120000));
    }
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(2u, callback->AddRef());
    callback->Release();
    EXPECT_EQ(0u, callback->Release());
    EXPECT_EQ(1, destroyed);
}

}  // namespace
