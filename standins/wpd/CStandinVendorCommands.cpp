#include "standins/wpd/CStandinVendorCommands.h"

#include "platform/wpd/WpdMtpExtensions.h"
#include "standins/wpd/CSimulatedPlayers.h"
#include "standins/wpd/CStandinPropVariantCollection.h"
#include "standins/wpd/CStandinValues.h"

namespace standin {

namespace {

// Get Device Info: the operation whose data phase carries the player's identity.
constexpr DWORD kGetDeviceInfoOpcode = 0x9401;
// Operations carry at most five parameters in MTP.
constexpr DWORD kMaxOperationParams = 5;

std::vector<DWORD> OperationParams(IPortableDeviceValues* parameters) {
    std::vector<DWORD> params;
    CScopedComPtr<IPortableDevicePropVariantCollection> collection;
    if (FAILED(parameters->GetIPortableDevicePropVariantCollectionValue(WPD_PROPERTY_MTP_EXT_OPERATION_PARAMS,
                                                                        collection.Receive()))) {
        return params;
    }
    DWORD count = 0;
    collection->GetCount(&count);
    for (DWORD i = 0; i < count && i < kMaxOperationParams; ++i) {
        PROPVARIANT value;
        PropVariantInit(&value);
        if (SUCCEEDED(collection->GetAt(i, &value)) && value.vt == VT_UI4) params.push_back(value.ulVal);
        PropVariantClear(&value);
    }
    return params;
}

}  // namespace

HRESULT CStandinVendorCommands::Execute(const std::wstring& device, IPortableDeviceValues* parameters,
                                        IPortableDeviceValues** results) {
    if (!parameters || !results) return E_POINTER;
    *results = nullptr;
    GUID category = GUID_NULL;
    ULONG commandId = 0;
    if (FAILED(parameters->GetGuidValue(WPD_PROPERTY_COMMON_COMMAND_CATEGORY, &category)) ||
        FAILED(parameters->GetUnsignedIntegerValue(WPD_PROPERTY_COMMON_COMMAND_ID, &commandId)) ||
        !IsEqualGUID(category, WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS)) {
        return E_NOTIMPL;
    }
    CScopedComPtr<IPortableDeviceValues> answer;
    HRESULT hr = CStandinValues::Create(IID_IPortableDeviceValues, reinterpret_cast<void**>(answer.Receive()));
    if (FAILED(hr)) return hr;
    HRESULT outcome = E_NOTIMPL;
    switch (commandId) {
        case WPD_COMMAND_ID_MTP_EXT_GET_VENDOR_EXTENSION_DESCRIPTION: outcome = Describe(device, answer.Get()); break;
        case WPD_COMMAND_ID_MTP_EXT_GET_SUPPORTED_VENDOR_OPCODES: outcome = ListOpcodes(device, answer.Get()); break;
        case WPD_COMMAND_ID_MTP_EXT_EXECUTE_COMMAND_WITHOUT_DATA_PHASE:
        case WPD_COMMAND_ID_MTP_EXT_EXECUTE_COMMAND_WITH_DATA_TO_READ:
            outcome = Start(device, commandId, parameters, answer.Get());
            break;
        case WPD_COMMAND_ID_MTP_EXT_READ_DATA: outcome = Read(parameters, answer.Get()); break;
        case WPD_COMMAND_ID_MTP_EXT_END_DATA_TRANSFER: outcome = End(parameters, answer.Get()); break;
        default: break;
    }
    // As the platform does, the driver's outcome travels in the results; SendCommand itself succeeds.
    answer->SetErrorValue(WPD_PROPERTY_COMMON_HRESULT, outcome);
    *results = answer.Detach();
    return S_OK;
}

HRESULT CStandinVendorCommands::Describe(const std::wstring& device, IPortableDeviceValues* results) {
    SimVendorConfig vendor;
    if (!CSimulatedPlayers::Instance().Vendor(device, &vendor)) return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    return results->SetStringValue(WPD_PROPERTY_MTP_EXT_VENDOR_EXTENSION_DESCRIPTION,
                                   vendor.extensionDescription.c_str());
}

HRESULT CStandinVendorCommands::ListOpcodes(const std::wstring& device, IPortableDeviceValues* results) {
    SimVendorConfig vendor;
    if (!CSimulatedPlayers::Instance().Vendor(device, &vendor)) return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    CScopedComPtr<IPortableDevicePropVariantCollection> codes;
    HRESULT hr = CStandinPropVariantCollection::Create(IID_IPortableDevicePropVariantCollection,
                                                       reinterpret_cast<void**>(codes.Receive()));
    if (FAILED(hr)) return hr;
    for (WORD code : vendor.opcodes) {
        PROPVARIANT value;
        PropVariantInit(&value);
        value.vt = VT_UI4;
        value.ulVal = code;
        codes->Add(&value);
    }
    return results->SetIPortableDevicePropVariantCollectionValue(WPD_PROPERTY_MTP_EXT_VENDOR_OPERATION_CODES,
                                                                 codes.Get());
}

HRESULT CStandinVendorCommands::Start(const std::wstring& device, DWORD commandId, IPortableDeviceValues* parameters,
                                      IPortableDeviceValues* results) {
    ULONG opcode = 0;
    if (FAILED(parameters->GetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_OPERATION_CODE, &opcode))) return E_INVALIDARG;
    SimVendorConfig vendor;
    if (!CSimulatedPlayers::Instance().Vendor(device, &vendor)) return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    SimOperation operation;
    operation.opcode = opcode;
    operation.params = OperationParams(parameters);
    CSimulatedPlayers::Instance().RecordOperation(device, operation);

