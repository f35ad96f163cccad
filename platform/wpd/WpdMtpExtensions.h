#pragma once
// Driver commands of Windows Portable Devices that carry vendor MTP operations, with the keys of
// their parameters and results, as the platform publishes them. Clients send them through
// IPortableDevice::SendCommand.

#include "platform/wpd/PortableDevice.h"

namespace wpd_detail {
constexpr GUID kCommonCategory = Guid(0xf0422a9c, 0x5dc8, 0x4440, 0xb5, 0xbd, 0x5d, 0xf2, 0x88, 0x35, 0x65, 0x8a);
}  // namespace wpd_detail

// Every command names itself by category and id; the driver answers with its HRESULT.
inline constexpr PROPERTYKEY WPD_PROPERTY_COMMON_COMMAND_CATEGORY = {wpd_detail::kCommonCategory, 1001};
inline constexpr PROPERTYKEY WPD_PROPERTY_COMMON_COMMAND_ID = {wpd_detail::kCommonCategory, 1002};
inline constexpr PROPERTYKEY WPD_PROPERTY_COMMON_HRESULT = {wpd_detail::kCommonCategory, 1003};

inline constexpr GUID WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS =
    wpd_detail::Guid(0x4d545058, 0x1a2e, 0x4106, 0xa3, 0x57, 0x77, 0x1e, 0x08, 0x19, 0xfc, 0x56);

// Command ids of the vendor-operation category.
enum : DWORD {
    WPD_COMMAND_ID_MTP_EXT_GET_SUPPORTED_VENDOR_OPCODES = 11,
    WPD_COMMAND_ID_MTP_EXT_EXECUTE_COMMAND_WITHOUT_DATA_PHASE = 12,
    WPD_COMMAND_ID_MTP_EXT_EXECUTE_COMMAND_WITH_DATA_TO_READ = 13,
    WPD_COMMAND_ID_MTP_EXT_EXECUTE_COMMAND_WITH_DATA_TO_WRITE = 14,
    WPD_COMMAND_ID_MTP_EXT_READ_DATA = 15,
    WPD_COMMAND_ID_MTP_EXT_WRITE_DATA = 16,
    WPD_COMMAND_ID_MTP_EXT_END_DATA_TRANSFER = 17,
    WPD_COMMAND_ID_MTP_EXT_GET_VENDOR_EXTENSION_DESCRIPTION = 18,
};

inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_OPERATION_CODE = {WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS, 1001};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_OPERATION_PARAMS = {WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS, 1002};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_RESPONSE_CODE = {WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS, 1003};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_RESPONSE_PARAMS = {WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS, 1004};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_VENDOR_OPERATION_CODES = {WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS,
                                                                           1005};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_TRANSFER_CONTEXT = {WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS, 1006};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_TRANSFER_TOTAL_DATA_SIZE = {
    WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS, 1007};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_TRANSFER_NUM_BYTES_TO_READ = {
    WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS, 1008};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_TRANSFER_NUM_BYTES_READ = {WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS,
                                                                           1009};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_TRANSFER_DATA = {WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS, 1012};
inline constexpr PROPERTYKEY WPD_PROPERTY_MTP_EXT_VENDOR_EXTENSION_DESCRIPTION = {
    WPD_CATEGORY_MTP_EXT_VENDOR_OPERATIONS, 1014};

// MTP response code of an operation that completed.
constexpr DWORD kMtpResponseOk = 0x2001;
