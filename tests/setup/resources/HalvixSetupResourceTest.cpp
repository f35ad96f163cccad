#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <string>

#include "library/util/ModuleFolder.h"
#include "setup/resources/HalvixSetupStrings.h"
#include "tests/support/TableString.h"

namespace {

struct Language {
    LANGID id;
    const char* name;
};

const Language kLanguages[] = {
    {0x0409, "English"},    {0x0404, "Chinese (Traditional)"}, {0x0407, "German"},
    {0x040C, "French"},     {0x0410, "Italian"},               {0x0411, "Japanese"},
    {0x0412, "Korean"},     {0x0416, "Portuguese (Brazil)"},   {0x0419, "Russian"},
    {0x0804, "Chinese (Simplified)"}, {0x0816, "Portuguese (Portugal)"}, {0x0C0A, "Spanish"},
};

// The wizard reads every text into a buffer of this many characters.
constexpr size_t kWizardBufferChars = 512;

size_t CountOf(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

class HalvixSetupResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW((GetModuleFolder() + L"Resources\\HalvixSetupResource.dll").c_str());
        ASSERT_NE(module_, nullptr) << "the string module is built into bin\\Resources";
    }
    void TearDown() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    HMODULE module_ = nullptr;
};

}  // namespace

TEST_F(HalvixSetupResourceTest, EveryLanguageCarriesEveryTextThatFitsTheWizardsBuffer) {
    for (const Language& language : kLanguages) {
        for (UINT id = IDS_SETUP_FIRST; id <= IDS_SETUP_LAST; ++id) {
            if (id == IDS_SETUP_PROCESSING) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << language.name << ", string " << id);
            const TableString entry = ReadTableString(module_, id, language.id);
            EXPECT_TRUE(entry.present);
            EXPECT_FALSE(entry.text.empty());
            // The terminator takes the last character of the buffer.
            EXPECT_LT(entry.text.size(), kWizardBufferChars);
            EXPECT_EQ(entry.text.find(L'\0'), std::wstring::npos);
        }
    }
}

TEST_F(HalvixSetupResourceTest, TheUnshownProcessingTextExistsOnlyInJapanese) {
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(language.name);
        EXPECT_EQ(ReadTableString(module_, IDS_SETUP_PROCESSING, language.id).present, language.id == 0x0411);
    }
}

TEST_F(HalvixSetupResourceTest, FormatTextsKeepTheirArgumentsInEveryLanguage) {
    // The wizard formats these with a fixed argument list: a lost or added conversion would read
    // the wrong argument or none.
    struct FormatCase {
        UINT id;
        const wchar_t* conversion;
        size_t count;
    };
    const FormatCase cases[] = {
        {IDS_SETUP_PROGRESS_COUNT, L"%d", 2},
        {IDS_SETUP_MODEL, L"%s", 1},
        {IDS_SETUP_DEVICE_DETAILS, L"%s", 3},
    };
    for (const Language& language : kLanguages) {
        for (const FormatCase& format : cases) {
            SCOPED_TRACE(testing::Message() << language.name << ", string " << format.id);
            const std::wstring text = ReadTableString(module_, format.id, language.id).text;
            EXPECT_EQ(CountOf(text, format.conversion), format.count);
            EXPECT_EQ(CountOf(text, L"%"), format.count);
        }
        SCOPED_TRACE(language.name);
        wchar_t counter[kWizardBufferChars] = {};
        const std::wstring progress = ReadTableString(module_, IDS_SETUP_PROGRESS_COUNT, language.id).text;
        swprintf(counter, kWizardBufferChars, progress.c_str(), 17, 40000);
        const std::wstring shown = counter;
        EXPECT_NE(shown.find(L"17"), std::wstring::npos);
        EXPECT_NE(shown.find(L"40000"), std::wstring::npos);
        EXPECT_LT(shown.find(L"17"), shown.find(L"40000")) << "done before total";
    }
}

TEST_F(HalvixSetupResourceTest, NotesBeginWithAnAsteriskAndMultiLineTextsKeepTheirLineBreaks) {
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(language.name);
        for (UINT id :
             {IDS_SETUP_RECONNECT_NOTE, IDS_SETUP_UNREG_NOTE, IDS_SETUP_REFRESH_NOTE, IDS_SETUP_ARTWORK_SOURCE}) {
            EXPECT_EQ(ReadTableString(module_, id, language.id).text.substr(0, 1), L"*") << "string " << id;
        }
        const std::wstring artworkSource = ReadTableString(module_, IDS_SETUP_ARTWORK_SOURCE, language.id).text;
        EXPECT_EQ(artworkSource.find_first_of(L"\r\n"), std::wstring::npos) << "one line";
        EXPECT_EQ(CountOf(ReadTableString(module_, IDS_SETUP_INTRO, language.id).text, L"\r\n"), 2u);
        EXPECT_EQ(CountOf(ReadTableString(module_, IDS_SETUP_OWN_BRAND_CAUTION, language.id).text, L"\r\n"), 3u);
        EXPECT_EQ(CountOf(ReadTableString(module_, IDS_SETUP_ERROR, language.id).text, L"\r\n"), 1u);
        // A lone CR or LF would show as a box or break a line differently from the rest.
        for (UINT id = IDS_SETUP_FIRST; id <= IDS_SETUP_LAST; ++id) {
            const std::wstring text = ReadTableString(module_, id, language.id).text;
            EXPECT_EQ(CountOf(text, L"\r"), CountOf(text, L"\r\n")) << "string " << id;
            EXPECT_EQ(CountOf(text, L"\n"), CountOf(text, L"\r\n")) << "string " << id;
        }
    }
}

