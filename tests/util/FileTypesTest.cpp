#include "library/util/FileTypes.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

namespace {

struct Predicate {
    bool (*test)(const wchar_t*);
    const wchar_t* extension;  // without its dot
};

const Predicate kPredicates[] = {
    {IsMp3File, L"mp3"},     {IsWmaFile, L"wma"},   {IsM4aFile, L"m4a"},   {Is3gpFile, L"3gp"},
    {IsMp4File, L"mp4"},     {IsWavFile, L"wav"},   {IsZelFile, L"zel"},   {IsZq3File, L"zq3"},
    {IsJpgFile, L"jpg"},     {IsJpegFile, L"jpeg"}, {IsJpeFile, L"jpe"},   {IsM4vFile, L"m4v"},
    {IsWmvFile, L"wmv"},     {IsPcastFile, L"pcast"}, {IsOpmlFile, L"opml"}, {IsMpgFile, L"mpg"},
    {IsMovFile, L"mov"},     {IsAviFile, L"avi"},   {IsFlvFile, L"flv"},   {IsRmFile, L"rm"},
    {IsQtFile, L"qt"},       {IsDivxFile, L"divx"}, {IsXvidFile, L"xvid"}, {IsM2tsFile, L"m2ts"},
    {IsM2tFile, L"m2t"},     {IsMtsFile, L"mts"},   {IsMpegFile, L"mpeg"}, {IsMpeFile, L"mpe"},
    {IsM2vFile, L"m2v"},     {IsMpv2File, L"mpv2"}, {IsMp2vFile, L"mp2v"},
};

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towupper(c));
    return text;
}

TEST(FileTypesTest, EachPredicateMatchesOnlyItsOwnExtension) {
    ASSERT_EQ(31u, std::size(kPredicates));
    const std::wstring longFolder = L"C:\\" + std::wstring(300, L'd') + L"\\song.";
    const std::wstring longName = L"C:\\Music\\" + std::wstring(300, L'n') + L".";
    for (const Predicate& owner : kPredicates) {
        const std::wstring ext = owner.extension;
        SCOPED_TRACE(ext);
        // Files with this predicate's extension in every spelling the user may have.
        const std::wstring matching[] = {
            L"C:\\Music\\song." + ext,
            L"C:\\Music\\SONG." + Upper(ext),
            L"song." + ext,
            L"\\\\server\\share\\a.b\\c." + ext,
            L"D:\\My.Folder\\Track 1." + Upper(ext.substr(0, 1)) + ext.substr(1),
        };
        // Paths that must not count as this type for any predicate.
        const std::wstring nonMatching[] = {
            L"C:\\Music\\song." + ext + L".txt",
            L"C:\\Music\\Folder." + ext + L"\\file",
            L"C:\\Music\\" + ext,
            L"C:\\Music\\song",
            L"C:\\Music\\song.",
            L"",
            L"C:\\Music\\song.x" + ext,
            longFolder + ext,
            longName + ext,
        };
        for (const Predicate& predicate : kPredicates) {
            const bool same = predicate.test == owner.test;
            for (const std::wstring& path : matching) {
                EXPECT_EQ(same, predicate.test(path.c_str())) << path << " for ." << predicate.extension;
            }
            for (const std::wstring& path : nonMatching) {
                EXPECT_FALSE(predicate.test(path.c_str())) << path << " for ." << predicate.extension;
            }
        }
        EXPECT_FALSE(owner.test(nullptr));
    }
}

TEST(FileTypesTest, HasExtensionNeedsTheDotAndLowerCaseAndRejectsNull) {
    EXPECT_TRUE(HasExtension(L"a.Mp3", L".mp3"));
    EXPECT_FALSE(HasExtension(L"a.mp3", L"mp3"));
    EXPECT_FALSE(HasExtension(L"a.mp3", L".MP3"));
    EXPECT_FALSE(HasExtension(L"a.mp3", nullptr));
    EXPECT_FALSE(HasExtension(nullptr, L".mp3"));
    // Only ASCII letters are folded: a fullwidth capital stays what it is.
    EXPECT_FALSE(HasExtension(L"a.\uFF2D", L".\uFF4D"));
    // A very long path whose parts still fit is judged normally.
    const std::wstring deep = L"C:\\" + std::wstring(200, L'x') + L"\\" + std::wstring(200, L'y') + L".MP3";
    EXPECT_TRUE(IsMp3File(deep.c_str()));
}

}  // namespace
