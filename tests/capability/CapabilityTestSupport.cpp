#include "tests/capability/CapabilityTestSupport.h"

#include "library/capability/CapabilityNamespace.h"
#include "library/capability/DefaultCapabilityXml.h"
#include "library/capability/DeviceCapabilityParser.h"

void ComTest::SetUp() {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    initialized_ = true;
}

void ComTest::TearDown() {
    if (initialized_) CoUninitialize();
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], needed,
                        nullptr, nullptr);
    return bytes;
}

std::string CapabilityDocument(const std::string& deviceBody) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Devices xmlns=\"" +
           std::string(QB_CAPABILITY_NAMESPACE_URI) + "\"><Device>" + deviceBody +
           "</Device></Devices>";
}

ParseResult ParseDocument(const std::string& bytes) {
    ParseResult result;
    CTNDevCapability* capability = nullptr;
    // The parser is handed the size without the terminating zero, as the device reader does.
    result.hr = ParseDeviceCapabilityXml(bytes.c_str(), static_cast<int>(bytes.size()), &capability);
    result.capability.reset(capability);
    return result;
}

std::string LoadDefaultDocument() {
    DWORD size = 0;
    if (FAILED(LoadDefaultCapabilityXml(nullptr, &size))) return std::string();
    std::string bytes(size, '\0');
    if (FAILED(LoadDefaultCapabilityXml(&bytes[0], &size))) return std::string();
    bytes.resize(size);
    return bytes;
}
