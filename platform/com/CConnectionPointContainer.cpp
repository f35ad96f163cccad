#include "platform/com/CConnectionPointContainer.h"

#include "platform/com/CSnapshotEnum.h"

#include <olectl.h>

#include <new>

CConnectionPoint* CConnectionPointContainer::AddConnectionPoint(REFIID iid) {
    auto point = std::unique_ptr<CConnectionPoint>(new (std::nothrow) CConnectionPoint(this, iid));
    if (!point) return nullptr;
    points_.push_back(std::move(point));
    return points_.back().get();
}

CConnectionPoint* CConnectionPointContainer::PointOf(REFIID iid) const {
    for (const auto& point : points_) {
        if (IsEqualIID(point->Iid(), iid)) return point.get();
    }
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CConnectionPointContainer::EnumConnectionPoints(IEnumConnectionPoints** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    std::vector<IConnectionPoint*> items;
    for (const auto& point : points_) {
        point->AddRef();
        items.push_back(point.get());
    }
    HRESULT hr = CEnumConnectionPoints::Create(items, 0, result);
    if (FAILED(hr)) {
        for (IConnectionPoint*& item : items) ReleaseItem(item);
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CConnectionPointContainer::FindConnectionPoint(REFIID iid, IConnectionPoint** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    CConnectionPoint* point = PointOf(iid);
    if (!point) return CONNECT_E_NOCONNECTION;
    point->AddRef();
    *result = point;
    return S_OK;
}
