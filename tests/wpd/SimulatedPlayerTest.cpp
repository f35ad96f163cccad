// The simulated MTP player reached through the platform's class identifiers, as the controller
// reaches it: registration, device list, object tree, typed values, uploads and faults.

#include "library/util/ScopedCom.h"
#include "platform/wpd/PortableDevice.h"
#include "platform/wpd/PortableDeviceApi.h"
#include "platform/wpd/WpdMtpExtensions.h"
#include "tests/wpd/WpdStandinSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring TakeString(LPWSTR text) {
    std::wstring value = text ? text : L"";
    CoTaskMemFree(text);
    return value;
}

class SimulatedPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_EQ(S_OK, standin_.Install());
    }
    void TearDown() override { CoUninitialize(); }

    template <class T>
    CScopedComPtr<T> Create(const CLSID& clsid, const IID& iid) {
        CScopedComPtr<T> object;
        EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid,
                                         reinterpret_cast<void**>(object.Receive())));
        return object;
    }

    CScopedComPtr<IPortableDeviceContent> OpenContent(const std::wstring& id) {
        device_ = Create<IPortableDevice>(CLSID_PortableDevice, IID_IPortableDevice);
        CScopedComPtr<IPortableDeviceValues> client =
            Create<IPortableDeviceValues>(CLSID_PortableDeviceValues, IID_IPortableDeviceValues);
        EXPECT_EQ(S_OK, device_->Open(id.c_str(), client.Get()));
        CScopedComPtr<IPortableDeviceContent> content;
        EXPECT_EQ(S_OK, device_->Content(content.Receive()));
        return content;
    }

    std::vector<std::wstring> Children(IPortableDeviceContent* content, const std::wstring& parent) {
        std::vector<std::wstring> ids;
        CScopedComPtr<IEnumPortableDeviceObjectIDs> objects;
        if (FAILED(content->EnumObjects(0, parent.c_str(), nullptr, objects.Receive()))) return ids;
        LPWSTR batch[3];
        ULONG fetched = 0;
        while (SUCCEEDED(objects->Next(3, batch, &fetched)) && fetched > 0) {
            for (ULONG i = 0; i < fetched; ++i) ids.push_back(TakeString(batch[i]));
        }
        return ids;
    }

    CScopedComPtr<IPortableDeviceValues> Values(IPortableDeviceContent* content, const std::wstring& id) {
        CScopedComPtr<IPortableDeviceProperties> properties;
        EXPECT_EQ(S_OK, content->Properties(properties.Receive()));
        CScopedComPtr<IPortableDeviceValues> values;
        EXPECT_TRUE(SUCCEEDED(properties->GetValues(id.c_str(), nullptr, values.Receive())));
        return values;
    }

    std::wstring StringOf(IPortableDeviceContent* content, const std::wstring& id, REFPROPERTYKEY key) {
        LPWSTR text = nullptr;
        Values(content, id)->GetStringValue(key, &text);
        return TakeString(text);
    }

    uint64_t FreeSpace(IPortableDeviceContent* content, const std::wstring& storage) {
        ULONGLONG free = 0;
        Values(content, storage)->GetUnsignedLargeIntegerValue(WPD_STORAGE_FREE_SPACE_IN_BYTES, &free);
        return free;
    }

    // Starts a new object of `size` bytes under `parent`; the stream is uncommitted.
    HRESULT BeginUpload(IPortableDeviceContent* content, const std::wstring& parent, const std::wstring& name,
                        uint64_t size, CScopedComPtr<IStream>* stream) {
        CScopedComPtr<IPortableDeviceValues> values =
            Create<IPortableDeviceValues>(CLSID_PortableDeviceValues, IID_IPortableDeviceValues);
        values->SetStringValue(WPD_OBJECT_PARENT_ID, parent.c_str());
        values->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, name.c_str());
        values->SetUnsignedLargeIntegerValue(WPD_OBJECT_SIZE, size);
        values->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_AUDIO);
        values->SetFloatValue(WPD_AUDIO_CHANNEL_COUNT, 2.0f);
        DWORD optimal = 0;
        HRESULT hr = content->CreateObjectWithPropertiesAndData(values.Get(), stream->Receive(), &optimal, nullptr);
        if (SUCCEEDED(hr)) {
            EXPECT_GT(optimal, 0u);
        }
        return hr;
    }

    // Uploads `bytes` as one object and gives its id ("" when it did not commit).
    std::wstring Upload(IPortableDeviceContent* content, const std::wstring& parent, const std::wstring& name,
                        const std::string& bytes, HRESULT* result = nullptr) {
        CScopedComPtr<IStream> stream;
        HRESULT hr = BeginUpload(content, parent, name, bytes.size(), &stream);
        if (SUCCEEDED(hr)) hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
        if (SUCCEEDED(hr)) hr = stream->Commit(STGC_DEFAULT);
        if (result) *result = hr;
        if (FAILED(hr)) return std::wstring();
        CScopedComPtr<IPortableDeviceDataStream> data;
        EXPECT_EQ(S_OK, stream->QueryInterface(IID_IPortableDeviceDataStream, reinterpret_cast<void**>(data.Receive())));
        LPWSTR id = nullptr;
        EXPECT_EQ(S_OK, data->GetObjectID(&id));
        return TakeString(id);
    }

    HRESULT Delete(IPortableDeviceContent* content, const std::wstring& id, DWORD options) {
        CScopedComPtr<IPortableDevicePropVariantCollection> ids = Create<IPortableDevicePropVariantCollection>(
            CLSID_PortableDevicePropVariantCollection, IID_IPortableDevicePropVariantCollection);
        PROPVARIANT value;
        PropVariantInit(&value);
        value.vt = VT_LPWSTR;
        value.pwszVal = const_cast<LPWSTR>(id.c_str());
        ids->Add(&value);
        return content->Delete(options, ids.Get(), nullptr);
    }

    std::wstring Storage(IPortableDeviceContent* content) {
        std::vector<std::wstring> storages = Children(content, WPD_DEVICE_OBJECT_ID);
        return storages.empty() ? std::wstring() : storages.front();
    }

    CWpdStandin standin_;
    CScratchFolder folder_;
    CScopedComPtr<IPortableDevice> device_;
};

