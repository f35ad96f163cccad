#include "standins/wpd/CStandinObjectEnum.h"

#include <new>

namespace standin {

HRESULT CStandinObjectEnum::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumPortableDeviceObjectIDs)) {
        *result = static_cast<IEnumPortableDeviceObjectIDs*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandinObjectEnum::Next(ULONG count, LPWSTR* ids, ULONG* fetched) {
    if (!ids || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    while (given < count && position_ < ids_.size()) {
        ids[given] = TaskString(ids_[position_].c_str());
        if (!ids[given]) {
            for (ULONG i = 0; i < given; ++i) CoTaskMemFree(ids[i]);
            if (fetched) *fetched = 0;
            return E_OUTOFMEMORY;
        }
        ++given;
        ++position_;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT CStandinObjectEnum::Skip(ULONG count) {
    size_t left = ids_.size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
}

HRESULT CStandinObjectEnum::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT CStandinObjectEnum::Clone(IEnumPortableDeviceObjectIDs** clone) {
    if (!clone) return E_POINTER;
    CStandinObjectEnum* copy = new (std::nothrow) CStandinObjectEnum(ids_);
    if (!copy) return E_OUTOFMEMORY;
    copy->position_ = position_;
    *clone = copy;
    return S_OK;
}

HRESULT CStandinObjectEnum::Cancel() { return S_OK; }

}  // namespace standin
