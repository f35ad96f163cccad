#include "platform/com/CConnectionPointContainer.h"

#include "platform/com/CListenerSlot.h"
#include "platform/com/CServerObject.h"
#include "platform/com/InterfaceTable.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <atomic>
#include <vector>

namespace {

const IID kEventsIid = {0x5e1f0a20, 0x7c3b, 0x4d2a, {0x91, 0x0e, 0x6b, 0x2d, 0x4f, 0x11, 0x22, 0x33}};
const IID kOtherIid = {0x5e1f0a20, 0x7c3b, 0x4d2a, {0x91, 0x0e, 0x6b, 0x2d, 0x4f, 0x11, 0x22, 0x34}};

CApplicationLock& TestLock() {
    static CApplicationLock lock;
    return lock;
}

class CConnectable final : public CServerObject, public CConnectionPointContainer {
public:
    CConnectable() : CServerObject(TestLock()) {
        events = AddConnectionPoint(kEventsIid);
        AddConnectionPoint(kOtherIid);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        static const InterfaceEntry<CConnectable> kInterfaces[] = {
            {&IID_IConnectionPointContainer,
             [](CConnectable* self) -> IUnknown* { return static_cast<IConnectionPointContainer*>(self); }},
        };
        return QueryInterfaceFromTable(this, kInterfaces, iid, result);
    }
    QB_SERVER_OBJECT_REFCOUNT

    CConnectionPoint* events = nullptr;
};

// A sink of the events interface (a dispinterface): records each call's argument and thread.
class CRecordingSink final : public IDispatch {
public:
    std::atomic<LONG> references{1};
    std::vector<LONG> received;
    std::vector<DWORD> threads;
    bool answersEvents = true;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        *result = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            (answersEvents && IsEqualIID(iid, kEventsIid))) {
            *result = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (flags != DISPATCH_METHOD || parameters->cArgs != 1 || parameters->rgvarg[0].vt != VT_I4) {
            return DISP_E_BADPARAMCOUNT;
        }
        received.push_back(parameters->rgvarg[0].lVal);
        threads.push_back(GetCurrentThreadId());
        return S_OK;
    }
};

struct FireRun {
    CConnectionPoint* point;
    CListenerSlot* listener;
    LONG events;
    int delivered = 0;
};

DWORD WINAPI FireFromWorker(void* context) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
    FireRun* run = static_cast<FireRun*>(context);
    for (LONG index = 0; index < run->events; ++index) {
        VARIANT argument;
        argument.vt = VT_I4;
        argument.lVal = index;
        if (run->point) run->delivered += run->point->FireDispatch(1, &argument, 1);
        if (run->listener && SUCCEEDED(run->listener->Call(&argument, 1))) ++run->delivered;
    }
    CoUninitialize();
    return 0;
}

// Runs the worker while this single-threaded apartment pumps the calls it makes to our sinks.
int FireFromWorkerThread(CConnectionPoint* point, CListenerSlot* listener, LONG events) {
    FireRun run{point, listener, events};
    HANDLE thread = CreateThread(nullptr, 0, &FireFromWorker, &run, 0, nullptr);
    EXPECT_NE(nullptr, thread);
    if (!thread) return -1;
    DWORD index = 0;
    EXPECT_EQ(S_OK, CoWaitForMultipleHandles(0, 30000, 1, &thread, &index));
    CloseHandle(thread);
    return run.delivered;
}

class ConnectionPointTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override {
        CoUninitialize();
        EXPECT_EQ(0, TestLock().Count());
    }
};

}  // namespace

TEST_F(ConnectionPointTest, FindsItsPointsAndRefusesOthers) {
    CScopedComPtr<CConnectable> object(new CConnectable);
    CScopedComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, object->FindConnectionPoint(kEventsIid, point.Receive()));
    IID iid;
    EXPECT_EQ(S_OK, point->GetConnectionInterface(&iid));
    EXPECT_TRUE(IsEqualIID(kEventsIid, iid));
    CScopedComPtr<IConnectionPointContainer> container;
    EXPECT_EQ(S_OK, point->GetConnectionPointContainer(container.Receive()));
    EXPECT_EQ(static_cast<IConnectionPointContainer*>(object.Get()), container.Get());

    IConnectionPoint* none = reinterpret_cast<IConnectionPoint*>(1);
    EXPECT_EQ(CONNECT_E_NOCONNECTION, object->FindConnectionPoint(IID_IDispatch, &none));
    EXPECT_EQ(nullptr, none);
}

