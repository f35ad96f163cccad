// A memory read stream that owns its bytes (text the editor converted before writing it).
#pragma once

#include <vector>

#include "library/media/tags/TagMemoryStream.h"

class CTagByteStream : public CTagMemoryStream {
public:
    explicit CTagByteStream(std::vector<uint8_t> bytes)
        : CTagMemoryStream(nullptr, 0), m_bytes(std::move(bytes)) {
        static_cast<CTagMemoryStream&>(*this) = CTagMemoryStream(m_bytes.data(), uint32_t(m_bytes.size()));
    }

private:
    std::vector<uint8_t> m_bytes;
};
