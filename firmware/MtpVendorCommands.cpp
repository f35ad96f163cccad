#include "firmware/MtpVendorCommands.h"

#include <cstring>
#include <initializer_list>

#include "library/device/WpdClassCache.h"
#include "library/util/ScopedCom.h"
#include "platform/wpd/WpdMtpExtensions.h"

namespace {

template <class T>
HRESULT CreateInstance(REFCLSID clsid, REFIID iid, CScopedComPtr<T>* object) {
    return CWpdClassCache::Create(clsid, iid, reinterpret_cast<void**>(object->Receive()));
}

HRESULT NewCommand(DWORD commandId, CScopedComPtr<IPortableDeviceValues>* parameters) {
    HRESULT hr = CreateInstance(CLSID_PortableDeviceValues, IID_IPortableDeviceValues, parameters);
    if (SUCCEEDED(hr)) {
        hr = (*parameters)->SetGuidValue(WPD_PROPERTY_COMMON_COMMAND_CATEGORY, WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS);
    }
    if (SUCCEEDED(hr)) hr = (*parameters)->SetUnsignedIntegerValue(WPD_PROPERTY_COMMON_COMMAND_ID, commandId);
    return hr;
}

// Sends the command; the driver's own outcome travels in the results.
HRESULT Send(IPortableDevice* device, IPortableDeviceValues* parameters,
             CScopedComPtr<IPortableDeviceValues>* results) {
    HRESULT hr = device->SendCommand(0, parameters, results->Receive());
    if (FAILED(hr)) return hr;
    HRESULT outcome = S_OK;
    hr = (*results)->GetErrorValue(WPD_PROPERTY_COMMON_HRESULT, &outcome);
    return FAILED(hr) ? hr : outcome;
}

HRESULT StartOperation(IPortableDevice* device, WORD opcode, CScopedComPtr<IPortableDeviceValues>* results) {
    CScopedComPtr<IPortableDeviceValues> parameters;
    CScopedComPtr<IPortableDevicePropVariantCollection> params;
    HRESULT hr = NewCommand(WPD_COMMAND_ID_MTP_EXT_EXECUTE_COMMAND_WITH_DATA_TO_READ, &parameters);
    if (SUCCEEDED(hr)) hr = parameters->SetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_OPERATION_CODE, opcode);
    if (SUCCEEDED(hr)) {
        hr = CreateInstance(CLSID_PortableDevicePropVariantCollection, IID_IPortableDevicePropVariantCollection,
                            &params);
    }
    for (DWORD value : {mtpvendor::kFirstParam, mtpvendor::kSecondParam}) {
        if (FAILED(hr)) break;
        PROPVARIANT param;
        PropVariantInit(&param);
        param.vt = VT_UI4;
        param.ulVal = value;
        hr = params->Add(&param);
    }
    if (SUCCEEDED(hr)) {
        hr = parameters->SetIPortableDevicePropVariantCollectionValue(WPD_PROPERTY_MTP_EXT_OPERATION_PARAMS,
                                                                     params.Get());
    }
    if (FAILED(hr)) return hr;
    return Send(device, parameters.Get(), results);
}

// Runs the data phase of a started operation and ends it; data gets what the device sent.
HRESULT ReadAndEnd(IPortableDevice* device, const wchar_t* context, ULONGLONG totalSize, BYTE** data,
                   DWORD* dataSize) {
    CScopedComPtr<IPortableDeviceValues> parameters;
    CScopedComPtr<IPortableDeviceValues> results;
    HRESULT hr = NewCommand(WPD_COMMAND_ID_MTP_EXT_READ_DATA, &parameters);
    if (FAILED(hr)) return hr;
    // The device says how much it sends; only the part the reply can hold is asked for.
    const DWORD toRead = static_cast<DWORD>(totalSize < mtpvendor::kDeviceInfoSize ? totalSize
                                                                                   : mtpvendor::kDeviceInfoSize);
    BYTE* buffer = static_cast<BYTE*>(CoTaskMemAlloc(toRead));
    if (!buffer) return E_OUTOFMEMORY;
    memset(buffer, 0, toRead);
    hr = parameters->SetStringValue(WPD_PROPERTY_MTP_EXT_TRANSFER_CONTEXT, context);
    if (SUCCEEDED(hr)) hr = parameters->SetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_TRANSFER_NUM_BYTES_TO_READ, toRead);
    if (SUCCEEDED(hr)) hr = parameters->SetBufferValue(WPD_PROPERTY_MTP_EXT_TRANSFER_DATA, buffer, toRead);
    CoTaskMemFree(buffer);
    if (SUCCEEDED(hr)) hr = Send(device, parameters.Get(), &results);
    if (SUCCEEDED(hr) && FAILED(results->GetBufferValue(WPD_PROPERTY_MTP_EXT_TRANSFER_DATA, data, dataSize))) {
        *data = nullptr;
        *dataSize = 0;
    }

    CScopedComPtr<IPortableDeviceValues> endParameters;
    CScopedComPtr<IPortableDeviceValues> endResults;
    HRESULT ended = NewCommand(WPD_COMMAND_ID_MTP_EXT_END_DATA_TRANSFER, &endParameters);
    if (SUCCEEDED(ended)) ended = endParameters->SetStringValue(WPD_PROPERTY_MTP_EXT_TRANSFER_CONTEXT, context);
    if (SUCCEEDED(ended)) ended = Send(device, endParameters.Get(), &endResults);
    ULONG response = 0;
    if (SUCCEEDED(ended)) ended = endResults->GetUnsignedIntegerValue(WPD_PROPERTY_MTP_EXT_RESPONSE_CODE, &response);
    if (FAILED(hr)) return hr;
    if (FAILED(ended)) return ended;
    return response == kMtpResponseOk ? S_OK : E_FAIL;
}

}  // namespace

