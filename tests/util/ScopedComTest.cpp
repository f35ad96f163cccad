#include "library/util/ScopedCom.h"

#include <gtest/gtest.h>

namespace {

// An object that only counts its references, so a test sees exactly when an owner lets go.
class CCountedObject final : public IDispatch {
public:
    LONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** result) override {
        *result = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
};

SAFEARRAY* ArrayHolding(CCountedObject* first, CCountedObject* second) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, 2);
    LONG index = 0;
    SafeArrayPutElement(array, &index, static_cast<IDispatch*>(first));  // takes its own reference
    index = 1;
    SafeArrayPutElement(array, &index, static_cast<IDispatch*>(second));
    return array;
}

}  // namespace

TEST(ScopedVariant, HoldsWhatItWasMadeFrom) {
    CScopedVariant empty;
    EXPECT_EQ(VT_EMPTY, empty.Type());

    CScopedVariant number(LONG{-7});
    EXPECT_EQ(VT_I4, number.Type());
    EXPECT_EQ(-7, number.Get().lVal);

    CScopedVariant text(L"a|b");
    ASSERT_EQ(VT_BSTR, text.Type());
    EXPECT_STREQ(L"a|b", text.Get().bstrVal);
    EXPECT_EQ(3u, SysStringLen(text.Get().bstrVal));

    CScopedVariant nullText(static_cast<const wchar_t*>(nullptr));
    ASSERT_EQ(VT_BSTR, nullText.Type());
    EXPECT_EQ(0u, SysStringLen(nullText.Get().bstrVal));
}

TEST(ScopedVariant, ReleasesItsObjectOnceWhenClearedReceivedOrDestroyed) {
    CCountedObject object;
    {
        CScopedVariant held(static_cast<IDispatch*>(&object));
        EXPECT_EQ(2, object.references);
        held.Reset();
        EXPECT_EQ(1, object.references);
        EXPECT_EQ(VT_EMPTY, held.Type());
        held.Reset();  // a second clear must not release again
        EXPECT_EQ(1, object.references);
    }
    {
        CScopedVariant held(static_cast<IDispatch*>(&object));
        VARIANT* out = held.Receive();
        EXPECT_EQ(1, object.references);
        EXPECT_EQ(VT_EMPTY, out->vt);
    }
    {
        CScopedVariant held(static_cast<IDispatch*>(&object));
    }
    EXPECT_EQ(1, object.references);
}

TEST(ScopedVariant, MoveAndDetachHandOverWithoutReleasing) {
    CCountedObject object;
    CScopedVariant first(static_cast<IDispatch*>(&object));
    CScopedVariant second(std::move(first));
    EXPECT_EQ(VT_EMPTY, first.Type());
    EXPECT_EQ(2, object.references);

    CScopedVariant third;
    third = std::move(second);
    EXPECT_EQ(2, object.references);

    VARIANT taken;
    third.Detach(&taken);
    EXPECT_EQ(VT_EMPTY, third.Type());
    EXPECT_EQ(2, object.references);
    VariantClear(&taken);
    EXPECT_EQ(1, object.references);
}

TEST(ScopedSafeArray, DestroysTheArrayAndReleasesItsElements) {
    CCountedObject first, second;
    {
        CScopedSafeArray array(ArrayHolding(&first, &second));
        EXPECT_EQ(2u, array.Count());
        EXPECT_EQ(2, first.references);
    }
    EXPECT_EQ(1, first.references);
    EXPECT_EQ(1, second.references);

    CScopedSafeArray array(ArrayHolding(&first, &second));
    SAFEARRAY** out = array.Receive();
    EXPECT_EQ(nullptr, *out);
    EXPECT_EQ(1, first.references);
    EXPECT_EQ(0u, array.Count());
}

TEST(ScopedSafeArray, DetachAndMoveKeepTheArrayAlive) {
    CCountedObject first, second;
    CScopedSafeArray array(ArrayHolding(&first, &second));
    CScopedSafeArray moved(std::move(array));
    EXPECT_FALSE(array);
    EXPECT_EQ(2u, moved.Count());
    SAFEARRAY* raw = moved.Detach();
    EXPECT_FALSE(moved);
    EXPECT_EQ(2, first.references);
    EXPECT_EQ(S_OK, SafeArrayDestroy(raw));
    EXPECT_EQ(1, first.references);
}

TEST(ScopedSafeArray, CountsOnlyOneDimensionalArrays) {
    SAFEARRAYBOUND bounds[2] = {{3, 0}, {4, 0}};
    CScopedSafeArray square(SafeArrayCreate(VT_I4, 2, bounds));
    ASSERT_TRUE(square);
    EXPECT_EQ(0u, square.Count());
    CScopedSafeArray none;
    EXPECT_EQ(0u, none.Count());
}

TEST(SafeArrayData, LocksTheArrayWhileItLives) {
    CScopedSafeArray array(SafeArrayCreateVector(VT_I4, 0, 3));
    ASSERT_TRUE(array);
    {
        CSafeArrayData data(array.Get());
        ASSERT_NE(nullptr, data.Data());
        static_cast<LONG*>(data.Data())[2] = 42;
        EXPECT_EQ(DISP_E_ARRAYISLOCKED, SafeArrayDestroy(array.Get()));
    }
    LONG index = 2, value = 0;
    ASSERT_EQ(S_OK, SafeArrayGetElement(array.Get(), &index, &value));
    EXPECT_EQ(42, value);
    CSafeArrayData none(nullptr);
    EXPECT_EQ(nullptr, none.Data());
}
