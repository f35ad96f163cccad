#include "platform/dshow/EnumPins.h"

#include <new>

#include "platform/dshow/BaseFilter.h"
#include "platform/dshow/BasePin.h"

HRESULT CDsEnumPins::Create(CDsBaseFilter* filter, IEnumPins** result) {
    auto* enumerator = new (std::nothrow) CDsEnumPins();
    if (enumerator == nullptr) return E_OUTOFMEMORY;
    for (int i = 0; i < filter->GetPinCount(); ++i) {
        CDsBasePin* pin = filter->GetPin(i);
        if (pin == nullptr) continue;
        pin->AddRef();
        enumerator->pins_.push_back(pin);
    }
    *result = enumerator;
    return S_OK;
}

CDsEnumPins::~CDsEnumPins() {
    for (IPin* pin : pins_) pin->Release();
}

HRESULT STDMETHODCALLTYPE CDsEnumPins::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IEnumPins)) return E_NOINTERFACE;
    *object = static_cast<IEnumPins*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CDsEnumPins::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CDsEnumPins::Release() {
    const LONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE CDsEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (pins == nullptr) return E_POINTER;
    if (fetched == nullptr && count > 1) return E_INVALIDARG;
    ULONG given = 0;
    while (given < count && position_ < pins_.size()) {
        pins[given] = pins_[position_++];
        pins[given]->AddRef();
        ++given;
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CDsEnumPins::Skip(ULONG count) {
    if (count > pins_.size() - position_) {
        position_ = pins_.size();
        return S_FALSE;
    }
    position_ += count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsEnumPins::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsEnumPins::Clone(IEnumPins** result) {
    if (result == nullptr) return E_POINTER;
    auto* copy = new (std::nothrow) CDsEnumPins();
    if (copy == nullptr) return E_OUTOFMEMORY;
    for (IPin* pin : pins_) {
        pin->AddRef();
        copy->pins_.push_back(pin);
    }
    copy->position_ = position_;
    *result = copy;
    return S_OK;
}
