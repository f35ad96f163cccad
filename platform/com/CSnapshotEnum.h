#pragma once
// The enumerators of connection points and of connections: a copy of the items taken when the
// enumerator was made, so a client walks a stable list while connections come and go.

#include "platform/com/CServerObject.h"
#include "platform/com/InterfaceTable.h"

#include <ocidl.h>

#include <new>
#include <vector>

inline void AddRefItem(CONNECTDATA& item) {
    if (item.pUnk) item.pUnk->AddRef();
}
inline void ReleaseItem(CONNECTDATA& item) {
    if (item.pUnk) item.pUnk->Release();
}
inline void AddRefItem(IConnectionPoint*& item) { item->AddRef(); }
inline void ReleaseItem(IConnectionPoint*& item) { item->Release(); }

template <class EnumInterface, class Item, const IID* EnumIid>
class CSnapshotEnum final : public CServerObject, public EnumInterface {
public:
    // Takes over the references the items hold.
    static HRESULT Create(std::vector<Item> items, size_t position, EnumInterface** result) {
        *result = nullptr;
        CSnapshotEnum* created = new (std::nothrow) CSnapshotEnum(std::move(items), position);
        if (!created) return E_OUTOFMEMORY;
        *result = created;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        static const InterfaceEntry<CSnapshotEnum> kInterfaces[] = {
            {EnumIid, [](CSnapshotEnum* self) -> IUnknown* { return static_cast<EnumInterface*>(self); }},
        };
        return QueryInterfaceFromTable(this, kInterfaces, iid, result);
    }
    QB_SERVER_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!items) return E_POINTER;
        if (!fetched && count != 1) return E_INVALIDARG;
        ULONG taken = 0;
        while (taken < count && position_ < items_.size()) {
            items[taken] = items_[position_++];
            AddRefItem(items[taken]);
            ++taken;
        }
        if (fetched) *fetched = taken;
        return taken == count ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        size_t left = items_.size() - position_;
        if (count > left) {
            position_ = items_.size();
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clone(EnumInterface** result) override {
        if (!result) return E_POINTER;
        std::vector<Item> copy = items_;
        for (Item& item : copy) AddRefItem(item);
        HRESULT hr = Create(copy, position_, result);
        if (FAILED(hr)) {
            for (Item& item : copy) ReleaseItem(item);
        }
        return hr;
    }

private:
    CSnapshotEnum(std::vector<Item> items, size_t position) : items_(std::move(items)), position_(position) {}
    ~CSnapshotEnum() override {
        for (Item& item : items_) ReleaseItem(item);
    }

    std::vector<Item> items_;
    size_t position_;
};

using CEnumConnections = CSnapshotEnum<IEnumConnections, CONNECTDATA, &IID_IEnumConnections>;
using CEnumConnectionPoints = CSnapshotEnum<IEnumConnectionPoints, IConnectionPoint*, &IID_IEnumConnectionPoints>;