TEST_F(SimulatedPlayerTest, ClassesExistOnlyWhileRegistered) {
    ASSERT_EQ(S_OK, standin_.Unregister());
    CScopedComPtr<IPortableDeviceManager> manager;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_PortableDeviceManager, nullptr, CLSCTX_INPROC_SERVER,
                                                    IID_IPortableDeviceManager,
                                                    reinterpret_cast<void**>(manager.Receive())));
    ASSERT_EQ(S_OK, standin_.Register());
    for (const CLSID* clsid : {&CLSID_PortableDeviceManager, &CLSID_PortableDevice, &CLSID_PortableDeviceValues,
                               &CLSID_PortableDeviceKeyCollection, &CLSID_PortableDevicePropVariantCollection}) {
        CScopedComPtr<IUnknown> object;
        EXPECT_EQ(S_OK, CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                         reinterpret_cast<void**>(object.Receive())));
    }
}

TEST_F(SimulatedPlayerTest, ManagerListsAttachedPlayersInOrderWithTheirTexts) {
    CScratchFolder second;
    ASSERT_EQ(S_OK, standin_.Attach(L"\\\\?\\usb#player-a", L"Player A", folder_.Path()));
    ASSERT_EQ(S_OK, standin_.Attach(L"\\\\?\\usb#player-b", L"Player B", second.Path()));
    auto manager = Create<IPortableDeviceManager>(CLSID_PortableDeviceManager, IID_IPortableDeviceManager);
    DWORD count = 0;
    ASSERT_EQ(S_OK, manager->GetDevices(nullptr, &count));
    ASSERT_EQ(2u, count);
    LPWSTR ids[2] = {};
    ASSERT_EQ(S_OK, manager->GetDevices(ids, &count));
    EXPECT_EQ(L"\\\\?\\usb#player-a", TakeString(ids[0]));
    EXPECT_EQ(L"\\\\?\\usb#player-b", TakeString(ids[1]));

    DWORD length = 0;
    ASSERT_EQ(S_OK, manager->GetDeviceFriendlyName(L"\\\\?\\usb#player-b", nullptr, &length));
    EXPECT_EQ(9u, length);
    std::wstring name(length, L'\0');
    DWORD tooShort = 3;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER),
              manager->GetDeviceFriendlyName(L"\\\\?\\usb#player-b", &name[0], &tooShort));
    ASSERT_EQ(S_OK, manager->GetDeviceFriendlyName(L"\\\\?\\usb#player-b", &name[0], &length));
    EXPECT_STREQ(L"Player B", name.c_str());

    ASSERT_EQ(S_OK, standin_.Detach(L"\\\\?\\usb#player-a"));
    ASSERT_EQ(S_OK, manager->GetDevices(nullptr, &count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED),
              manager->GetDeviceDescription(L"\\\\?\\usb#player-a", nullptr, &length));
}

