#include "library/media/decode/MediaTagReaderTypes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int32_t> Types(const MediaTagReaderTypes& readers) {
    return std::vector<int32_t>(readers.types, readers.types + readers.count);
}

TEST(MediaTagReaderTypesTest, EachCodeTriesItsReadersInOrder) {
    struct Case {
        int32_t code;
        std::vector<int32_t> tags;
        std::vector<int32_t> lookupId;
    };
    const Case cases[] = {
        {0, {0}, {0}},          {1, {1}, {1}},       {2, {3}, {3}},    {3, {2, 4}, {2, 4}},
        {4, {2}, {2, 4, 3}},    {5, {}, {}},         {6, {0}, {0}},    {10, {0}, {0}},
        {14, {0}, {0}},         {15, {}, {}},        {18, {}, {}},     {-1, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.tags, Types(TagReaderTypesForMediaType(c.code)));
        EXPECT_EQ(c.lookupId, Types(TagReaderTypesForMediaType(c.code, true)));
    }
}

}  // namespace
