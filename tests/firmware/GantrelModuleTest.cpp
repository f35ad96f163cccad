// The library as callers load it: by file name, bound by name or ordinal.
#include <windows.h>

#include <gtest/gtest.h>

#include "firmware/Gantrel.h"
#include "tests/firmware/FirmwareTestSupport.h"

namespace {

const wchar_t kPresenceEvent[] = L"3AB7597C-E9AE-4c9a-A537-66291E8812D7";
const char* const kExports[] = {"CheckVersion",  "CopyFirmwareBinary", "DeleteFirmwareBinary", "GetDeviceCount",
                                "GetDeviceInfo", "GetDevices",         "GetModuleName",        "SendUpdateCommand"};

using CheckVersionFn = HRESULT(__cdecl*)(const wchar_t*, const wchar_t*);
using GetDevicesFn = HRESULT(__cdecl*)();
using GetDeviceCountFn = HRESULT(__cdecl*)(int*);
using GetDeviceInfoFn = HRESULT(__cdecl*)(DEVICE_INFO*, unsigned);

template <class T>
T Bind(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool PresenceEventExists() {
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, kPresenceEvent);
    if (!event) return false;
    CloseHandle(event);
    return true;
}

TEST(GantrelModuleTest, ExportsByNameAndOrdinal) {
    HMODULE module = LoadLibraryW(L"Gantrel.dll");
    ASSERT_NE(nullptr, module);
    for (WORD ordinal = 1; ordinal <= 8; ++ordinal) {
        SCOPED_TRACE(kExports[ordinal - 1]);
        FARPROC byName = GetProcAddress(module, kExports[ordinal - 1]);
        EXPECT_NE(nullptr, byName);
        EXPECT_EQ(byName, GetProcAddress(module, MAKEINTRESOURCEA(ordinal)));
    }
    EXPECT_EQ(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(9)));
    EXPECT_EQ(1, Bind<CheckVersionFn>(module, "CheckVersion")(L"1.00", L"1.00"));
    FreeLibrary(module);
}

TEST(GantrelModuleTest, PresenceEventLivesWhileLoaded) {
    ASSERT_FALSE(PresenceEventExists());
    HMODULE module = LoadLibraryW(L"Gantrel.dll");
    ASSERT_NE(nullptr, module);
    HANDLE event = OpenEventW(EVENT_ALL_ACCESS, FALSE, kPresenceEvent);
    ASSERT_NE(nullptr, event);
    // Manual reset, created not signalled.
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(event, 0));
    SetEvent(event);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event, 0));
    CloseHandle(event);
    FreeLibrary(module);
    EXPECT_FALSE(PresenceEventExists());
}

class GantrelSecondHolderTest : public FirmwareTest {};

// Another process holding the event: the library loads and serves all the same.
TEST_F(GantrelSecondHolderTest, LoadsWhenTheEventExists) {
    HANDLE other = CreateEventW(nullptr, TRUE, FALSE, kPresenceEvent);
    ASSERT_NE(nullptr, other);
    const std::wstring id = MtpDeviceId(kMtpProduct, L"USB9");
    AddMtpPlayer(id, "HELD1");
    HMODULE module = LoadLibraryW(L"Gantrel.dll");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(0, Bind<GetDevicesFn>(module, "GetDevices")());
    int count = 0;
    EXPECT_EQ(0, Bind<GetDeviceCountFn>(module, "GetDeviceCount")(&count));
    DEVICE_INFO info = {};
    EXPECT_EQ(0, Bind<GetDeviceInfoFn>(module, "GetDeviceInfo")(&info, 1));
    EXPECT_GE(count, 1);
    // The library's mass-storage side looks at this machine's real drives; the MTP player is the
    // simulated one, listed after any real player.
    bool found = false;
    std::vector<DEVICE_INFO> records(count);
    Bind<GetDeviceInfoFn>(module, "GetDeviceInfo")(records.data(), count);
    for (const DEVICE_INFO& record : records) found |= wcscmp(record.serial, L"HELD1") == 0;
    EXPECT_TRUE(found);
    FreeLibrary(module);
    // The library never owned the event, so unloading leaves it as the other holder made it.
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(other, 0));
    EXPECT_TRUE(PresenceEventExists());
    CloseHandle(other);
}

}  // namespace