TEST_F(SimulatedPlayerTest, DeviceObjectStorageAndFilesOfTheFolder) {
    folder_.WriteFile(L"capability_00.xml", "<capability/>");
    folder_.WriteFile(L"MUSIC\\a.mp3", std::string(1000, 'a'));
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path(), 100000));
    auto content = OpenContent(L"dev1");
    EXPECT_EQ(L"MTP: 1.0", StringOf(content.Get(), WPD_DEVICE_OBJECT_ID, WPD_DEVICE_PROTOCOL));
    std::wstring storage = Storage(content.Get());
    ASSERT_FALSE(storage.empty());
    EXPECT_EQ(L"Internal Storage", StringOf(content.Get(), storage, WPD_OBJECT_NAME));
    ULONGLONG capacity = 0;
    Values(content.Get(), storage)->GetUnsignedLargeIntegerValue(WPD_STORAGE_CAPACITY, &capacity);
    EXPECT_EQ(100000u, capacity);
    EXPECT_EQ(100000u - 1000u - 13u, FreeSpace(content.Get(), storage));

    std::vector<std::wstring> top = Children(content.Get(), storage);
    ASSERT_EQ(2u, top.size());
    std::wstring capabilityId, musicId;
    for (const std::wstring& id : top) {
        std::wstring name = StringOf(content.Get(), id, WPD_OBJECT_ORIGINAL_FILE_NAME);
        (name == L"capability_00.xml" ? capabilityId : musicId) = id;
    }
    EXPECT_EQ("<capability/>", ReadObjectData(content.Get(), capabilityId));
    GUID type = GUID_NULL;
    Values(content.Get(), musicId)->GetGuidValue(WPD_OBJECT_CONTENT_TYPE, &type);
    EXPECT_TRUE(IsEqualGUID(WPD_CONTENT_TYPE_FOLDER, type));
    ASSERT_EQ(1u, Children(content.Get(), musicId).size());
}

