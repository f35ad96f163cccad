// A read stream that serves small reads from a window of up to 64 KiB over another stream; a
// smaller stream gets a window of its own size, and a stream held in memory none: its reads pass
// straight through.
#pragma once

#include <memory>

#include "library/media/tags/TagOwnedPtr.h"
#include "library/media/tags/TagStream.h"

class CTagBufferedStream : public CTagStream {
public:
    static constexpr uint32_t kWindowSize = 65536;

    explicit CTagBufferedStream(CTagOwnedPtr<CTagStream> inner)
        : m_inner(std::move(inner)), m_passThrough(m_inner && m_inner->InMemory()) {}
    int32_t Read(void* buffer, uint32_t length) override;
    int32_t Seek(int64_t offset, int32_t origin) override;
    int32_t Tell(uint32_t* position) override;
    int32_t GetSize(uint32_t* size) override;
    int32_t Close() override;
    bool InMemory() const override { return m_passThrough; }

private:
    int32_t Refill(uint32_t innerSize);

    CTagOwnedPtr<CTagStream> m_inner;
    std::unique_ptr<uint8_t[]> m_window;
    uint32_t m_windowSize = 0;
    uint32_t m_innerPosition = 0;  // where the inner stream stands: the end of the window
    uint32_t m_filled = 0;
    uint32_t m_cursor = 0;
    bool m_positionKnown = false;
    bool m_passThrough;
};
