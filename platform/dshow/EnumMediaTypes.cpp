#include "platform/dshow/EnumMediaTypes.h"

#include <new>

#include "platform/dshow/BasePin.h"

namespace {
// Pins propose a handful of types; the bound guards against a GetMediaType that never ends.
const int kMaxProposedTypes = 256;
}  // namespace

HRESULT CDsEnumMediaTypes::Create(CDsBasePin* pin, IEnumMediaTypes** result) {
    auto* enumerator = new (std::nothrow) CDsEnumMediaTypes();
    if (enumerator == nullptr) return E_OUTOFMEMORY;
    for (int position = 0; position < kMaxProposedTypes; ++position) {
        CMediaType type;
        if (pin->GetMediaType(position, &type) != S_OK) break;
        enumerator->types_.push_back(type);
    }
    *result = enumerator;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsEnumMediaTypes::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IEnumMediaTypes)) return E_NOINTERFACE;
    *object = static_cast<IEnumMediaTypes*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CDsEnumMediaTypes::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CDsEnumMediaTypes::Release() {
    const LONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE CDsEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
    if (types == nullptr) return E_POINTER;
    if (fetched == nullptr && count > 1) return E_INVALIDARG;
    ULONG given = 0;
    while (given < count && position_ < types_.size()) {
        AM_MEDIA_TYPE* copy = CreateMediaTypeCopy(types_[position_]);
        if (copy == nullptr) break;
        types[given++] = copy;
        ++position_;
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CDsEnumMediaTypes::Skip(ULONG count) {
    if (count > types_.size() - position_) {
        position_ = types_.size();
        return S_FALSE;
    }
    position_ += count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsEnumMediaTypes::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsEnumMediaTypes::Clone(IEnumMediaTypes** result) {
    if (result == nullptr) return E_POINTER;
    auto* copy = new (std::nothrow) CDsEnumMediaTypes();
    if (copy == nullptr) return E_OUTOFMEMORY;
    copy->types_ = types_;
    copy->position_ = position_;
    *result = copy;
    return S_OK;
}
