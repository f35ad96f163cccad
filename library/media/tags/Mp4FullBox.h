// A full box whose body is held in memory: version, three flag bytes, the body. A box of this
// class loaded from the source is copied as it stands.
#pragma once

#include <cstdint>
#include <string>

#include "library/media/tags/Mp4RawFullBox.h"

class CMp4FullBox : public CMp4RawFullBox {
public:
    explicit CMp4FullBox(const CMp4BoxHeader& header) : CMp4RawFullBox(header, 0, true) {}
    // A new box: version 0, flags 0.
    CMp4FullBox(uint32_t type, std::string body);
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;

    // The body behind the version and flags, at most limit bytes, read from the source when loaded.
    int32_t ReadBody(CTagStream* source, uint32_t limit, std::string* body) const;

private:
    uint8_t m_versionAndFlags[4] = {0, 0, 0, 0};
    std::string m_body;
};
