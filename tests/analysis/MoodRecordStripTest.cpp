#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/analysis/MoodRecordStrip.h"

namespace {

std::vector<uint8_t> Record(const char tag[5], std::vector<uint8_t> data, uint32_t claimed = ~0u) {
    std::vector<uint8_t> record(tag, tag + 4);
    record.resize(16, 0);
    const uint32_t length = claimed == ~0u ? static_cast<uint32_t>(data.size()) : claimed;
    for (int shift = 24; shift >= 0; shift -= 8) record.push_back(static_cast<uint8_t>(length >> shift));
    record.insert(record.end(), data.begin(), data.end());
    return record;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

TEST(MoodRecordStripTest, GmmdRecordsAreRemovedAndOthersKeptInOrder) {
    const auto stbf = Record("STBF", std::vector<uint8_t>(36, 7));
    const auto gmmd = Record("GMMD", {1, 2, 3});
    const auto stsa = Record("STSA", {0, 0, 1, 0});
    const struct {
        std::vector<uint8_t> payload;
        std::vector<uint8_t> kept;
    } cases[] = {
        {Join({gmmd, stbf}), stbf},
        {Join({stbf, gmmd, stsa}), Join({stbf, stsa})},
        {Join({stbf, stsa}), Join({stbf, stsa})},
        {gmmd, {}},
        {Record("STBF", {}), Record("STBF", {})},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> output(c.payload.size() + 8, 0xEE);
        uint32_t written = 99;
        EXPECT_EQ(static_cast<int32_t>(c.kept.size()),
                  StripMoodRecords(static_cast<uint32_t>(c.payload.size()), static_cast<uint32_t>(output.size()),
                                   c.payload.data(), output.data(), &written));
        EXPECT_EQ(c.kept.size(), written);
        output.resize(written);
        EXPECT_EQ(c.kept, output);
        // Without an output only the length is counted.
        EXPECT_EQ(static_cast<int32_t>(c.kept.size()),
                  StripMoodRecords(static_cast<uint32_t>(c.payload.size()), 0, c.payload.data(), nullptr, nullptr));
    }
}

TEST(MoodRecordStripTest, MalformedEmptyAndShortOutputAreRefused) {
    const auto stbf = Record("STBF", std::vector<uint8_t>(36, 7));
    const std::vector<uint8_t> twelveBytes(12, 0);
    const auto overlong = Record("STBF", {1, 2}, 1000);
    const auto hugeLength = Record("STBF", {1, 2}, 0xFFFFFFF0u);
    const auto trailing = Join({stbf, std::vector<uint8_t>(5, 0)});
    const struct {
        std::vector<uint8_t> payload;
        uint32_t capacity;
        int32_t result;
    } cases[] = {
        {twelveBytes, 100, kStripMalformed},
        {overlong, 100, kStripMalformed},
        {hugeLength, 100, kStripMalformed},
        {trailing, 200, kStripMalformed},
        {stbf, static_cast<uint32_t>(stbf.size() - 1), kStripNoRoom},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> output(200);
        EXPECT_EQ(c.result, StripMoodRecords(static_cast<uint32_t>(c.payload.size()), c.capacity, c.payload.data(),
                                             output.data(), nullptr));
    }
    uint8_t byte = 0;
    EXPECT_EQ(kStripEmpty, StripMoodRecords(0, 10, &byte, &byte, nullptr));
}
