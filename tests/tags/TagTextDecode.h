// Turns a text item into UTF-8 for comparisons in the tests.
#pragma once

#include <string>

#include "library/media/tags/TagReader.h"

namespace tagtest {

// Decodes by the reported encoding (a byte-order mark decides UTF-16's order) and drops trailing
// terminators; "<code>" when the query fails.
std::string DecodedTextItem(CTagReader& reader, int32_t itemType);
std::string DecodeText(const std::string& bytes, int32_t encoding);

}  // namespace tagtest
