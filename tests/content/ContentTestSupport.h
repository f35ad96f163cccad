#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <vector>

#include "library/content/RunnableTNContentHandler.h"
#include "library/content/TNContent.h"

// A content that reports its own deletion, so tests can prove each one is deleted exactly once.
class CCountedContent : public CTNContent {
public:
    CCountedContent(uint32_t kind, uint32_t status, int serial);
    ~CCountedContent() override;

    int serial;
    static std::atomic<int> live;
    static std::atomic<int> deleted;
    static void ResetCounts();
};

// A handler stage whose work is a callback; it forwards when the callback returns.
class CCallbackHandler : public CRunnableTNContentHandler {
public:
    std::function<void(CTNContent*)> work;

protected:
    void ProcessContent(CTNContent* content) override;
};

// The end of a test chain: records the serials it receives, in order, and deletes the contents.
class CCollectingHandler : public CTNContentHandler {
public:
    void PostContent(CTNContent* content) override;
    std::vector<int> Serials();
    size_t Count();

private:
    CCriticalSection lock_;
    std::vector<int> serials_;
};

// Polls a condition for up to timeoutMs; true once it holds.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
