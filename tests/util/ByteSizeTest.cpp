#include "library/util/ByteSize.h"
#include "library/util/ModuleFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr LANGID kEnglish = 0x0409;
constexpr LANGID kGerman = 0x0407;

class ByteSizeTest : public testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW((GetModuleFolder() + L"Resources\\QuillbayResource.dll").c_str());
        ASSERT_NE(nullptr, module_) << "the language module must lie in Resources\\ beside the tests";
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_F(ByteSizeTest, SizesPickTheirUnitAndPrecision) {
    struct Case {
        int64_t bytes;
        const wchar_t* english;
        const wchar_t* german;
    };
    const Case cases[] = {
        {0, L"0 KB", L"0 KB"},
        {-5, L"0 KB", L"0 KB"},
        {1, L"1 KB", L"1 KB"},
        {1023, L"1 KB", L"1 KB"},
        {1024, L"1 KB", L"1 KB"},
        {1025, L"2 KB", L"2 KB"},
        {10 * 1024, L"10 KB", L"10 KB"},
        {1000 * 1024 - 1, L"1000 KB", L"1000 KB"},
        {1030000, L"0.98 MB", L"0,98 MB"},
        {1536 * 1024, L"1.50 MB", L"1,50 MB"},
        {25 * 1024 * 1024, L"25.0 MB", L"25,0 MB"},
        {1048575999LL, L"1000 MB", L"1000 MB"},
        {1048576000LL, L"0.98 GB", L"0,98 GB"},
        {5LL * 1024 * 1024 * 1024 / 2, L"2.50 GB", L"2,50 GB"},
        {40LL * 1024 * 1024 * 1024, L"40.0 GB", L"40,0 GB"},
        {500LL * 1024 * 1024 * 1024, L"500 GB", L"500 GB"},
        {1000LL * 1024 * 1024 * 1024, L"0.98 TB", L"0,98 TB"},
        {12LL * 1024 * 1024 * 1024 * 1024, L"12.0 TB", L"12,0 TB"},
        {300LL * 1024 * 1024 * 1024 * 1024, L"300 TB", L"300 TB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(c.english, FormatByteSizeForLanguage(c.bytes, module_, kEnglish));
        EXPECT_EQ(c.german, FormatByteSizeForLanguage(c.bytes, module_, kGerman));
    }
}

TEST_F(ByteSizeTest, EveryLanguageWithADecimalCommaGetsIt) {
    const int64_t oneAndAHalfMegabytes = 1536 * 1024;
    for (LANGID comma : {0x0407, 0x040C, 0x0410, 0x0416, 0x0419, 0x080A, 0x0816}) {
        EXPECT_EQ(L"1,50 MB", FormatByteSizeForLanguage(oneAndAHalfMegabytes, module_, comma)) << comma;
    }
    for (LANGID dot : {0x0409, 0x040A, 0x0411, 0x0804}) {
        EXPECT_EQ(L"1.50 MB", FormatByteSizeForLanguage(oneAndAHalfMegabytes, module_, dot)) << dot;
    }
    EXPECT_FALSE(FormatByteSize(oneAndAHalfMegabytes, module_).empty());
}

TEST_F(ByteSizeTest, MissingFormatGivesAnEmptyText) {
    EXPECT_EQ(L"", FormatByteSize(1024, nullptr));
    // A module without the string table: the test program itself.
    EXPECT_EQ(L"", FormatByteSizeForLanguage(1024, GetModuleHandleW(nullptr), kEnglish));
}

}  // namespace
