#include "app/main/CTavrelQuillbayApp.h"

#include <gtest/gtest.h>

#include "AutomationTestSupport.h"
#include "app/main/COMManagerMainThread.h"
#include "app/main/CTavrelQuillbay.h"
#include "app/main/CTavrelQuillbay2.h"
#include "platform/com/CClassFactory.h"
#include "library/util/ModuleFolder.h"
#include "library/util/ScopedCom.h"
#include "platform/ui/UiLanguageModule.h"

namespace {

class AutomationObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        languageModule_ = LoadLibraryW((GetModuleFolder() + L"Resources\\QuillbayResource.dll").c_str());
        ASSERT_NE(nullptr, languageModule_);
        CCOMManager::SetResourceModule(languageModule_);
        ASSERT_EQ(0, CCOMManager::MainThread().Start());
    }
    void TearDown() override {
        CCOMManager::SetListener(nullptr);
        CCOMManager::MainThread().Stop();
        CCOMManager::SetResourceModule(nullptr);
        if (languageModule_) FreeLibrary(languageModule_);
        CoUninitialize();
    }

    template <class Interface>
    static CScopedComPtr<Interface> Make(CreateInstanceFn create, REFIID iid) {
        CScopedComPtr<Interface> object;
        EXPECT_EQ(S_OK, create(nullptr, iid, reinterpret_cast<void**>(object.Receive())));
        return object;
    }

    static std::wstring Text(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : L"<null>"; }

    // A call through IDispatch by name, as a script makes it.
    static HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* arguments, UINT count,
                              VARIANT* result, DISPID* id = nullptr) {
        DISPID member = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0x409, &member);
        if (FAILED(hr)) return hr;
        if (id) *id = member;
        DISPID putId = DISPID_PROPERTYPUT;
        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        DISPPARAMS parameters = {arguments, put ? &putId : nullptr, count, put ? 1u : 0u};
        return object->Invoke(member, IID_NULL, 0x409, flags, &parameters, result, nullptr, nullptr);
    }

    HMODULE languageModule_ = nullptr;
    CRecordingCoordinator coordinator_;
};

TEST_F(AutomationObjectTest, TransferPassesTheRequestKindsTwoToFourteenAndReadsEveryOtherAsOne) {
    CCOMManager::SetListener(&coordinator_);
    auto app = Make<ITavrelQuillbayApp>(&CTavrelQuillbayApp::Create, IID_ITavrelQuillbayApp);
    const struct {
        int given;
        int passed;
    } kCases[] = {{0, 1}, {1, 1}, {2, 2}, {7, 7}, {14, 14}, {15, 1}, {-1, 1}};
    CScopedBstr value(L"E:\\Music");
    for (const auto& c : kCases) {
        int result = 0;
        EXPECT_EQ(S_OK, app->Transfer(value.Get(), c.given, 12, &result));
        EXPECT_EQ(9, result);
        EXPECT_EQ(L"Transfer E:\\Music " + std::to_wstring(c.passed) + L" 12", coordinator_.Calls().back())
            << "file type " << c.given;
    }
}

TEST_F(AutomationObjectTest, WorkMethodsCallTheCoordinatorWithTheirArgumentsAndResults) {
    CCOMManager::SetListener(&coordinator_);
    auto app = Make<ITavrelQuillbayApp>(&CTavrelQuillbayApp::Create, IID_ITavrelQuillbayApp);
    int result = 0;
    EXPECT_EQ(S_OK, app->Invoke(&result));
    EXPECT_EQ(5, result);
    EXPECT_EQ(S_OK, app->CancelTransfer(&result));
    EXPECT_EQ(3, result);
    CScopedBstr help;
    EXPECT_EQ(S_OK, app->GetHelpFile(help.Receive()));
    EXPECT_EQ(L"help.chm", Text(help.Get()));
    CScopedBstr setting(L"mode=2");
    EXPECT_EQ(S_OK, app->UpdateSetting(setting.Get()));
    EXPECT_EQ(S_OK, app->OpenDeleteDialog(4));
    EXPECT_EQ(S_OK, app->OpenSyncDialog(2));
    EXPECT_EQ(S_OK, app->OpenSettingDialog());
    EXPECT_EQ(S_OK, app->OpenLogFile());
    EXPECT_EQ(S_OK, app->StartSync());
    const std::vector<std::wstring> expected = {L"OnInvoke",          L"CancelTransfer",    L"GetHelpFile",
                                                L"UpdateSetting mode=2", L"OpenDeleteDialog 4", L"OpenSyncDialog 2",
                                                L"OpenSettingDialog", L"OpenLogFile",       L"StartSync"};
    EXPECT_EQ(expected, coordinator_.Calls());
}

