#include "platform/com/CClassFactory.h"

#include "library/util/ScopedCom.h"
#include "platform/com/CServerObject.h"
#include "platform/com/InterfaceTable.h"

#include <gtest/gtest.h>

#include <new>

namespace {

const CLSID kClassA = {0x1b2c3d4e, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}};
const CLSID kClassB = {0x1b2c3d4e, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 2}};

CApplicationLock& TestLock() {
    static CApplicationLock lock;
    return lock;
}

// A plain object that holds the test lock while it lives.
class CPlainObject final : public CServerObject, public IPersist {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** result) {
        if (outer) return CLASS_E_NOAGGREGATION;
        CPlainObject* created = new (std::nothrow) CPlainObject;
        if (!created) return E_OUTOFMEMORY;
        HRESULT hr = created->QueryInterface(iid, result);
        created->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        static const InterfaceEntry<CPlainObject> kInterfaces[] = {
            {&IID_IPersist, [](CPlainObject* self) -> IUnknown* { return static_cast<IPersist*>(self); }},
        };
        return QueryInterfaceFromTable(this, kInterfaces, iid, result);
    }
    QB_SERVER_OBJECT_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
        *clsid = kClassA;
        return S_OK;
    }

private:
    CPlainObject() : CServerObject(TestLock()) {}
};

IUnknown* g_lastOuter = nullptr;

// Records the outer object it was given, as an aggregatable class would use it.
HRESULT CreateRecordingOuter(IUnknown* outer, REFIID iid, void** result) {
    g_lastOuter = outer;
    return CPlainObject::Create(nullptr, iid, result);
}

const ClassEntry kClasses[] = {
    {&kClassA, &CPlainObject::Create},
    {&kClassB, &CreateRecordingOuter},
};

class ClassFactoryTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, TestLock().Count()); }
    void TearDown() override { EXPECT_EQ(0, TestLock().Count()); }

    CScopedComPtr<IClassFactory> Factory(const CLSID& clsid) {
        CScopedComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, CClassFactory::GetClassObject(kClasses, 2, clsid, IID_IClassFactory,
                                                      reinterpret_cast<void**>(factory.Receive()), TestLock()));
        return factory;
    }
};

}  // namespace

TEST_F(ClassFactoryTest, GetClassObjectAnswersOnlyItsClassesAndInterfaces) {
    void* result = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              CClassFactory::GetClassObject(kClasses, 2, IID_IPersist, IID_IClassFactory, &result, TestLock()));
    EXPECT_EQ(nullptr, result);
    result = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE,
              CClassFactory::GetClassObject(kClasses, 2, kClassA, IID_IPersist, &result, TestLock()));
    EXPECT_EQ(nullptr, result);
    EXPECT_EQ(E_POINTER, CClassFactory::GetClassObject(kClasses, 2, kClassA, IID_IClassFactory, nullptr, TestLock()));
    EXPECT_EQ(0, TestLock().Count());

    CScopedComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, CClassFactory::GetClassObject(kClasses, 2, kClassA, IID_IUnknown,
                                                  reinterpret_cast<void**>(unknown.Receive()), TestLock()));
    // An in-process factory keeps its module loaded while a client holds it.
    EXPECT_EQ(1, TestLock().Count());
    unknown.Reset();
}

TEST_F(ClassFactoryTest, ReferenceCountsAreExact) {
    CScopedComPtr<IClassFactory> factory = Factory(kClassA);
    ASSERT_TRUE(factory);
    EXPECT_EQ(2u, factory->AddRef());
    EXPECT_EQ(1u, factory->Release());
    CScopedComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.Receive())));
    EXPECT_EQ(static_cast<IUnknown*>(factory.Get()), unknown.Get());
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(IID_IPersist, &other));
    EXPECT_EQ(nullptr, other);
}

TEST_F(ClassFactoryTest, EveryObjectAndEveryLockServerHoldsTheLock) {
    CScopedComPtr<IClassFactory> factory = Factory(kClassA);
    ASSERT_EQ(1, TestLock().Count());
    CScopedComPtr<IPersist> first, second;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPersist, reinterpret_cast<void**>(first.Receive())));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPersist, reinterpret_cast<void**>(second.Receive())));
    EXPECT_NE(first.Get(), second.Get());
    EXPECT_EQ(3, TestLock().Count());
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(4, TestLock().Count());
    first.Reset();
    second.Reset();
    EXPECT_EQ(2, TestLock().Count());
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(1, TestLock().Count());
}

TEST_F(ClassFactoryTest, CreateInstanceChecksItsArguments) {
    CScopedComPtr<IClassFactory> factory = Factory(kClassA);
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IPersist, nullptr));
    void* result = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &result));
    EXPECT_EQ(nullptr, result);

    CScopedComPtr<IUnknown> outer;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(outer.Receive())));
    // Aggregation asks for IUnknown alone; any other interface is refused before the class sees it.
    result = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), IID_IPersist, &result));
    EXPECT_EQ(nullptr, result);
    // A class that does not aggregate refuses an outer object itself.
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), IID_IUnknown, &result));

    CScopedComPtr<IClassFactory> recording = Factory(kClassB);
    CScopedComPtr<IUnknown> inner;
    g_lastOuter = nullptr;
    ASSERT_EQ(S_OK, recording->CreateInstance(outer.Get(), IID_IUnknown, reinterpret_cast<void**>(inner.Receive())));
    EXPECT_EQ(outer.Get(), g_lastOuter);
}

TEST_F(ClassFactoryTest, ALocalServerClassObjectDoesNotKeepTheServer) {
    CScopedComPtr<CClassFactory> factory(new CClassFactory(&CPlainObject::Create, TestLock(), false));
    EXPECT_EQ(0, TestLock().Count());
    CScopedComPtr<IPersist> object;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPersist, reinterpret_cast<void**>(object.Receive())));
    EXPECT_EQ(1, TestLock().Count());
    int released = 0;
    TestLock().SetReleaseAction([&released] { ++released; });
    object.Reset();
    EXPECT_EQ(1, released);
    TestLock().SetReleaseAction(nullptr);
}
