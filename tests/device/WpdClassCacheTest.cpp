// The class cache of a task: each class is looked up once while a cache is open on the thread,
// every lookup while none is, and the kept class objects are let go when the cache closes.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include "library/device/WpdClassCache.h"
#include "library/util/ScopedCom.h"

namespace {

// A class of this test only, registered in the process for the test's duration.
const CLSID kCountedClass = {0x5e0c2a71, 0x43d9, 0x4b8e, {0x9a, 0x10, 0x6f, 0x2d, 0x71, 0xc4, 0x3b, 0x8e}};
const CLSID kUnregisteredClass = {0x5e0c2a72, 0x43d9, 0x4b8e, {0x9a, 0x10, 0x6f, 0x2d, 0x71, 0xc4, 0x3b, 0x8e}};

class CCountedObject final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = IsEqualIID(iid, IID_IUnknown) ? this : nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (!left) delete this;
        return left;
    }

private:
    ULONG references_ = 1;
};

// Counts how often COM asks it for its factory interface (one lookup each) and what it makes.
class CCountingFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IClassFactory)) ++lookups;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        CCountedObject* created = new CCountedObject();
        const HRESULT hr = created->QueryInterface(iid, object);
        created->Release();
        if (SUCCEEDED(hr)) ++instances;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    int lookups = 0;
    int instances = 0;
    ULONG references = 1;
};

class WpdClassCache : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_EQ(S_OK, CoRegisterClassObject(kCountedClass, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                              &cookie_));
        registeredReferences_ = factory_.references;
    }
    void TearDown() override {
        if (cookie_) CoRevokeClassObject(cookie_);
        CoUninitialize();
    }

    // Makes an object of the counted class; true when it came back.
    static bool Make() {
        CScopedComPtr<IUnknown> object;
        return SUCCEEDED(CWpdClassCache::Create(kCountedClass, IID_IUnknown, reinterpret_cast<void**>(object.Receive()))) &&
               object.Get();
    }

    CCountingFactory factory_;
    DWORD cookie_ = 0;
    ULONG registeredReferences_ = 0;
};

}  // namespace

TEST_F(WpdClassCache, WithoutACacheEveryObjectIsLookedUp) {
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Make());
    EXPECT_EQ(3, factory_.lookups);
    EXPECT_EQ(3, factory_.instances);
}

TEST_F(WpdClassCache, AnOpenCacheLooksEachClassUpOnceAndLetsItGoWhenClosed) {
    {
        CWpdClassCache cache;
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(Make());
        EXPECT_EQ(1, factory_.lookups);
        EXPECT_EQ(3, factory_.instances);
        EXPECT_GT(factory_.references, registeredReferences_) << "the cache keeps the class object";
    }
    EXPECT_EQ(registeredReferences_, factory_.references);
    EXPECT_TRUE(Make());
    EXPECT_EQ(2, factory_.lookups) << "a closed cache serves no more";
}

TEST_F(WpdClassCache, AnInnerCacheDefersToTheOuterOne) {
    CWpdClassCache outer;
    EXPECT_TRUE(Make());
    {
        CWpdClassCache inner;
        EXPECT_TRUE(Make());
    }
    EXPECT_TRUE(Make());
    EXPECT_EQ(1, factory_.lookups);
    EXPECT_EQ(3, factory_.instances);
}

TEST_F(WpdClassCache, AClassThatIsNotRegisteredFailsAsCoCreateInstanceDoes) {
    IUnknown* direct = reinterpret_cast<IUnknown*>(1);
    const HRESULT expected =
        CoCreateInstance(kUnregisteredClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&direct));
    ASSERT_TRUE(FAILED(expected));
    for (bool cached : {false, true}) {
        SCOPED_TRACE(cached ? "cache open" : "no cache");
        CWpdClassCache* cache = cached ? new CWpdClassCache() : nullptr;
        IUnknown* object = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(expected, CWpdClassCache::Create(kUnregisteredClass, IID_IUnknown, reinterpret_cast<void**>(&object)));
        EXPECT_EQ(nullptr, object);
        // The failure is not kept: the counted class is still served once the other failed.
        EXPECT_TRUE(Make());
        delete cache;
    }
}