TEST_F(HalvixSetupResourceTest, EnglishTextsStandAsTheWizardShowsThem) {
    struct EnglishCase {
        UINT id;
        const wchar_t* text;
    };
    const EnglishCase cases[] = {
        {IDS_SETUP_REGISTER_QUESTION, L"Execute \"Registration Process\" on the device below. OK?"},
        {IDS_SETUP_REGISTER_DONE,
         L"The \"Registration Process\" is complete.\r\nNext, execute the \"Refresh Process\"."},
        {IDS_SETUP_OWN_BRAND_CAUTION,
         L"For TORNELLE users.\r\nIf the \u201DRegistration Process\u201D is executed, the following will occur "
         L"on the TORNELLE.\r\n-When transferring songs using Quillbay, the RAVELIN ANALYSIS will always be "
         L"\u201DON\u201D and the transfer will take more time compared to when it is turned \u201DOFF\u201D.\r\n"
         L"-Writes the necessary data for the Halvix application to the TORNELLE."},
        {IDS_SETUP_PROGRESS_COUNT, L"%d / %d complete"},
        {IDS_SETUP_BUTTON_REGISTER, L"Register"},
        {IDS_SETUP_BUTTON_FINISH, L"Finish"},
        {IDS_SETUP_MODEL, L"Model: %s"},
        {IDS_SETUP_M4A_CONVERSION, L"-M4A contents in the device will be converted to MP4 contents."},
    };
    for (const EnglishCase& entry : cases) {
        EXPECT_EQ(ReadTableString(module_, entry.id, 0x0409).text, entry.text) << "string " << entry.id;
    }
}

TEST_F(HalvixSetupResourceTest, NonLatinTablesAreReadAsUnicodeNotAsACodePage) {
    // A table compiled without the UTF-8 code page would hold mojibake: Latin-1 look-alikes of
    // the UTF-8 bytes instead of the scripts' own characters.
    struct ScriptCase {
        LANGID language;
        const wchar_t* text;
    };
    const ScriptCase cases[] = {
        {0x0411, L"完了"},   {0x0404, L"完成"},   {0x0804, L"完成"},  {0x0412, L"마침"},
        {0x0419, L"Готово"}, {0x0407, L"Fertig stellen"},
    };
    for (const ScriptCase& entry : cases) {
        EXPECT_EQ(ReadTableString(module_, IDS_SETUP_BUTTON_FINISH, entry.language).text, entry.text)
            << "language " << std::hex << entry.language;
    }
    EXPECT_EQ(ReadTableString(module_, IDS_SETUP_BUTTON_NO, 0x0816).text, L"N\u00E3o");
    EXPECT_EQ(ReadTableString(module_, IDS_SETUP_BUTTON_YES, 0x0C0A).text, L"S\u00ED");
}

TEST_F(HalvixSetupResourceTest, TheOrdinaryLookupFollowsTheThreadsLanguage) {
    // Windows picks the table by the thread's user-interface language, Wine by the thread's
    // locale: the test sets both, as a user's language setting does.
    const LANGID uiBefore = GetThreadUILanguage();
    const LCID localeBefore = GetThreadLocale();
    struct LookupCase {
        LANGID language;
        const wchar_t* finish;
    };
    const LookupCase cases[] = {{0x0409, L"Finish"}, {0x0407, L"Fertig stellen"}, {0x0411, L"完了"},
                                {0x0816, L"Concluir"}, {0x0C0A, L"Finalizar"}};
    for (const LookupCase& entry : cases) {
        SetThreadUILanguage(entry.language);
        SetThreadLocale(MAKELCID(entry.language, SORT_DEFAULT));
        wchar_t text[kWizardBufferChars] = {};
        EXPECT_GT(LoadStringW(module_, IDS_SETUP_BUTTON_FINISH, text, static_cast<int>(kWizardBufferChars)), 0);
        EXPECT_STREQ(text, entry.finish) << "language " << std::hex << entry.language;
    }
    SetThreadUILanguage(uiBefore);
    SetThreadLocale(localeBefore);
}