TEST_F(SimulatedPlayerTest, ValuesKeepEveryTypeAndReportMissingOrMismatchedKeys) {
    auto values = Create<IPortableDeviceValues>(CLSID_PortableDeviceValues, IID_IPortableDeviceValues);
    ASSERT_EQ(S_OK, values->SetStringValue(WPD_MEDIA_TITLE, L"Song"));
    ASSERT_EQ(S_OK, values->SetSignedIntegerValue(WPD_MEDIA_SAMPLE_RATE, -44100));
    ASSERT_EQ(S_OK, values->SetUnsignedLargeIntegerValue(WPD_MEDIA_DURATION, 1ull << 40));
    ASSERT_EQ(S_OK, values->SetFloatValue(WPD_AUDIO_CHANNEL_COUNT, 2.0f));
    ASSERT_EQ(S_OK, values->SetBoolValue(WPD_OBJECT_ISHIDDEN, TRUE));
    ASSERT_EQ(S_OK, values->SetGuidValue(WPD_OBJECT_FORMAT, WPD_OBJECT_FORMAT_MP3));
    BYTE key[4] = {1, 2, 3, 4};
    ASSERT_EQ(S_OK, values->SetBufferValue(WPD_CLIENT_WMDRM_APPLICATION_CERTIFICATE, key, sizeof(key)));
    ASSERT_EQ(S_OK, values->SetStringValue(WPD_MEDIA_TITLE, L"Replaced"));
    DWORD count = 0;
    values->GetCount(&count);
    EXPECT_EQ(7u, count);

    LPWSTR title = nullptr;
    ASSERT_EQ(S_OK, values->GetStringValue(WPD_MEDIA_TITLE, &title));
    EXPECT_EQ(L"Replaced", TakeString(title));
    LONG rate = 0;
    ASSERT_EQ(S_OK, values->GetSignedIntegerValue(WPD_MEDIA_SAMPLE_RATE, &rate));
    EXPECT_EQ(-44100, rate);
    ULONGLONG duration = 0;
    ASSERT_EQ(S_OK, values->GetUnsignedLargeIntegerValue(WPD_MEDIA_DURATION, &duration));
    EXPECT_EQ(1ull << 40, duration);
    FLOAT channels = 0;
    ASSERT_EQ(S_OK, values->GetFloatValue(WPD_AUDIO_CHANNEL_COUNT, &channels));
    EXPECT_EQ(2.0f, channels);
    WINBOOL hidden = FALSE;
    ASSERT_EQ(S_OK, values->GetBoolValue(WPD_OBJECT_ISHIDDEN, &hidden));
    EXPECT_TRUE(hidden);
    GUID format = GUID_NULL;
    ASSERT_EQ(S_OK, values->GetGuidValue(WPD_OBJECT_FORMAT, &format));
    EXPECT_TRUE(IsEqualGUID(WPD_OBJECT_FORMAT_MP3, format));
    BYTE* buffer = nullptr;
    DWORD size = 0;
    ASSERT_EQ(S_OK, values->GetBufferValue(WPD_CLIENT_WMDRM_APPLICATION_CERTIFICATE, &buffer, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(4, buffer[3]);
    CoTaskMemFree(buffer);

    ULONG wrongType = 0;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, values->GetUnsignedIntegerValue(WPD_MEDIA_SAMPLE_RATE, &wrongType));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_FOUND), values->GetUnsignedIntegerValue(WPD_MUSIC_TRACK, &wrongType));
    values->SetErrorValue(WPD_MUSIC_TRACK, E_ACCESSDENIED);
    EXPECT_EQ(E_ACCESSDENIED, values->GetUnsignedIntegerValue(WPD_MUSIC_TRACK, &wrongType));
    EXPECT_EQ(S_OK, values->RemoveValue(WPD_MUSIC_TRACK));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_FOUND), values->RemoveValue(WPD_MUSIC_TRACK));
}

