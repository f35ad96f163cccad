// A clean in-memory copy of a tag whose body the frame walk cannot read as it stands: one with an
// extended header, with unsynchronisation (ID3v2.3 section 5; ID3v2.4 per frame), or both. The
// copy has a plain header at offset 0 without those flags, so readers and the editor walk it
// like any other tag.
#pragma once

#include <cstdint>
#include <vector>

#include "library/media/tags/Id3TagHeader.h"

namespace id3 {

// Sets *needed; when a copy is needed it is built into image and described by imageHeader.
int32_t BuildCleanTagImage(CTagStream* stream, const CId3TagHeader& header, bool* needed, std::vector<uint8_t>* image,
                           CId3TagHeader* imageHeader);

}  // namespace id3
