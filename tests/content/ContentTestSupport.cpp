#include "tests/content/ContentTestSupport.h"

std::atomic<int> CCountedContent::live{0};
std::atomic<int> CCountedContent::deleted{0};

CCountedContent::CCountedContent(uint32_t contentKind, uint32_t contentStatus, int contentSerial)
    : CTNContent(0, contentKind), serial(contentSerial) {
    status = contentStatus;
    ++live;
}

CCountedContent::~CCountedContent() {
    --live;
    ++deleted;
}

void CCountedContent::ResetCounts() {
    live = 0;
    deleted = 0;
}

void CCallbackHandler::ProcessContent(CTNContent* content) {
    if (work) work(content);
    ForwardCurrent();
}

void CCollectingHandler::PostContent(CTNContent* content) {
    {
        CScopedLock lock(lock_);
        serials_.push_back(static_cast<CCountedContent*>(content)->serial);
    }
    CTNContentHandler::AddContent(content);
}

std::vector<int> CCollectingHandler::Serials() {
    CScopedLock lock(lock_);
    return serials_;
}

size_t CCollectingHandler::Count() {
    CScopedLock lock(lock_);
    return serials_.size();
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(1);
    }
    return true;
}
