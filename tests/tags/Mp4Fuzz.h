// The MP4 part of the tag fuzzer: every reader kind over the input, every editor kind edits and
// saves it, and what was saved must open again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "library/media/tags/TagReader.h"

void FuzzMp4Formats(const uint8_t* data, size_t size, void (*query)(CTagReader&));
