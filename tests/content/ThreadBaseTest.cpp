#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "library/content/ThreadBase.h"
#include "tests/content/ContentTestSupport.h"

namespace {

// Records the messages it receives; can hold its thread at start until released.
class CRecordingThread : public CThreadBase {
public:
    CRecordingThread() { startGate = CreateEventW(nullptr, TRUE, TRUE, nullptr); }
    ~CRecordingThread() override {
        Stop();
        CloseHandle(startGate);
    }

    std::vector<uint32_t> Received() {
        CScopedLock lock(lock_);
        return received_;
    }

    HANDLE startGate;
    std::atomic<int> starts{0};
    std::atomic<int> ends{0};

protected:
    void OnThreadStart() override {
        ++starts;
        WaitForSingleObject(startGate, INFINITE);
    }
    void OnThreadEnd() override { ++ends; }
    void OnMessage(CThreadMessage* message) override {
        CScopedLock lock(lock_);
        received_.push_back(message->id * 1000 + message->param);
    }

private:
    CCriticalSection lock_;
    std::vector<uint32_t> received_;
};

DWORD WINAPI ReleaseLater(void* gate) {
    Sleep(100);
    SetEvent(static_cast<HANDLE>(gate));
    return 0;
}

TEST(ThreadBase, MessagesPostedBeforeTheFirstWakeArriveInOrderOnce) {
    CRecordingThread thread;
    ResetEvent(thread.startGate);
    ASSERT_EQ(S_OK, thread.Start());
    ASSERT_EQ(S_OK, thread.PostMessage(1, 10));
    ASSERT_EQ(S_OK, thread.PostMessage(2, 20));
    ASSERT_EQ(S_OK, thread.PostMessage(3, 30));
    SetEvent(thread.startGate);

    ASSERT_TRUE(WaitUntil([&] { return thread.Received().size() >= 3; }));
    Sleep(50);
    EXPECT_EQ((std::vector<uint32_t>{1010, 2020, 3030}), thread.Received());
}

TEST(ThreadBase, StopWithMessagesQueuedDeliversNone) {
    CRecordingThread thread;
    ResetEvent(thread.startGate);
    ASSERT_EQ(S_OK, thread.Start());
    thread.PostMessage(1, 0);
    thread.PostMessage(2, 0);
    // The worker is held in its start hook; release it only once Stop has emptied the queue.
    HANDLE releaser = CreateThread(nullptr, 0, ReleaseLater, thread.startGate, 0, nullptr);
    EXPECT_EQ(S_OK, thread.Stop());
    WaitForSingleObject(releaser, INFINITE);
    CloseHandle(releaser);
    EXPECT_TRUE(thread.Received().empty());
    EXPECT_EQ(1, thread.ends.load());
    EXPECT_FALSE(thread.IsRunning());
}

TEST(ThreadBase, SecondStartStartsNoSecondThreadAndStopAllowsRestart) {
    CRecordingThread thread;
    ASSERT_EQ(S_OK, thread.Start());
    ASSERT_EQ(S_OK, thread.Start());
    ASSERT_TRUE(WaitUntil([&] { return thread.starts.load() >= 1; }));
    Sleep(50);
    EXPECT_EQ(1, thread.starts.load());

    thread.Stop();
    EXPECT_EQ(1, thread.ends.load());
    ASSERT_EQ(S_OK, thread.Start());
    thread.PostMessage(7, 1);
    EXPECT_TRUE(WaitUntil([&] { return thread.Received().size() == 1; }));
    EXPECT_EQ(2, thread.starts.load());
}

TEST(ThreadBase, MessagePostedBeforeStartWaitsForALaterPost) {
    CRecordingThread thread;
    thread.PostMessage(1, 0);
    ASSERT_EQ(S_OK, thread.Start());
    Sleep(50);
    EXPECT_TRUE(thread.Received().empty());
    thread.PostMessage(2, 0);
    ASSERT_TRUE(WaitUntil([&] { return thread.Received().size() == 2; }));
    EXPECT_EQ((std::vector<uint32_t>{1000, 2000}), thread.Received());
}

TEST(ThreadSafeQueue, PopAndClearFollowOwnership) {
    CCountedContent::ResetCounts();
    {
        CThreadSafeQueue<CCountedContent> queue;
        CCountedContent* out = reinterpret_cast<CCountedContent*>(1);
        EXPECT_EQ(E_FAIL, queue.Pop(&out));
        EXPECT_EQ(nullptr, out);

        ASSERT_EQ(S_OK, queue.Push(new CCountedContent(0, 0, 1)));
        ASSERT_EQ(S_OK, queue.Push(new CCountedContent(0, 0, 2)));
        EXPECT_EQ(E_INVALIDARG, queue.Pop(nullptr));
        EXPECT_EQ(2u, queue.Count());

        ASSERT_EQ(S_OK, queue.Pop(&out));
        EXPECT_EQ(1, out->serial);
        delete out;

        queue.Clear();
        EXPECT_EQ(0u, queue.Count());
        EXPECT_EQ(0, CCountedContent::live.load());

        queue.Push(new CCountedContent(0, 0, 3));
    }
    // Destroying the queue deletes what it still holds.
    EXPECT_EQ(0, CCountedContent::live.load());
    EXPECT_EQ(3, CCountedContent::deleted.load());
}

}  // namespace