TEST_F(AutomationObjectTest, WithoutACoordinatorMethodsSucceedWithZeroResults) {
    auto app = Make<ITavrelQuillbayApp>(&CTavrelQuillbayApp::Create, IID_ITavrelQuillbayApp);
    int result = 7;
    EXPECT_EQ(S_OK, app->Invoke(&result));
    EXPECT_EQ(0, result);
    result = 7;
    CScopedBstr value(L"x");
    EXPECT_EQ(S_OK, app->Transfer(value.Get(), 3, 1, &result));
    EXPECT_EQ(0, result);
    CScopedBstr help;
    EXPECT_EQ(S_OK, app->GetHelpFile(help.Receive()));
    EXPECT_EQ(nullptr, help.Get());
}

TEST_F(AutomationObjectTest, NullOutPointersGiveTheDocumentedResults) {
    auto app = Make<ITavrelQuillbayApp>(&CTavrelQuillbayApp::Create, IID_ITavrelQuillbayApp);
    CScopedBstr value(L"x");
    EXPECT_EQ(E_INVALIDARG, app->GetHelpFile(nullptr));
    EXPECT_EQ(E_INVALIDARG, app->Invoke(static_cast<int*>(nullptr)));
    EXPECT_EQ(E_INVALIDARG, app->Transfer(value.Get(), 1, 1, nullptr));
    EXPECT_EQ(E_INVALIDARG, app->CancelTransfer(nullptr));
    EXPECT_EQ(S_OK, app->GetVersion(nullptr));
    EXPECT_EQ(S_OK, app->GetResource(139, nullptr));
    auto old = Make<ITavrelQuillbay>(&CTavrelQuillbay::Create, IID_ITavrelQuillbay);
    EXPECT_EQ(E_POINTER, old->Invoke(static_cast<VARIANT*>(nullptr)));
    EXPECT_EQ(E_POINTER, old->GetHelpFile(nullptr));
    EXPECT_EQ(S_OK, old->GetResource(139, nullptr));
}

TEST_F(AutomationObjectTest, GetResourceReadsTheLanguageModuleAndOlderScriptsGet230For206) {
    auto app = Make<ITavrelQuillbayApp>(&CTavrelQuillbayApp::Create, IID_ITavrelQuillbayApp);
    auto old = Make<ITavrelQuillbay>(&CTavrelQuillbay::Create, IID_ITavrelQuillbay);
    std::wstring text206, text230;
    ASSERT_TRUE(CUiLanguageModule::LoadText(languageModule_, 206, text206));
    ASSERT_TRUE(CUiLanguageModule::LoadText(languageModule_, 230, text230));
    ASSERT_NE(text206, text230);
    CScopedBstr fromApp, fromOld, missing, name;
    EXPECT_EQ(S_OK, app->GetResource(206, fromApp.Receive()));
    EXPECT_EQ(text206, Text(fromApp.Get()));
    EXPECT_EQ(S_OK, old->GetResource(206, fromOld.Receive()));
    EXPECT_EQ(text230, Text(fromOld.Get()));
    EXPECT_EQ(S_OK, app->GetResource(139, name.Receive()));
    EXPECT_EQ(L"Quillbay", Text(name.Get()));
    EXPECT_EQ(S_OK, app->GetResource(65000, missing.Receive()));
    EXPECT_EQ(L"", Text(missing.Get()));
    // Without the module every text is empty.
    CCOMManager::SetResourceModule(nullptr);
    EXPECT_EQ(S_OK, app->GetResource(139, name.Receive()));
    EXPECT_EQ(L"", Text(name.Get()));
}