TEST_F(SimulatedPlayerTest, AnObjectAppearsOnlyWhenItsStreamIsCommitted) {
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path(), 10000));
    auto content = OpenContent(L"dev1");
    std::wstring storage = Storage(content.Get());
    {
        CScopedComPtr<IStream> stream;
        ASSERT_EQ(S_OK, BeginUpload(content.Get(), storage, L"gone.mp3", 3, &stream));
        ASSERT_EQ(S_OK, stream->Write("abc", 3, nullptr));
        EXPECT_TRUE(Children(content.Get(), storage).empty());
    }
    EXPECT_TRUE(Children(content.Get(), storage).empty());
    EXPECT_EQ(10000u, FreeSpace(content.Get(), storage));

    std::string song(3000, 's');
    std::wstring first = Upload(content.Get(), storage, L"song.mp3", song);
    std::wstring second = Upload(content.Get(), storage, L"song.mp3", "dup");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(2u, Children(content.Get(), storage).size());
    EXPECT_EQ(song, ReadObjectData(content.Get(), first));
    EXPECT_EQ(L"song.mp3", StringOf(content.Get(), first, WPD_OBJECT_NAME));
    FLOAT channels = 0;
    EXPECT_EQ(S_OK, Values(content.Get(), first)->GetFloatValue(WPD_AUDIO_CHANNEL_COUNT, &channels));
    EXPECT_EQ(10000u - 3003u, FreeSpace(content.Get(), storage));

    EXPECT_EQ(S_OK, Delete(content.Get(), first, PORTABLE_DEVICE_DELETE_NO_RECURSION));
    EXPECT_EQ(10000u - 3u, FreeSpace(content.Get(), storage));
    EXPECT_EQ(1u, Children(content.Get(), storage).size());
    // Of the three uploads' data only the one object still on the player is kept.
    std::vector<std::wstring> stored;
    EnumFilesRecursive(folder_.Path() + L"\\.standin", &stored, true);
    ASSERT_EQ(1u, stored.size());
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(stored[0], &kept));
    EXPECT_EQ("dup", kept);
}

TEST_F(SimulatedPlayerTest, UploadIntoAParentThatCannotHoldItIsRefusedBeforeAnyData) {
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path(), 10000));
    auto content = OpenContent(L"dev1");
    std::wstring storage = Storage(content.Get());
    std::wstring file = Upload(content.Get(), storage, L"file.bin", "f");
    std::wstring gone = Upload(content.Get(), storage, L"gone.bin", "g");
    ASSERT_FALSE(file.empty());
    ASSERT_EQ(S_OK, Delete(content.Get(), gone, PORTABLE_DEVICE_DELETE_NO_RECURSION));
    for (const std::wstring& parent : {file, gone, std::wstring(WPD_DEVICE_OBJECT_ID), std::wstring()}) {
        CScopedComPtr<IStream> stream;
        EXPECT_EQ(E_INVALIDARG, BeginUpload(content.Get(), parent, L"x.bin", 1, &stream)) << parent;
        EXPECT_EQ(nullptr, stream.Get());
    }
    std::vector<std::wstring> stored;
    EnumFilesRecursive(folder_.Path() + L"\\.standin", &stored, true);
    EXPECT_EQ(1u, stored.size());
}

TEST_F(SimulatedPlayerTest, ShortUploadAndFullStorageAreRefused) {
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path(), 100));
    auto content = OpenContent(L"dev1");
    std::wstring storage = Storage(content.Get());
    CScopedComPtr<IStream> stream;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), BeginUpload(content.Get(), storage, L"big.bin", 101, &stream));

    ASSERT_EQ(S_OK, BeginUpload(content.Get(), storage, L"short.bin", 10, &stream));
    ASSERT_EQ(S_OK, stream->Write("12345", 5, nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), stream->Commit(STGC_DEFAULT));
    EXPECT_TRUE(Children(content.Get(), storage).empty());

    standin_.ArmFault(kWpdFaultDiskFull, 1);
    EXPECT_EQ(0u, FreeSpace(content.Get(), storage));
    HRESULT hr = S_OK;
    EXPECT_TRUE(Upload(content.Get(), storage, L"x.bin", "x", &hr).empty());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), hr);
}

