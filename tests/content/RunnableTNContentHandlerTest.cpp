#include <gtest/gtest.h>

#include <memory>

#include "tests/content/ContentTestSupport.h"

namespace {

DWORD WINAPI OpenGateLater(void* gate) {
    Sleep(100);
    SetEvent(static_cast<HANDLE>(gate));
    return 0;
}

class RunnableHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CCountedContent::ResetCounts();
        gate = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    }
    void TearDown() override {
        SetEvent(gate);
        CloseHandle(gate);
    }

    // The stage's work waits for the gate; inside tells that a content has entered.
    void HoldAtGate(CCallbackHandler& handler) {
        handler.work = [this](CTNContent*) {
            ++inside;
            WaitForSingleObject(gate, INFINITE);
        };
    }

    HANDLE gate = nullptr;
    std::atomic<int> inside{0};
};

TEST_F(RunnableHandlerTest, HundredContentsThroughThreeStagesArriveInOrderCountedAndDeletedOnce) {
    CCallbackHandler first, second, third;
    CCollectingHandler end;
    first.SetNext(&second);
    second.SetNext(&third);
    third.SetNext(&end);
    ASSERT_EQ(S_OK, third.Start());
    ASSERT_EQ(S_OK, second.Start());
    ASSERT_EQ(S_OK, first.Start());

    for (int i = 0; i < 100; ++i) first.PostContent(new CCountedContent(i % 4, i % 2, i));
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 100; }));

    std::vector<int> expected(100);
    for (int i = 0; i < 100; ++i) expected[i] = i;
    EXPECT_EQ(expected, end.Serials());
    for (CTNContentHandler* stage : {static_cast<CTNContentHandler*>(&first), static_cast<CTNContentHandler*>(&second),
                                     static_cast<CTNContentHandler*>(&third)}) {
        EXPECT_EQ(100u, stage->GetTotalCount());
        for (uint32_t kind = 0; kind < 4; ++kind) EXPECT_EQ(25u, stage->GetKindCount(kind));
        EXPECT_EQ(0u, stage->GetKindCount(4));
        EXPECT_EQ(50u, stage->GetStatusCount(0));
        EXPECT_EQ(50u, stage->GetStatusCount(1));
    }
    EXPECT_EQ(0, CCountedContent::live.load());
    EXPECT_EQ(100, CCountedContent::deleted.load());
}

TEST_F(RunnableHandlerTest, CancelDeletesQueuedAndInFlightContentsUncountedAndResetReopens) {
    CCallbackHandler stage;
    CCollectingHandler end;
    stage.SetNext(&end);
    HoldAtGate(stage);
    ResetEvent(gate);
    ASSERT_EQ(S_OK, stage.Start());
    for (int i = 0; i < 5; ++i) stage.PostContent(new CCountedContent(0, 0, i));
    ASSERT_TRUE(WaitUntil([&] { return inside.load() == 1; }));

    stage.Cancel();
    EXPECT_TRUE(stage.IsCancelled());
    EXPECT_EQ(1, CCountedContent::live.load());  // only the one in work
    stage.PostContent(new CCountedContent(0, 0, 99));  // deleted on arrival
    EXPECT_EQ(1, CCountedContent::live.load());
    SetEvent(gate);
    ASSERT_TRUE(WaitUntil([&] { return CCountedContent::live.load() == 0; }));
    EXPECT_EQ(0u, stage.GetTotalCount());
    EXPECT_EQ(0u, end.Count());

    stage.Reset();
    EXPECT_FALSE(stage.IsCancelled());
    stage.PostContent(new CCountedContent(2, 1, 7));
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 1; }));
    EXPECT_EQ(1u, stage.GetKindCount(2));
    EXPECT_EQ(1u, stage.GetStatusCount(1));
}

TEST_F(RunnableHandlerTest, StopDuringLongWorkWaitsForItAndLosesNothing) {
    CCallbackHandler stage;
    CCollectingHandler end;
    stage.SetNext(&end);
    HoldAtGate(stage);
    ResetEvent(gate);
    ASSERT_EQ(S_OK, stage.Start());
    for (int i = 0; i < 3; ++i) stage.PostContent(new CCountedContent(0, 0, i));
    ASSERT_TRUE(WaitUntil([&] { return inside.load() == 1; }));

    HANDLE opener = CreateThread(nullptr, 0, OpenGateLater, gate, 0, nullptr);
    DWORD started = GetTickCount();
    EXPECT_EQ(S_OK, stage.Stop());
    EXPECT_GE(GetTickCount() - started, 80u);
    WaitForSingleObject(opener, INFINITE);
    CloseHandle(opener);

    // Whatever the thread took on before the queue was emptied was passed on; the rest is deleted.
    EXPECT_EQ(static_cast<size_t>(inside.load()), end.Count());
    EXPECT_EQ(0, CCountedContent::live.load());
    EXPECT_FALSE(stage.IsRunning());
}

