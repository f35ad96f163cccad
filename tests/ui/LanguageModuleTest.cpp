#include <gtest/gtest.h>

#include <windows.h>

#include "library/util/ModuleFolder.h"
#include "platform/ui/UiLanguageModule.h"
#include "platform/ui/UiWindowText.h"
#include "tests/ui/DemoResources.h"

namespace {

class LanguageModuleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module_.Load(GetModuleFolder() + L"ui_demo_language.dll")); }
    CUiLanguageModule module_;
};

}  // namespace

TEST_F(LanguageModuleTest, TextsComeByIdentifierAndAMissingOneLeavesTheCallersText) {
    std::wstring text = L"untouched";
    EXPECT_TRUE(CUiLanguageModule::LoadText(module_.Handle(), IDS_DEMO_TITLE, text));
    EXPECT_EQ(text, L"Demo options");

    text = L"untouched";
    EXPECT_FALSE(CUiLanguageModule::LoadText(module_.Handle(), IDS_DEMO_REMEMBER, text));
    EXPECT_EQ(text, L"untouched");
    EXPECT_FALSE(CUiLanguageModule::LoadText(nullptr, IDS_DEMO_TITLE, text));
    EXPECT_EQ(text, L"untouched");

    EXPECT_EQ(CUiLanguageModule::TextOr(module_.Handle(), IDS_DEMO_LABEL, L"fallback"),
              L"Choose how the demo behaves.");
    EXPECT_EQ(CUiLanguageModule::TextOr(module_.Handle(), IDS_DEMO_REMEMBER, L"fallback"), L"fallback");
    EXPECT_EQ(CUiLanguageModule::TextOr(nullptr, IDS_DEMO_LABEL, L"fallback"), L"fallback");
}

TEST_F(LanguageModuleTest, TextsLongerThanTheBufferAreCutToFit) {
    std::wstring text;
    EXPECT_TRUE(CUiLanguageModule::LoadText(module_.Handle(), IDS_DEMO_TITLE, text, 5));
    EXPECT_EQ(text, L"Demo");
}

TEST_F(LanguageModuleTest, AWindowKeepsItsTemplateTextWhenTheStringIsMissing) {
    HWND label = CreateWindowW(L"STATIC", L"Template text", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(CUiLanguageModule::ApplyToWindow(module_.Handle(), label, IDS_DEMO_REMEMBER));
    EXPECT_EQ(GetWindowTextString(label), L"Template text");
    EXPECT_FALSE(CUiLanguageModule::ApplyToWindow(nullptr, label, IDS_DEMO_LABEL));
    EXPECT_EQ(GetWindowTextString(label), L"Template text");
    EXPECT_TRUE(CUiLanguageModule::ApplyToWindow(module_.Handle(), label, IDS_DEMO_LABEL));
    EXPECT_EQ(GetWindowTextString(label), L"Choose how the demo behaves.");
    DestroyWindow(label);
}

TEST(LanguageModuleLoadTest, AMissingModuleIsNotLoaded) {
    CUiLanguageModule module;
    EXPECT_FALSE(module.Load(GetModuleFolder() + L"no_such_language.dll"));
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_EQ(module.Handle(), nullptr);
}
