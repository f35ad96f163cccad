#include <gtest/gtest.h>

#include "library/capability/CodecParameter.h"

namespace {

struct CodecCase {
    const wchar_t* text;
    int codecId;
};

TEST(CodecParameterTest, CodecIds) {
    const CodecCase cases[] = {
        {L"codec=\"3\";encryption=\"none\"", 3},
        {L"codec=21;", 0x21},
        {L"codec=6;", kCodecUnknown},
        {L"encryption=aes;", kCodecMissing},
        {L"", kCodecMissing},
        {L"codec=;", kCodecMissing},
        {L"codec=0;", 0},
        {L"codec=5;", 5},
        {L"codec=20;", 0x20},
        {L"codec=22;", 0x22},
        {L"codec=23;", kCodecUnknown},
        {L"codec=0x22;", 0x22},
        {L"codec=\"0x1\";", 1},
        {L"codec=zz;", kCodecUnknown},
        {L"codec=\"\";", kCodecUnknown},
        {L"codec=ffffffffffffffffffff;", kCodecUnknown},
        // A later codec overrides an earlier one; pieces that are not name=value are ignored.
        {L"codec=1;codec=2;", 2},
        {L"codec=1;junk;a=b=c;", 1},
        // Names are exact.
        {L"Codec=1;", kCodecMissing},
        {L" codec=1;", kCodecMissing},
        // A single parameter without any ";" still counts.
        {L"codec=4", 4},
        {L"encryption=x;codec=\"2\"", 2},
    };
    for (const CodecCase& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        int codecId = 12345;
        EXPECT_EQ(S_OK, ParseCodecParameter(testCase.text, &codecId));
        EXPECT_EQ(testCase.codecId, codecId);
    }
    EXPECT_EQ(S_OK, ParseCodecParameter(L"codec=1;", nullptr));
}

TEST(CodecParameterTest, SplitExtractsBothValues) {
    std::wstring codec;
    std::wstring encryption;
    EXPECT_EQ(S_OK, SplitCodecParameters(L"encryption=\"wm\";codec=\"3\";", codec, encryption));
    EXPECT_EQ(L"\"3\"", codec);
    EXPECT_EQ(L"\"wm\"", encryption);
}

}  // namespace