TEST_F(SimulatedPlayerTest, ArmedFaultsHitTheirCallOnce) {
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path()));
    auto device = Create<IPortableDevice>(CLSID_PortableDevice, IID_IPortableDevice);
    standin_.ArmFault(kWpdFaultOpen, 1, E_ACCESSDENIED);
    EXPECT_EQ(E_ACCESSDENIED, device->Open(L"dev1", nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED), device->Open(L"nobody", nullptr));

    auto content = OpenContent(L"dev1");
    std::wstring storage = Storage(content.Get());
    standin_.ArmFault(kWpdFaultWrite, 2, E_UNEXPECTED);
    CScopedComPtr<IStream> stream;
    ASSERT_EQ(S_OK, BeginUpload(content.Get(), storage, L"a.bin", 6, &stream));
    EXPECT_EQ(S_OK, stream->Write("abc", 3, nullptr));
    EXPECT_EQ(E_UNEXPECTED, stream->Write("def", 3, nullptr));
    EXPECT_EQ(S_OK, stream->Write("def", 3, nullptr));
    stream.Reset();

    standin_.ArmFault(kWpdFaultCommit, 1, E_FAIL);
    HRESULT hr = S_OK;
    EXPECT_TRUE(Upload(content.Get(), storage, L"b.bin", "b", &hr).empty());
    EXPECT_EQ(E_FAIL, hr);
    EXPECT_TRUE(Children(content.Get(), storage).empty());
    std::wstring id = Upload(content.Get(), storage, L"c.bin", "c");
    ASSERT_FALSE(id.empty());

    CScopedComPtr<IPortableDeviceProperties> properties;
    content->Properties(properties.Receive());
    auto rename = Create<IPortableDeviceValues>(CLSID_PortableDeviceValues, IID_IPortableDeviceValues);
    rename->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, L"renamed.bin");
    standin_.ArmFault(kWpdFaultRename, 1, E_FAIL);
    EXPECT_EQ(E_FAIL, properties->SetValues(id.c_str(), rename.Get(), nullptr));
    EXPECT_EQ(L"c.bin", StringOf(content.Get(), id, WPD_OBJECT_ORIGINAL_FILE_NAME));
    EXPECT_EQ(S_OK, properties->SetValues(id.c_str(), rename.Get(), nullptr));
    EXPECT_EQ(L"renamed.bin", StringOf(content.Get(), id, WPD_OBJECT_ORIGINAL_FILE_NAME));
}

TEST_F(SimulatedPlayerTest, FoldersDeleteOnlyEmptyUnlessRecursive) {
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path()));
    auto content = OpenContent(L"dev1");
    std::wstring storage = Storage(content.Get());
    auto values = Create<IPortableDeviceValues>(CLSID_PortableDeviceValues, IID_IPortableDeviceValues);
    values->SetStringValue(WPD_OBJECT_PARENT_ID, storage.c_str());
    values->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, L"MUSIC");
    values->SetGuidValue(WPD_OBJECT_CONTENT_TYPE, WPD_CONTENT_TYPE_FOLDER);
    LPWSTR created = nullptr;
    ASSERT_EQ(S_OK, content->CreateObjectWithPropertiesOnly(values.Get(), &created));
    std::wstring folder = TakeString(created);
    ASSERT_FALSE(Upload(content.Get(), folder, L"a.mp3", "a").empty());

    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DIR_NOT_EMPTY), Delete(content.Get(), folder, PORTABLE_DEVICE_DELETE_NO_RECURSION));
    EXPECT_EQ(S_OK, Delete(content.Get(), folder, PORTABLE_DEVICE_DELETE_WITH_RECURSION));
    EXPECT_TRUE(Children(content.Get(), storage).empty());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), Delete(content.Get(), folder, PORTABLE_DEVICE_DELETE_NO_RECURSION));
    EXPECT_EQ(E_ACCESSDENIED, Delete(content.Get(), storage, PORTABLE_DEVICE_DELETE_WITH_RECURSION));
}

TEST_F(SimulatedPlayerTest, DetachedPlayerAnswersNotConnectedAndComesBackWithItsContent) {
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path()));
    auto content = OpenContent(L"dev1");
    std::wstring storage = Storage(content.Get());
    ASSERT_FALSE(Upload(content.Get(), storage, L"kept.mp3", "kept").empty());
    ASSERT_EQ(S_OK, standin_.Detach(L"dev1"));
    CScopedComPtr<IEnumPortableDeviceObjectIDs> objects;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED),
              content->EnumObjects(0, storage.c_str(), nullptr, objects.Receive()));
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path()));
    EXPECT_EQ(1u, Children(content.Get(), storage).size());
}

}  // namespace