TEST_F(ConnectionPointTest, EnumeratorsFollowTheEnumerationRules) {
    CScopedComPtr<CConnectable> object(new CConnectable);
    CScopedComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(S_OK, object->EnumConnectionPoints(points.Receive()));
    IConnectionPoint* fetched[3] = {};
    ULONG count = 0;
    EXPECT_EQ(S_FALSE, points->Next(3, fetched, &count));
    ASSERT_EQ(2u, count);
    for (ULONG index = 0; index < count; ++index) fetched[index]->Release();
    EXPECT_EQ(S_FALSE, points->Next(1, fetched, nullptr));
    EXPECT_EQ(E_INVALIDARG, points->Next(2, fetched, nullptr));
    EXPECT_EQ(S_OK, points->Reset());
    EXPECT_EQ(S_OK, points->Skip(1));
    CScopedComPtr<IEnumConnectionPoints> clone;
    ASSERT_EQ(S_OK, points->Clone(clone.Receive()));
    EXPECT_EQ(S_FALSE, points->Skip(2));
    // The clone starts where the original stood: one point left.
    ASSERT_EQ(S_OK, clone->Next(1, fetched, nullptr));
    IID iid;
    fetched[0]->GetConnectionInterface(&iid);
    fetched[0]->Release();
    EXPECT_TRUE(IsEqualIID(kOtherIid, iid));

    CRecordingSink first, second;
    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(S_OK, object->events->Advise(&first, &firstCookie));
    ASSERT_EQ(S_OK, object->events->Advise(&second, &secondCookie));
    EXPECT_NE(firstCookie, secondCookie);
    CScopedComPtr<IEnumConnections> connections;
    ASSERT_EQ(S_OK, object->events->EnumConnections(connections.Receive()));
    CONNECTDATA data[2] = {};
    ASSERT_EQ(S_OK, connections->Next(2, data, &count));
    EXPECT_EQ(firstCookie, data[0].dwCookie);
    EXPECT_EQ(secondCookie, data[1].dwCookie);
    EXPECT_EQ(static_cast<IUnknown*>(&first), data[0].pUnk);
    for (CONNECTDATA& item : data) item.pUnk->Release();
    connections.Reset();

    EXPECT_EQ(S_OK, object->events->Unadvise(firstCookie));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, object->events->Unadvise(firstCookie));
    EXPECT_EQ(S_OK, object->events->Unadvise(secondCookie));
    EXPECT_EQ(1, first.references);
    EXPECT_EQ(1, second.references);
}

TEST_F(ConnectionPointTest, AdviseNeedsASinkOfTheOutgoingInterface) {
    CScopedComPtr<CConnectable> object(new CConnectable);
    CRecordingSink sink;
    sink.answersEvents = false;
    DWORD cookie = 1;
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, object->events->Advise(&sink, &cookie));
    EXPECT_EQ(0u, cookie);
    EXPECT_EQ(E_POINTER, object->events->Advise(nullptr, &cookie));
    EXPECT_EQ(E_POINTER, object->events->Advise(&sink, nullptr));
    EXPECT_EQ(1, sink.references);
}

TEST_F(ConnectionPointTest, AWorkerThreadReachesEverySinkInItsOwnApartmentOncePerEvent) {
    CScopedComPtr<CConnectable> object(new CConnectable);
    CRecordingSink first, second, listener;
    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(S_OK, object->events->Advise(&first, &firstCookie));
    ASSERT_EQ(S_OK, object->events->Advise(&second, &secondCookie));
    CListenerSlot slot;
    ASSERT_EQ(S_OK, slot.Put(&listener));

    const LONG kEvents = 50;
    EXPECT_EQ(3 * kEvents, FireFromWorkerThread(object->events, &slot, kEvents));
    for (CRecordingSink* sink : {&first, &second, &listener}) {
        ASSERT_EQ(static_cast<size_t>(kEvents), sink->received.size());
        for (LONG index = 0; index < kEvents; ++index) {
            EXPECT_EQ(index, sink->received[index]);
            // The calls were marshalled into this apartment, not made on the worker.
            EXPECT_EQ(GetCurrentThreadId(), sink->threads[index]);
        }
    }

    // An empty slot and a removed sink are skipped.
    ASSERT_EQ(S_OK, slot.Put(nullptr));
    ASSERT_EQ(S_OK, object->events->Unadvise(firstCookie));
    EXPECT_EQ(kEvents, FireFromWorkerThread(object->events, &slot, kEvents));
    EXPECT_EQ(static_cast<size_t>(kEvents), first.received.size());
    EXPECT_EQ(static_cast<size_t>(2 * kEvents), second.received.size());
    EXPECT_EQ(E_POINTER, slot.Call(nullptr, 0));
    ASSERT_EQ(S_OK, object->events->Unadvise(secondCookie));
    EXPECT_EQ(1, first.references);
    EXPECT_EQ(1, listener.references);
}