TEST_F(AutomationObjectTest, OlderClassesAnswerAsTheyAlwaysDid) {
    CCOMManager::SetListener(&coordinator_);
    auto old = Make<ITavrelQuillbay>(&CTavrelQuillbay::Create, IID_ITavrelQuillbay);
    auto old2 = Make<ITavrelQuillbay2>(&CTavrelQuillbay2::Create, IID_ITavrelQuillbay2);
    CScopedVariant result;
    EXPECT_EQ(S_OK, old->Invoke(result.Receive()));
    EXPECT_EQ(VT_I4, result.Type());
    EXPECT_EQ(2, result.Get().lVal);
    EXPECT_EQ(S_OK, old->GetHelpFile(result.Receive()));
    EXPECT_EQ(VT_BSTR, result.Type());
    EXPECT_EQ(L"help.chm", Text(result.Get().bstrVal));
    EXPECT_EQ(E_NOTIMPL, old->UpdateSetting(1));
    EXPECT_EQ(S_OK, old2->UpdateSetting(1));
    EXPECT_EQ(E_NOTIMPL, old->Transfer(nullptr, 1, 1, result.Receive()));
    EXPECT_EQ(E_NOTIMPL, old->GetTNMediaAvailable(result.Receive()));
    EXPECT_EQ(S_OK, old->OpenDeleteDialog(1));
    EXPECT_EQ(S_OK, old2->StartSync());
    // Only GetHelpFile reached the coordinator: the old Invoke does not call it.
    EXPECT_EQ(std::vector<std::wstring>{L"GetHelpFile"}, coordinator_.Calls());
    // The older interface is reachable from the second class, the App interface from neither.
    CScopedComPtr<ITavrelQuillbay> base;
    EXPECT_EQ(S_OK, old2->QueryInterface(IID_ITavrelQuillbay, reinterpret_cast<void**>(base.Receive())));
    CScopedComPtr<ITavrelQuillbayApp> none;
    EXPECT_EQ(E_NOINTERFACE, old2->QueryInterface(IID_ITavrelQuillbayApp, reinterpret_cast<void**>(none.Receive())));
}

TEST_F(AutomationObjectTest, DispatchNamesTransferAndCancelTransferAsDispids5And6) {
    auto app = Make<IDispatch>(&CTavrelQuillbayApp::Create, IID_IDispatch);
    UINT count = 0;
    EXPECT_EQ(S_OK, app->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    const struct {
        const wchar_t* name;
        DISPID id;
    } kMembers[] = {{L"GetVersion", 1}, {L"Transfer", 5}, {L"CancelTransfer", 6}, {L"listenerInvoke", 14},
                    {L"listenerProgress", 17}, {L"listenerSettingDialog", 24}};
    for (const auto& member : kMembers) {
        DISPID id = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(member.name)};
        EXPECT_EQ(S_OK, app->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id)) << member.name;
        EXPECT_EQ(member.id, id) << member.name;
    }
    auto old2 = Make<IDispatch>(&CTavrelQuillbay2::Create, IID_IDispatch);
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"listenerTNSyncDialog")};
    EXPECT_EQ(S_OK, old2->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id));
    EXPECT_EQ(0x25, id);
}

TEST_F(AutomationObjectTest, ScriptsCallMethodsAndPutListenersThroughDispatch) {
    CCOMManager::SetListener(&coordinator_);
    auto app = Make<IDispatch>(&CTavrelQuillbayApp::Create, IID_IDispatch);
    VARIANT arguments[3];
    // Arguments last first, as DISPPARAMS holds them.
    CScopedVariant length(static_cast<LONG>(4)), kind(static_cast<LONG>(20)), value(L"F:\\Videos");
    arguments[0] = length.Get();
    arguments[1] = kind.Get();
    arguments[2] = value.Get();
    CScopedVariant result;
    EXPECT_EQ(S_OK, CallByName(app.Get(), L"Transfer", DISPATCH_METHOD, arguments, 3, result.Receive()));
    EXPECT_EQ(9, result.Get().lVal);
    EXPECT_EQ(L"Transfer F:\\Videos 1 4", coordinator_.Calls().back());

    CScopedComPtr<CRecordingListener> listener(CRecordingListener::Create());
    CScopedVariant function(static_cast<IDispatch*>(listener.Get()));
    // JScript puts with both put flags, VBScript's Set with put-by-reference alone.
    const WORD kPutFlags[] = {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF,
                              DISPATCH_PROPERTYPUTREF};
    for (WORD flags : kPutFlags) {
        VARIANT argument = function.Get();
        EXPECT_EQ(S_OK, CallByName(app.Get(), L"listenerProgress", flags, &argument, 1, nullptr)) << flags;
    }
    // JScript's null and VBScript's Nothing or Null empty the property.
    VARIANT nulls[3];
    VariantInit(&nulls[0]);
    nulls[0].vt = VT_NULL;
    VariantInit(&nulls[1]);
    VariantInit(&nulls[2]);
    nulls[2].vt = VT_DISPATCH;
    nulls[2].pdispVal = nullptr;
    for (VARIANT& none : nulls) {
        EXPECT_EQ(S_OK, CallByName(app.Get(), L"listenerProgress", DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF,
                                   &none, 1, nullptr))
            << none.vt;
    }
}

}  // namespace
