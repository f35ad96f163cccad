#include "tests/mtp/MtpTestSupport.h"

#include <vector>

void MtpControllerTest::SetUp() {
    ASSERT_TRUE(SUCCEEDED(controller_.InitializeCom()));
    ASSERT_EQ(S_OK, standin_.Install());
    controller_.SetListener(&listener_);
}

void MtpControllerTest::TearDown() {
    reader_.Reset();
    controller_.UninitializeCom();
}

std::wstring MtpControllerTest::AttachPlayer(const std::wstring& id, uint64_t capacity) {
    players_.push_back(std::make_unique<CScratchFolder>());
    players_.back()->WriteFile(L"capability_00.xml", capability_);
    EXPECT_EQ(S_OK, standin_.Attach(id, L"Player " + id, players_.back()->Path(), capacity));
    return players_.back()->Path();
}

std::unique_ptr<CTNContent> MtpControllerTest::Song(const std::wstring& name, const std::string& bytes) {
    auto content = std::make_unique<CTNContent>(0, CTNContent::kSong);
    sources_.WriteFile(name, bytes);
    content->sourcePath = sources_.Join(name);
    content->relativePath = L"MUSIC\\" + name;
    content->fileType = 0;
    return content;
}

CScopedComPtr<IPortableDeviceValues> MtpControllerTest::Properties(const std::wstring& objectId) {
    if (!reader_.Get()) {
        CoCreateInstance(CLSID_PortableDevice, nullptr, CLSCTX_INPROC_SERVER, IID_IPortableDevice,
                         reinterpret_cast<void**>(reader_.Receive()));
        reader_->Open(controller_.GetDeviceId().c_str(), nullptr);
    }
    CScopedComPtr<IPortableDeviceContent> content;
    CScopedComPtr<IPortableDeviceProperties> properties;
    CScopedComPtr<IPortableDeviceValues> values;
    reader_->Content(content.Receive());
    if (content.Get()) content->Properties(properties.Receive());
    if (properties.Get()) properties->GetValues(objectId.c_str(), nullptr, values.Receive());
    return values;
}

std::wstring MtpControllerTest::Text(const std::wstring& objectId, REFPROPERTYKEY key) {
    CScopedComPtr<IPortableDeviceValues> values = Properties(objectId);
    LPWSTR text = nullptr;
    if (!values.Get() || FAILED(values->GetStringValue(key, &text))) return L"<none>";
    std::wstring result = text;
    CoTaskMemFree(text);
    return result;
}

std::string MtpControllerTest::Data(const std::wstring& objectId) {
    Properties(objectId);
    CScopedComPtr<IPortableDeviceContent> content;
    reader_->Content(content.Receive());
    return content.Get() ? ReadObjectData(content.Get(), objectId) : "<unreadable>";
}

std::vector<std::wstring> MtpControllerTest::Children(const std::wstring& objectId) {
    Properties(objectId);
    std::vector<std::wstring> ids;
    CScopedComPtr<IPortableDeviceContent> content;
    CScopedComPtr<IEnumPortableDeviceObjectIDs> objects;
    reader_->Content(content.Receive());
    if (FAILED(content->EnumObjects(0, objectId.c_str(), nullptr, objects.Receive()))) return ids;
    LPWSTR id = nullptr;
    ULONG fetched = 0;
    while (objects->Next(1, &id, &fetched) == S_OK && fetched == 1) {
        ids.push_back(id);
        CoTaskMemFree(id);
    }
    return ids;
}

std::wstring MtpControllerTest::ObjectAt(const std::wstring& relativePath) {
    std::wstring id;
    return controller_.FileExists(relativePath, &id) ? id : std::wstring();
}

HRESULT MtpControllerTest::DeleteElsewhere(const std::wstring& objectId) {
    Properties(objectId);
    CScopedComPtr<IPortableDeviceContent> content;
    CScopedComPtr<IPortableDevicePropVariantCollection> ids;
    reader_->Content(content.Receive());
    HRESULT hr = CoCreateInstance(CLSID_PortableDevicePropVariantCollection, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IPortableDevicePropVariantCollection, reinterpret_cast<void**>(ids.Receive()));
    if (FAILED(hr)) return hr;
    PROPVARIANT id;
    PropVariantInit(&id);
    id.vt = VT_LPWSTR;
    id.pwszVal = const_cast<LPWSTR>(objectId.c_str());
    hr = ids->Add(&id);
    return SUCCEEDED(hr) ? content->Delete(PORTABLE_DEVICE_DELETE_WITH_RECURSION, ids.Get(), nullptr) : hr;
}

HRESULT MtpControllerTest::RenameElsewhere(const std::wstring& objectId, const std::wstring& name) {
    Properties(objectId);
    CScopedComPtr<IPortableDeviceContent> content;
    CScopedComPtr<IPortableDeviceProperties> properties;
    CScopedComPtr<IPortableDeviceValues> values;
    CScopedComPtr<IPortableDeviceValues> results;
    reader_->Content(content.Receive());
    HRESULT hr = content.Get() ? content->Properties(properties.Receive()) : E_FAIL;
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(CLSID_PortableDeviceValues, nullptr, CLSCTX_INPROC_SERVER, IID_IPortableDeviceValues,
                              reinterpret_cast<void**>(values.Receive()));
    }
    if (SUCCEEDED(hr)) hr = values->SetStringValue(WPD_OBJECT_ORIGINAL_FILE_NAME, name.c_str());
    if (SUCCEEDED(hr)) hr = properties->SetValues(objectId.c_str(), values.Get(), results.Receive());
    return hr;
}
