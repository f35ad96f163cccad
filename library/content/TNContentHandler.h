#pragma once

#include <cstdint>

#include "library/content/ITNContentHandler.h"
#include "library/util/ScopedWin.h"

// The synchronous stage: counts each content by kind and status, then passes it straight to the
// next handler, or deletes it at the end of the chain.
class CTNContentHandler : public ITNContentHandler {
public:
    static constexpr uint32_t kKindCount = 14;
    static constexpr uint32_t kStatusCount = 2;

    CTNContentHandler() = default;

    HRESULT Start() override { return S_OK; }
    HRESULT Stop() override;
    void SetNext(ITNContentHandler* next) override;
    void PostContent(CTNContent* content) override;
    void AddContentVector(const std::vector<CTNContent*>& contents) override;
    void AddContents(CTNContent** contents, unsigned count) override;
    // Zeroes the counters.
    void Reset() override;
    void AddContent(CTNContent* content) override;
    ~CTNContentHandler() override = default;

    uint32_t GetTotalCount();
    void ResetTotalCount();
    // 0 for a kind or status out of range.
    uint32_t GetKindCount(uint32_t kind);
    uint32_t GetStatusCount(uint32_t status);

protected:
    void AddOneToTotal();
    // Takes one content out of the total again (it stays counted by kind and status).
    void UncountFromTotal();

private:
    ITNContentHandler* next_ = nullptr;
    uint32_t kindCounts_[kKindCount] = {};
    uint32_t statusCounts_[kStatusCount] = {};
    uint32_t total_ = 0;
    CCriticalSection nextLock_;
    CCriticalSection counterLock_;
};
