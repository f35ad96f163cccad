// The private filter loader against the real server files beside the test program.
#include <gtest/gtest.h>

#include <algorithm>

#include "filters/vandle/VandleIds.h"
#include "library/media/convert/PrivateFilterLoader.h"
#include "platform/dshow/DShow.h"

namespace {

class PrivateFilterLoaderTest : public ::testing::Test {
protected:
    PrivateFilterLoaderTest() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        UnloadAllPrivateComServers();
    }
    ~PrivateFilterLoaderTest() override {
        UnloadAllPrivateComServers();
        CoUninitialize();
    }
};

TEST_F(PrivateFilterLoaderTest, TwoLoadsKeepOneModuleReference) {
    IBaseFilter* first = nullptr;
    IBaseFilter* second = nullptr;
    ASSERT_EQ(S_OK, LoadPrivateComServer(L"Vandle.ax", CLSID_Orrick, IID_IBaseFilter, reinterpret_cast<void**>(&first)));
    ASSERT_EQ(S_OK, LoadPrivateComServer(L"Vandle.ax", CLSID_Orrick, IID_IBaseFilter, reinterpret_cast<void**>(&second)));
    EXPECT_NE(first, second);
    const HMODULE module = GetModuleHandleW(L"Vandle.ax");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(std::vector<HMODULE>{module}, LoadedPrivateComServers());
    first->Release();
    second->Release();
    // The set held exactly one reference: unloading it leaves the module gone.
    UnloadAllPrivateComServers();
    EXPECT_EQ(nullptr, GetModuleHandleW(L"Vandle.ax"));
    EXPECT_TRUE(LoadedPrivateComServers().empty());
}

TEST_F(PrivateFilterLoaderTest, FailuresAndWhatStaysLoaded) {
    void* object = reinterpret_cast<void*>(1);
    // Only the program folder counts.
    EXPECT_EQ(E_FAIL, LoadPrivateComServer(L"NotBesideTheProgram.ax", CLSID_Orrick, IID_IBaseFilter, &object));
    EXPECT_EQ(E_FAIL, LoadPrivateComServer(L"..\\Vandle.ax", CLSID_Orrick, IID_IBaseFilter, &object));
    // A module without a class object is unloaded again.
    EXPECT_EQ(E_FAIL, LoadPrivateComServer(L"QbNoClassObject.ax", CLSID_Orrick, IID_IBaseFilter, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"QbNoClassObject.ax"));
    // An unknown class: the server's own answer, and the module it was loaded for goes.
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, LoadPrivateComServer(L"Vandle.ax", IID_IBaseFilter, IID_IBaseFilter, &object));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"Vandle.ax"));
    EXPECT_TRUE(LoadedPrivateComServers().empty());
    // An interface the object lacks: the instance's own answer.
    EXPECT_EQ(E_NOINTERFACE, LoadPrivateComServer(L"Vandle.ax", CLSID_Orrick, IID_IMediaControl, &object));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"Vandle.ax"));
}

TEST_F(PrivateFilterLoaderTest, AFailedCreationKeepsAModuleWhoseObjectsLive) {
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(S_OK, LoadPrivateComServer(L"Vandle.ax", CLSID_Orrick, IID_IBaseFilter, reinterpret_cast<void**>(&filter)));
    void* object = nullptr;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, LoadPrivateComServer(L"Vandle.ax", IID_IBaseFilter, IID_IBaseFilter, &object));
    // The filter made before still works: its code is still mapped.
    ASSERT_NE(nullptr, GetModuleHandleW(L"Vandle.ax"));
    EXPECT_EQ(1u, LoadedPrivateComServers().size());
    IPin* pin = nullptr;
    EXPECT_EQ(S_OK, filter->FindPin(L"Out", &pin));
    pin->Release();
    filter->Release();
}

TEST_F(PrivateFilterLoaderTest, UnloadingOneModuleLeavesOthersAndIgnoresStrangers) {
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(S_OK, LoadPrivateComServer(L"Vandle.ax", CLSID_Orrick, IID_IBaseFilter, reinterpret_cast<void**>(&filter)));
    filter->Release();
    UnloadPrivateComServer(GetModuleHandleW(L"kernel32.dll"));
    ASSERT_NE(nullptr, GetModuleHandleW(L"kernel32.dll"));
    EXPECT_EQ(1u, LoadedPrivateComServers().size());
    UnloadPrivateComServer(GetModuleHandleW(L"Vandle.ax"));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"Vandle.ax"));
    EXPECT_TRUE(LoadedPrivateComServers().empty());
}

}  // namespace
