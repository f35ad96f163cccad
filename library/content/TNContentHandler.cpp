#include "library/content/TNContentHandler.h"

#include "library/content/TNContent.h"

HRESULT CTNContentHandler::Stop() {
    Reset();
    return S_OK;
}

void CTNContentHandler::SetNext(ITNContentHandler* next) {
    CScopedLock lock(nextLock_);
    next_ = next;
}

void CTNContentHandler::PostContent(CTNContent* content) {
    AddContent(content);
}

void CTNContentHandler::AddContentVector(const std::vector<CTNContent*>& contents) {
    for (CTNContent* content : contents) PostContent(content);
}

void CTNContentHandler::AddContents(CTNContent** contents, unsigned count) {
    if (contents == nullptr) return;
    for (unsigned i = 0; i < count; ++i) PostContent(contents[i]);
}

void CTNContentHandler::Reset() {
    CScopedLock lock(counterLock_);
    for (uint32_t& count : kindCounts_) count = 0;
    for (uint32_t& count : statusCounts_) count = 0;
    total_ = 0;
}

void CTNContentHandler::AddContent(CTNContent* content) {
    if (content == nullptr) return;
    {
        CScopedLock lock(counterLock_);
        // No producer makes kinds or statuses outside the tables; such a content counts in the
        // total only.
        if (content->kind < kKindCount) ++kindCounts_[content->kind];
        if (content->status < kStatusCount) ++statusCounts_[content->status];
        ++total_;
    }
    CScopedLock lock(nextLock_);
    if (next_ != nullptr) {
        next_->PostContent(content);
    } else {
        delete content;
    }
}

uint32_t CTNContentHandler::GetTotalCount() {
    CScopedLock lock(counterLock_);
    return total_;
}

void CTNContentHandler::ResetTotalCount() {
    CScopedLock lock(counterLock_);
    total_ = 0;
}

void CTNContentHandler::AddOneToTotal() {
    CScopedLock lock(counterLock_);
    ++total_;
}

void CTNContentHandler::UncountFromTotal() {
    CScopedLock lock(counterLock_);
    if (total_ > 0) --total_;
}

uint32_t CTNContentHandler::GetKindCount(uint32_t kind) {
    CScopedLock lock(counterLock_);
    return kind < kKindCount ? kindCounts_[kind] : 0;
}

uint32_t CTNContentHandler::GetStatusCount(uint32_t status) {
    CScopedLock lock(counterLock_);
    return status < kStatusCount ? statusCounts_[status] : 0;
}