    pending_.clear();
    readOffset_ = 0;
    response_ = vendor.responseCode;
    if (opcode == kGetDeviceInfoOpcode) pending_ = vendor.deviceInfo;
    if (commandId == WPD_COMMAND_ID_MTP_EXT_EXECUTE_COMMAND_WITHOUT_DATA_PHASE) {
        context_.clear();
        return results->SetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_RESPONSE_CODE, response_);
    }
    context_ = L"transfer-" + std::to_wstring(opcode);
    results->SetStringValue(WPD_PROPERTY_MTP_EXT_TRANSFER_CONTEXT, context_.c_str());
    return results->SetUnsignedLargeIntegerValue(WPD_PROPERTY_MTP_EXT_TRANSFER_TOTAL_DATA_SIZE, pending_.size());
}

HRESULT CStandinVendorCommands::Read(IPortableDeviceValues* parameters, IPortableDeviceValues* results) {
    LPWSTR context = nullptr;
    ULONG toRead = 0;
    if (FAILED(parameters->GetStringValue(WPD_PROPERTY_MTP_EXT_TRANSFER_CONTEXT, &context)) || !context) {
        return E_INVALIDARG;
    }
    const bool matches = !context_.empty() && context_ == context;
    CoTaskMemFree(context);
    if (!matches) return E_INVALIDARG;
    parameters->GetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_TRANSFER_NUM_BYTES_TO_READ, &toRead);
    const size_t left = pending_.size() - readOffset_;
    const DWORD count = static_cast<DWORD>(toRead < left ? toRead : left);
    std::vector<BYTE> chunk(pending_.begin() + readOffset_, pending_.begin() + readOffset_ + count);
    readOffset_ += count;
    results->SetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_TRANSFER_NUM_BYTES_READ, count);
    return results->SetBufferValue(WPD_PROPERTY_MTP_EXT_TRANSFER_DATA, chunk.empty() ? nullptr : chunk.data(), count);
}

HRESULT CStandinVendorCommands::End(IPortableDeviceValues* parameters, IPortableDeviceValues* results) {
    LPWSTR context = nullptr;
    if (FAILED(parameters->GetStringValue(WPD_PROPERTY_MTP_EXT_TRANSFER_CONTEXT, &context)) || !context) {
        return E_INVALIDARG;
    }
    const bool matches = !context_.empty() && context_ == context;
    CoTaskMemFree(context);
    if (!matches) return E_INVALIDARG;
    context_.clear();
    pending_.clear();
    return results->SetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_RESPONSE_CODE, response_);
}

}  // namespace standin
