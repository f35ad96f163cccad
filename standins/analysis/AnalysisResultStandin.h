#pragma once
// The simulated engine's result: items 0 to 35 hold the STBF measures (or 255 when nothing was
// measured), item 89 the payload as a byte array.

#include <vector>

#include "platform/analysis/MusicAnalysisEngine.h"
#include "standins/wpd/ComObject.h"

class CAnalysisResultStandin final : public standin::CComObject, public IMusicAnalysisResult {
public:
    CAnalysisResultStandin(std::vector<uint8_t> measures, std::vector<uint8_t> payload)
        : measures_(std::move(measures)), payload_(std::move(payload)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE GetValue(LONG item, VARIANT* value) override;

private:
    std::vector<uint8_t> measures_;
    std::vector<uint8_t> payload_;
};

// A VT_ARRAY | VT_UI1 variant holding the bytes.
HRESULT MakeByteArrayVariant(const uint8_t* bytes, size_t length, VARIANT* value);