namespace {

CScopedComPtr<IPortableDeviceValues> VendorCommand(IPortableDevice* device, DWORD commandId,
                                                   const wchar_t* context = nullptr) {
    CScopedComPtr<IPortableDeviceValues> parameters;
    CoCreateInstance(CLSID_PortableDeviceValues, nullptr, CLSCTX_INPROC_SERVER, IID_IPortableDeviceValues,
                     reinterpret_cast<void**>(parameters.Receive()));
    parameters->SetGuidValue(WPD_PROPERTY_COMMON_COMMAND_CATEGORY, WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS);
    parameters->SetUnsignedIntegerValue(WPD_PROPERTY_COMMON_COMMAND_ID, commandId);
    parameters->SetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_OPERATION_CODE, 0x9401);
    parameters->SetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_TRANSFER_NUM_BYTES_TO_READ, 3);
    if (context) parameters->SetStringValue(WPD_PROPERTY_MTP_EXT_TRANSFER_CONTEXT, context);
    CScopedComPtr<IPortableDeviceValues> results;
    EXPECT_EQ(S_OK, device->SendCommand(0, parameters.Get(), results.Receive()));
    return results;
}

HRESULT Outcome(IPortableDeviceValues* results) {
    HRESULT outcome = E_UNEXPECTED;
    if (results) results->GetErrorValue(WPD_PROPERTY_COMMON_HRESULT, &outcome);
    return outcome;
}

}  // namespace

TEST_F(SimulatedPlayerTest, VendorOperationRunsItsDataPhaseAndIsRecorded) {
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path()));
    ASSERT_EQ(S_OK, standin_.SetVendor(L"dev1", L"example.com: 1.0", {0x9401}, {1, 2, 3, 4, 5}, 0x2001));
    OpenContent(L"dev1");
    CScopedComPtr<IPortableDeviceValues> started =
        VendorCommand(device_.Get(), WPD_COMMAND_ID_MTP_EXT_EXECUTE_COMMAND_WITH_DATA_TO_READ);
    ASSERT_EQ(S_OK, Outcome(started.Get()));
    ULONGLONG total = 0;
    started->GetUnsignedLargeIntegerValue(WPD_PROPERTY_MTP_EXT_TRANSFER_TOTAL_DATA_SIZE, &total);
    EXPECT_EQ(5u, total);
    LPWSTR context = nullptr;
    ASSERT_EQ(S_OK, started->GetStringValue(WPD_PROPERTY_MTP_EXT_TRANSFER_CONTEXT, &context));
    const std::wstring transfer = TakeString(context);

    EXPECT_EQ(E_INVALIDARG, Outcome(VendorCommand(device_.Get(), WPD_COMMAND_ID_MTP_EXT_READ_DATA, L"other").Get()));
    CScopedComPtr<IPortableDeviceValues> read =
        VendorCommand(device_.Get(), WPD_COMMAND_ID_MTP_EXT_READ_DATA, transfer.c_str());
    BYTE* data = nullptr;
    DWORD size = 0;
    ASSERT_EQ(S_OK, read->GetBufferValue(WPD_PROPERTY_MTP_EXT_TRANSFER_DATA, &data, &size));
    EXPECT_EQ(std::vector<BYTE>({1, 2, 3}), std::vector<BYTE>(data, data + size));
    CoTaskMemFree(data);
    CScopedComPtr<IPortableDeviceValues> ended =
        VendorCommand(device_.Get(), WPD_COMMAND_ID_MTP_EXT_END_DATA_TRANSFER, transfer.c_str());
    ULONG response = 0;
    EXPECT_EQ(S_OK, ended->GetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_RESPONSE_CODE, &response));
    EXPECT_EQ(0x2001u, response);
    // The transfer is over: its context no longer reads.
    EXPECT_EQ(E_INVALIDARG,
              Outcome(VendorCommand(device_.Get(), WPD_COMMAND_ID_MTP_EXT_READ_DATA, transfer.c_str()).Get()));

    const auto operations = standin_.Operations(L"dev1");
    ASSERT_EQ(1u, operations.size());
    EXPECT_EQ(0x9401u, operations[0][0]);
}

