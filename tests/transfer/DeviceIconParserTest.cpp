// The best image of an icon file, and nothing from a file that lies about its layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "library/transfer/DeviceIconParser.h"
#include "tests/transfer/TransferTestSupport.h"

namespace {
struct Entry {
    uint8_t width;
    uint8_t height;
    uint16_t bits;
    // Image bytes; their offset is filled in unless overridden.
    std::string image;
    int64_t offsetOverride = -1;
    int64_t lengthOverride = -1;
};

void Put16(std::string* out, uint32_t value) {
    out->push_back(static_cast<char>(value & 0xFF));
    out->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string* out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::string Icon(const std::vector<Entry>& entries, int countOverride = -1, uint16_t type = 1) {
    std::string out;
    Put16(&out, 0);
    Put16(&out, type);
    Put16(&out, countOverride >= 0 ? countOverride : static_cast<uint32_t>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
    std::string images;
    for (const Entry& entry : entries) {
        out.push_back(static_cast<char>(entry.width));
        out.push_back(static_cast<char>(entry.height));
        out.push_back(0);
        out.push_back(0);
        Put16(&out, 1);
        Put16(&out, entry.bits);
        Put32(&out, entry.lengthOverride >= 0 ? static_cast<uint32_t>(entry.lengthOverride)
                                              : static_cast<uint32_t>(entry.image.size()));
        Put32(&out, entry.offsetOverride >= 0 ? static_cast<uint32_t>(entry.offsetOverride) : offset);
        offset += static_cast<uint32_t>(entry.image.size());
        images += entry.image;
    }
    return out + images;
}

// The chosen image's bytes, or "<none>".
std::string Best(const std::string& file) {
    CDeviceIconParser::Image image = {};
    if (!CDeviceIconParser::FindBestImage(reinterpret_cast<const uint8_t*>(file.data()), file.size(),
                                          &image)) {
        return "<none>";
    }
    return file.substr(image.offset, image.length);
}
}  // namespace

TEST(DeviceIconParser, PicksHighestBitCountThenLargestAreaThenFirst) {
    const struct {
        const char* what;
        std::vector<Entry> entries;
        std::string expected;
    } cases[] = {
        {"bit count wins over size", {{48, 48, 8, "big8"}, {16, 16, 32, "small32"}}, "small32"},
        {"equal bits: larger area", {{16, 16, 32, "s"}, {32, 32, 32, "m"}, {24, 24, 32, "x"}}, "m"},
        {"a 0 byte means 256", {{255, 255, 32, "255"}, {0, 0, 32, "256"}}, "256"},
        {"width 0 alone means 256", {{0, 1, 32, "256x1"}, {128, 1, 32, "128x1"}}, "256x1"},
        {"equal entries: the first", {{32, 32, 32, "first"}, {32, 32, 32, "second"}}, "first"},
        {"one entry", {{16, 16, 4, "only"}}, "only"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, Best(Icon(c.entries))) << c.what;
    }
}

TEST(DeviceIconParser, HostileFilesGiveNoImage) {
    const std::string good = Icon({{16, 16, 32, "pixels"}});
    std::string badReserved = good;
    badReserved[0] = 1;
    std::string truncated = good.substr(0, good.size() - 1);
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"empty", ""},
        {"header only, short", good.substr(0, 5)},
        {"reserved word not 0", badReserved},
        {"type 2 (cursor)", Icon({{16, 16, 32, "pixels"}}, -1, 2)},
        {"no entries", Icon({})},
        {"more entries than the file holds", Icon({{16, 16, 32, "pixels"}}, 3)},
        {"65535 entries claimed", Icon({{16, 16, 32, "pixels"}}, 0xFFFF)},
        {"image runs past the end", truncated},
        {"offset past the end", Icon({{16, 16, 32, "pixels", 0x7FFFFFFF}})},
        {"offset plus size wraps 32 bits", Icon({{16, 16, 32, "pixels", 22, 0xFFFFFFF0}})},
        {"size past the end", Icon({{16, 16, 32, "pixels", -1, 0xFFFFFFFF}})},
        {"empty image", Icon({{16, 16, 32, ""}})},
        {"a bad entry among good ones", Icon({{16, 16, 32, "ok"}, {32, 32, 32, "bad", 0xFFFFFF00}})},
    };
    for (const auto& c : cases) EXPECT_EQ("<none>", Best(c.file)) << c.what;
}

TEST_F(TransferTest, DeviceIconIsFetchedAndItsBestImageReturned) {
    sources_.WriteFile(L"icon.ico", Icon({{16, 16, 8, "small"}, {32, 32, 32, "best image"}}));
    mtp_.iconSource = sources_.Join(L"icon.ico");
    mtp_.capability = StandardCapability();
    mtp_.findResults = {1};
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    unsigned size = 0;
    uint8_t* image = manager_->LoadDeviceIcon(&size);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ("best image", std::string(reinterpret_cast<char*>(image), size));
    delete[] image;
    EXPECT_EQ(data_.Join(L"DevIcon.fil"), manager_->GetDeviceIconPath());

    // A player without an icon: the controller empties the path, nothing is returned.
    mtp_.iconSource.clear();
    image = manager_->LoadDeviceIcon(&size);
    EXPECT_EQ(nullptr, image);
    EXPECT_EQ(0u, size);
    EXPECT_EQ(L"", manager_->GetDeviceIconPath());
}
