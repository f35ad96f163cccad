#include "library/analysis/AnalysisMerge.h"

#include <vector>

#include "library/analysis/AnalysisEngine.h"
#include "library/analysis/MoodRecordStrip.h"
#include "library/util/ScopedCom.h"

HRESULT CleanAnalysisPayload(const CTNByteArray* payload, CTNByteArray** clean) {
    if (!payload || !clean || !payload->data || payload->length == 0) return E_INVALIDARG;
    *clean = nullptr;
    std::vector<uint8_t> kept(payload->length);
    uint32_t written = 0;
    const int32_t total = StripMoodRecords(payload->length, payload->length, payload->data, kept.data(), &written);
    const bool useStripped = total > 0 && static_cast<uint32_t>(total) == written;
    const uint8_t* bytes = useStripped ? kept.data() : payload->data;
    const uint32_t length = useStripped ? written : payload->length;
    CTNByteArray* copy = CTNByteArray::Create(length);
    if (!copy) return E_OUTOFMEMORY;
    const HRESULT hr = copy->SetData(bytes, length);
    if (FAILED(hr)) {
        delete copy;
        return hr;
    }
    *clean = copy;
    return S_OK;
}

HRESULT MergeAnalysisData(const CTNByteArray* recordBlob, const CTNByteArray* result, CTNByteArray** merged) {
    if (!recordBlob || !result || !merged) return E_INVALIDARG;
    *merged = nullptr;
    CScopedComPtr<IMusicAnalysisEngine> engine;
    HRESULT hr = CreateAnalysisEngine(engine.Receive());
    if (FAILED(hr)) return hr;
    VARIANT joined;
    VariantInit(&joined);
    hr = engine->MergeData(recordBlob->data, static_cast<LONG>(recordBlob->length), result->data,
                           static_cast<LONG>(result->length), &joined);
    CTNByteArray* raw = nullptr;
    if (SUCCEEDED(hr)) hr = ByteArrayFromVariant(joined, &raw);
    VariantClear(&joined);
    if (FAILED(hr)) return hr;
    hr = CleanAnalysisPayload(raw, merged);
    delete raw;
    return hr;
}
