#include "library/media/tags/Mp4FullBox.h"

#include <utility>

#include "library/media/tags/TagTypes.h"

CMp4FullBox::CMp4FullBox(uint32_t type, std::string body)
    : CMp4RawFullBox(NewMp4BoxHeader(type), 0, false), m_body(std::move(body)) {}

uint64_t CMp4FullBox::Size() const {
    if (m_loaded) return CMp4RawFullBox::Size();
    return m_header.HeaderLength() + sizeof(m_versionAndFlags) + m_body.size();
}

int32_t CMp4FullBox::Write(CTagStream* source, CTagWriteStream* output) {
    if (m_loaded) return CMp4RawFullBox::Write(source, output);
    if (!output) return tag::kInvalidArgument;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk) result = output->Write(m_versionAndFlags, sizeof(m_versionAndFlags));
    if (result == tag::kOk && !m_body.empty()) result = output->Write(m_body.data(), uint32_t(m_body.size()));
    return result;
}

int32_t CMp4FullBox::ReadBody(CTagStream* source, uint32_t limit, std::string* body) const {
    if (!body) return tag::kInvalidArgument;
    if (m_loaded) return ReadData(source, limit, body);
    body->assign(m_body, 0, limit);
    return tag::kOk;
}