TEST_F(SimulatedPlayerTest, OnlyVendorCommandsOfAnOpenDeviceAreAnswered) {
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", folder_.Path()));
    CScopedComPtr<IPortableDevice> device = Create<IPortableDevice>(CLSID_PortableDevice, IID_IPortableDevice);
    CScopedComPtr<IPortableDeviceValues> parameters =
        Create<IPortableDeviceValues>(CLSID_PortableDeviceValues, IID_IPortableDeviceValues);
    CScopedComPtr<IPortableDeviceValues> results;
    EXPECT_EQ(E_WPD_DEVICE_NOT_OPEN, device->SendCommand(0, parameters.Get(), results.Receive()));
    ASSERT_EQ(S_OK, device->Open(L"dev1", parameters.Get()));
    parameters->SetGuidValue(WPD_PROPERTY_COMMON_COMMAND_CATEGORY, WPD_CONTENT_TYPE_FOLDER);
    parameters->SetUnsignedIntegerValue(WPD_PROPERTY_COMMON_COMMAND_ID, 2);
    EXPECT_EQ(E_NOTIMPL, device->SendCommand(0, parameters.Get(), results.Receive()));
}

// A demo prefix describes its players in the registry; programs that no test drives see them.
TEST_F(SimulatedPlayerTest, PlayersDescribedInTheRegistryAttachWithTheManager) {
    folder_.WriteFile(L"MUSIC\\a.mp3", std::string(10, 'a'));
    const std::wstring presetKey = std::wstring(L"Software\\Quillbay\\Standins\\WpdPlayers");
    struct Preset {
        const wchar_t* subKey;
        const wchar_t* deviceId;
        std::wstring folder;
    } kPresets[] = {
        {L"demo", L"\\\\?\\usb#demo-player", folder_.Path()},
        {L"no-folder", L"\\\\?\\usb#no-folder", L""},  // refused: nothing to show
    };
    for (const Preset& preset : kPresets) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, (presetKey + L"\\" + preset.subKey).c_str(), 0,
                                                 nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
        RegSetValueExW(key, L"DeviceId", 0, REG_SZ, reinterpret_cast<const BYTE*>(preset.deviceId),
                       static_cast<DWORD>((wcslen(preset.deviceId) + 1) * sizeof(wchar_t)));
        RegSetValueExW(key, L"Folder", 0, REG_SZ, reinterpret_cast<const BYTE*>(preset.folder.c_str()),
                       static_cast<DWORD>((preset.folder.size() + 1) * sizeof(wchar_t)));
        RegSetValueExW(key, L"FriendlyName", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kPresets), 4);
        RegCloseKey(key);
    }
    auto manager = Create<IPortableDeviceManager>(CLSID_PortableDeviceManager, IID_IPortableDeviceManager);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Quillbay\\Standins");
    DWORD count = 0;
    ASSERT_EQ(S_OK, manager->GetDevices(nullptr, &count));
    ASSERT_EQ(1u, count);
    LPWSTR ids[1] = {};
    ASSERT_EQ(S_OK, manager->GetDevices(ids, &count));
    EXPECT_EQ(L"\\\\?\\usb#demo-player", TakeString(ids[0]));
    // A value of the wrong type falls back to the subkey's name.
    wchar_t name[32];
    DWORD length = 32;
    ASSERT_EQ(S_OK, manager->GetDeviceFriendlyName(L"\\\\?\\usb#demo-player", name, &length));
    EXPECT_STREQ(L"demo", name);
    auto content = OpenContent(L"\\\\?\\usb#demo-player");
    EXPECT_FALSE(Children(content.Get(), L"DEVICE").empty());
}
