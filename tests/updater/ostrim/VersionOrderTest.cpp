#include <gtest/gtest.h>

#include <windows.h>

#include "updater/ostrim/VersionOrder.h"

namespace {

struct VersionCase {
    const wchar_t* text;
    int64_t value;
};

const VersionCase kVersions[] = {
    {L"1.0.0.10", 1000000000000010LL},
    {L"1.2.3.4", 1000000000000000LL + 200000000000LL + 300000LL + 4},
    {L"0.0.0.0", 0},
    {L"12.34.56.78", 12000000000000000LL + 3400000000000LL + 5600000LL + 78},
    {L"1.2.3.4.5", 1000000000000000LL + 200000000000LL + 300000LL + 4},  // d stops at the next '.'
    {L"1.0.0", -1},
    {L"0.00", -1},
    {L"", -1},
    {L"a.b.c.d", 0},
    {L"...", 0},
};

TEST(VersionOrderTest, ParseVersionWeighsTheFourParts) {
    for (const VersionCase& c : kVersions) {
        EXPECT_EQ(c.value, ParseVersion(c.text)) << static_cast<const void*>(c.text);
    }
    EXPECT_EQ(-1, ParseVersion(nullptr));
}

TEST(VersionOrderTest, HugePartsDoNotCrash) {
    // Only that it returns; the value of an oversized version has no meaning.
    ParseVersion(L"99999999999999999999.99999999999.9999999999.99999999999");
}

struct RelationCase {
    int op;
    HRESULT older;  // first < second
    HRESULT equal;
    HRESULT newer;  // first > second
};

const RelationCase kRelations[] = {
    {1, S_FALSE, S_OK, S_FALSE}, {2, S_OK, S_FALSE, S_OK},    {3, S_FALSE, S_FALSE, S_FALSE},
    {4, S_FALSE, S_FALSE, S_FALSE}, {5, S_OK, S_FALSE, S_FALSE}, {6, S_OK, S_OK, S_FALSE},
    {7, S_FALSE, S_OK, S_OK},    {8, S_FALSE, S_FALSE, S_OK},  {0, S_FALSE, S_FALSE, S_FALSE},
    {9, S_FALSE, S_FALSE, S_FALSE}, {-1, S_FALSE, S_FALSE, S_FALSE},
};

TEST(VersionOrderTest, OperatorTable) {
    const int64_t low = ParseVersion(L"1.0.0.9");
    const int64_t high = ParseVersion(L"1.0.0.10");
    for (const RelationCase& c : kRelations) {
        SCOPED_TRACE(testing::Message() << "operator " << c.op);
        EXPECT_EQ(c.older, VersionRelationHolds(low, high, c.op));
        EXPECT_EQ(c.equal, VersionRelationHolds(high, high, c.op));
        EXPECT_EQ(c.newer, VersionRelationHolds(high, low, c.op));
    }
}

TEST(VersionOrderTest, ThreePartVersionCountsAsMinusOne) {
    EXPECT_EQ(S_OK, VersionRelationHolds(ParseVersion(L"9.9.9"), ParseVersion(L"0.0.0.0"), 5));
}

}  // namespace
