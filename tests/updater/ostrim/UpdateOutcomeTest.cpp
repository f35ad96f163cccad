#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/ui/UiLanguageModule.h"
#include "updater/ostrim/UpdateOutcome.h"
#include "updater/ostrim/WinAppMultiLang.h"

namespace {

struct StatusCase {
    unsigned long result;
    bool reportOnly;
    bool written;
    int code;
    HRESULT groupResult;
};

const StatusCase kStatusCases[] = {
    {0, false, true, 0, S_OK},
    {0, true, false, 0, S_OK},
    {1, false, false, 0, S_FALSE},
    {0x80044201, false, true, 10, static_cast<HRESULT>(0x80044201)},
    {0x80044202, false, true, 11, S_FALSE},
    {0x80044203, false, true, 12, static_cast<HRESULT>(0x80044203)},
    {0x80044204, false, true, 13, static_cast<HRESULT>(0x80044204)},
    {0x80044301, false, true, 20, static_cast<HRESULT>(0x80044301)},
    {0x80042203, false, true, 35, static_cast<HRESULT>(0x80042203)},  // the user declined
    {0x80044208, false, true, 40, static_cast<HRESULT>(0x80044208)},
    {0x80044207, false, true, 41, static_cast<HRESULT>(0x80044207)},
    {0x80043305, false, true, 41, static_cast<HRESULT>(0x80043305)},
    {0x80041210, false, true, 42, static_cast<HRESULT>(0x80041210)},
    {0x80044209, false, true, 43, static_cast<HRESULT>(0x80044209)},  // downloaded file too short
    {0x80043208, false, true, 43, static_cast<HRESULT>(0x80043208)},
    {0x8004420A, true, true, 44, static_cast<HRESULT>(0x8004420A)},
    {0x80042202, false, true, 45, static_cast<HRESULT>(0x80042202)},
    {0x80041211, false, true, 50, static_cast<HRESULT>(0x80041211)},
    {0x80041701, false, true, 50, static_cast<HRESULT>(0x80041701)},
    {0x80044401, false, true, 70, static_cast<HRESULT>(0x80044401)},
    {0x80004005, false, true, 90, E_FAIL},
    {0x80040200, false, true, 90, static_cast<HRESULT>(0x80040200)},
    {0x8004120A, false, false, 0, static_cast<HRESULT>(0x8004120A)},
    {0x80042301, false, false, 0, static_cast<HRESULT>(0x80042301)},
    {0x80070057, false, false, 0, E_INVALIDARG},
};

TEST(UpdateOutcomeTest, LastUpdateStatusTable) {
    for (const StatusCase& c : kStatusCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.result << (c.reportOnly ? " report-only" : ""));
        const LastUpdateStatus status = LastUpdateStatusFor(static_cast<HRESULT>(c.result), c.reportOnly);
        EXPECT_EQ(c.written, status.written);
        EXPECT_EQ(c.code, status.code);
        EXPECT_EQ(c.groupResult, status.groupResult);
    }
}

TEST(UpdateOutcomeTest, ErrorMessageTableNamesTextsTheModuleCarries) {
    const struct {
        unsigned long result;
        bool shown;
        UINT stringId;
        UINT style;
    } cases[] = {
        {0x80042203, false, 0, MB_OK},       {0x80040200, true, 2001, MB_OK},
        {0x80040201, true, 2002, MB_ICONERROR}, {0x80040202, true, 2003, MB_OK},
        {0x80041211, true, 2005, MB_ICONERROR}, {0x8007000E, true, 2006, MB_OK},
        {0x80004005, true, 2004, MB_ICONERROR}, {0x80044209, true, 2004, MB_ICONERROR},
    };
    CWinAppMultiLang app;
    ASSERT_TRUE(app.InitLanguage());
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.result);
        const UpdateErrorMessage message = UpdateErrorMessageFor(static_cast<HRESULT>(c.result));
        EXPECT_EQ(c.shown, message.shown);
        EXPECT_EQ(c.stringId, message.stringId);
        EXPECT_EQ(c.style, message.style);
        std::wstring text;
        if (message.shown) {
            EXPECT_TRUE(CUiLanguageModule::LoadText(app.ResourceHandle(), message.stringId, text));
        }
    }
}

TEST(UpdateOutcomeTest, FormatTakesTheResultOnceAndNothingElse) {
    const struct {
        const wchar_t* format;
        const wchar_t* expected;
    } cases[] = {
        {L"The update failed (error 0x%08X).", L"The update failed (error 0x80004005)."},
        {L"error %x", L"error 80004005"},
        {L"error %lu", L"error 2147500037"},
        {L"%d and %d", L"-2147467259 and %d"},
        {L"100%% %s %n %p", L"100% %s %n %p"},
        {L"%s then %X", L"%s then 80004005"},
        {L"%00000000000000000008X", L"%00000000000000000008X"},
        {L"%123456X", L"%123456X"},
        {L"trailing %", L"trailing %"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, FormatWithResult(c.format, E_FAIL));
    }
    // The module's own text.
    CWinAppMultiLang app;
    ASSERT_TRUE(app.InitLanguage());
    EXPECT_EQ(L"The update failed (error 0x80044209).",
              FormatWithResult(CUiLanguageModule::TextOr(app.ResourceHandle(), 2004, L""),
                               static_cast<HRESULT>(0x80044209)));
}

TEST(UpdateOutcomeTest, ProductNameByProgram) {
    EXPECT_STREQ(L"Quillbay", ProductNameFor(L"Ostrim"));
    EXPECT_STREQ(L"Quillbay", ProductNameFor(L"OSTRIM"));
    EXPECT_STREQ(L"Tornelle Launcher", ProductNameFor(L"quorvel"));
    EXPECT_STREQ(L"", ProductNameFor(L"Ostrim2"));
    EXPECT_STREQ(L"", ProductNameFor(nullptr));
}

}  // namespace