TEST_F(RunnableHandlerTest, EndOfChainCountsAndDeletes) {
    CTNContentHandler end;
    end.AddContent(new CCountedContent(3, 1, 0));
    end.AddContent(nullptr);
    EXPECT_EQ(1u, end.GetKindCount(3));
    EXPECT_EQ(1u, end.GetStatusCount(1));
    EXPECT_EQ(1u, end.GetTotalCount());
    EXPECT_EQ(0, CCountedContent::live.load());
    end.Reset();
    EXPECT_EQ(0u, end.GetTotalCount());
}

TEST_F(RunnableHandlerTest, NotAcceptingDeletesHandedContentsAtOnce) {
    CCallbackHandler stage;
    int processed = 0;
    stage.work = [&](CTNContent*) { ++processed; };
    // Never started: no accepting event.
    std::vector<CTNContent*> batch{new CCountedContent(0, 0, 1), new CCountedContent(0, 0, 2)};
    stage.AddContentVector(batch);
    CTNContent* array[] = {new CCountedContent(0, 0, 3)};
    stage.AddContents(array, 1);
    stage.PostContent(new CCountedContent(0, 0, 4));
    EXPECT_EQ(0, CCountedContent::live.load());
    EXPECT_EQ(0, processed);
}

TEST_F(RunnableHandlerTest, SecondContentWaitsUntilTheFirstIsForwarded) {
    CCallbackHandler stage;
    CCollectingHandler end;
    stage.SetNext(&end);
    std::vector<int> order;
    stage.work = [&](CTNContent* content) {
        order.push_back(static_cast<CCountedContent*>(content)->serial);
        Sleep(20);
    };
    ASSERT_EQ(S_OK, stage.Start());
    CTNContent* pair[] = {new CCountedContent(0, 0, 1), new CCountedContent(0, 0, 2)};
    stage.AddContents(pair, 2);
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 2; }));
    EXPECT_EQ((std::vector<int>{1, 2}), order);
    EXPECT_EQ((std::vector<int>{1, 2}), end.Serials());
}

// Every arrival and every finished content asks the worker for a pickup; while one is in work the
// spare requests must not pile up in the thread's queue (they cost memory on a long run).
TEST_F(RunnableHandlerTest, PickupRequestsDoNotPileUpWhileAContentIsInWork) {
    CCallbackHandler stage;
    CCollectingHandler end;
    stage.SetNext(&end);
    ResetEvent(gate);
    HoldAtGate(stage);
    ASSERT_EQ(S_OK, stage.Start());
    stage.PostContent(new CCountedContent(0, 0, 0));
    ASSERT_TRUE(WaitUntil([&] { return inside.load() == 1; }));
    for (int serial = 1; serial < 1000; ++serial) stage.PostContent(new CCountedContent(0, 0, serial));
    EXPECT_LE(stage.PendingMessageCount(), 1u);
    SetEvent(gate);
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 1000; }));
    std::vector<int> expected(1000);
    for (int i = 0; i < 1000; ++i) expected[i] = i;
    EXPECT_EQ(expected, end.Serials());
    EXPECT_LE(stage.PendingMessageCount(), 1u);
    stage.Stop();
}

// A watcher that polls without pause lands, now and then, between the worker taking a content
// from the queue and starting its work: idle must not be seen there.
TEST_F(RunnableHandlerTest, IdleIsSeenOnlyWhenEveryPostedContentIsForwarded) {
    CCallbackHandler stage;
    CCollectingHandler end;
    stage.SetNext(&end);
    stage.work = [](CTNContent*) {};
    ASSERT_EQ(S_OK, stage.Start());
    EXPECT_TRUE(stage.IsIdle());
    for (int serial = 1; serial <= 3000; ++serial) {
        stage.PostContent(new CCountedContent(0, 0, serial));
        const DWORD started = GetTickCount();
        while (!stage.IsIdle() && GetTickCount() - started < 20000) SwitchToThread();
        ASSERT_EQ(static_cast<size_t>(serial), end.Count()) << "idle seen before content " << serial
                                                            << " was forwarded";
    }
    stage.Stop();
}

}  // namespace

namespace {

// Posters racing the worker's wake-up bookkeeping across seven stages: a lost wake-up leaves
// contents queued for good.
TEST(RunnableHandlerBurst, TwentyThousandContentsThroughSevenStagesAllArrive) {
    CCountedContent::ResetCounts();
    CCallbackHandler stages[7];
    CCollectingHandler end;
    for (int i = 0; i < 7; ++i) stages[i].SetNext(i + 1 < 7 ? static_cast<ITNContentHandler*>(&stages[i + 1]) : &end);
    for (int i = 6; i >= 0; --i) ASSERT_EQ(S_OK, stages[i].Start());
    for (int i = 0; i < 20000; ++i) stages[0].PostContent(new CCountedContent(0, 0, i));
    ASSERT_TRUE(WaitUntil([&] { return end.Count() == 20000; }, 60000)) << end.Count();
    EXPECT_EQ(0, CCountedContent::live.load());
}

}  // namespace