HRESULT GetVendorExtensionDescription(IPortableDevice* device, wchar_t* description) {
    description[0] = L'\0';
    CScopedComPtr<IPortableDeviceValues> parameters;
    CScopedComPtr<IPortableDeviceValues> results;
    HRESULT hr = NewCommand(WPD_COMMAND_ID_MTP_EXT_GET_VENDOR_EXTENSION_DESCRIPTION, &parameters);
    if (SUCCEEDED(hr)) hr = Send(device, parameters.Get(), &results);
    LPWSTR text = nullptr;
    if (SUCCEEDED(hr)) hr = results->GetStringValue(WPD_PROPERTY_MTP_EXT_VENDOR_EXTENSION_DESCRIPTION, &text);
    if (FAILED(hr)) return hr;
    if (text) {
        wcsncpy(description, text, mtpvendor::kDescriptionChars - 1);
        description[mtpvendor::kDescriptionChars - 1] = L'\0';
    }
    CoTaskMemFree(text);
    return S_OK;
}

HRESULT GetSupportedVendorOpcodes(IPortableDevice* device, WORD* opcodes, DWORD* count) {
    *count = 0;
    CScopedComPtr<IPortableDeviceValues> parameters;
    CScopedComPtr<IPortableDeviceValues> results;
    CScopedComPtr<IPortableDevicePropVariantCollection> codes;
    HRESULT hr = NewCommand(WPD_COMMAND_ID_MTP_EXT_GET_SUPPORTED_VENDOR_OPCODES, &parameters);
    if (SUCCEEDED(hr)) hr = Send(device, parameters.Get(), &results);
    if (SUCCEEDED(hr)) {
        hr = results->GetIPortableDevicePropVariantCollectionValue(WPD_PROPERTY_MTP_EXT_VENDOR_OPERATION_CODES,
                                                                   codes.Receive());
    }
    if (SUCCEEDED(hr)) hr = codes->GetCount(count);
    if (FAILED(hr)) return hr;
    for (DWORD i = 0; i < *count && i < mtpvendor::kMaxOpcodes; ++i) {
        PROPVARIANT code;
        PropVariantInit(&code);
        opcodes[i] = 0;
        if (SUCCEEDED(codes->GetAt(i, &code)) && code.vt == VT_UI4) opcodes[i] = static_cast<WORD>(code.ulVal);
        PropVariantClear(&code);
    }
    return S_OK;
}

HRESULT GetMtpDeviceInfo(IPortableDevice* device, BYTE* reply, size_t* replyLength) {
    *replyLength = 0;
    CScopedComPtr<IPortableDeviceValues> results;
    HRESULT hr = StartOperation(device, mtpvendor::kGetDeviceInfo, &results);
    if (FAILED(hr)) return hr;
    LPWSTR context = nullptr;
    ULONGLONG totalSize = 0;
    hr = results->GetStringValue(WPD_PROPERTY_MTP_EXT_TRANSFER_CONTEXT, &context);
    if (SUCCEEDED(hr)) hr = results->GetUnsignedLargeIntegerValue(WPD_PROPERTY_MTP_EXT_TRANSFER_TOTAL_DATA_SIZE,
                                                                  &totalSize);
    if (SUCCEEDED(hr) && totalSize == 0) hr = 1;
    BYTE* data = nullptr;
    DWORD dataSize = 0;
    if (hr == S_OK) hr = ReadAndEnd(device, context ? context : L"", totalSize, &data, &dataSize);
    CoTaskMemFree(context);
    if (hr == S_OK && !data) hr = E_UNEXPECTED;
    if (hr == S_OK) {
        *replyLength = dataSize < mtpvendor::kDeviceInfoSize ? dataSize : mtpvendor::kDeviceInfoSize;
        memcpy(reply, data, *replyLength);
    }
    CoTaskMemFree(data);
    return hr;
}

HRESULT SendMtpUpdateOperation(IPortableDevice* device) {
    CScopedComPtr<IPortableDeviceValues> results;
    return StartOperation(device, mtpvendor::kStartUpdate, &results);
}
