#pragma once
// Property keys, content types and object formats of Windows Portable Devices, with the values the
// platform publishes: objects written here are understood by the system's runtime and by players.

#include <windows.h>
#include <propkeydef.h>

namespace wpd_detail {
constexpr GUID Guid(unsigned long d1, unsigned short d2, unsigned short d3, unsigned char b0, unsigned char b1,
                    unsigned char b2, unsigned char b3, unsigned char b4, unsigned char b5, unsigned char b6,
                    unsigned char b7) {
    return GUID{d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}};
}
// Object formats are the MTP format code in the first 16 bits of one shared GUID.
constexpr GUID Format(unsigned short mtpCode) {
    return Guid(static_cast<unsigned long>(mtpCode) << 16, 0xae6c, 0x4804, 0x98, 0xba, 0xc5, 0x7b, 0x46, 0x96,
                0x5f, 0xe7);
}
constexpr GUID kObjectProperties = Guid(0xef6b490d, 0x5cd8, 0x437a, 0xaf, 0xfc, 0xda, 0x8b, 0x60, 0xee, 0x4a, 0x3c);
constexpr GUID kDeviceProperties = Guid(0x26d4979a, 0xe643, 0x4626, 0x9e, 0x2b, 0x73, 0x6d, 0xc0, 0xc9, 0x2f, 0xdc);
constexpr GUID kStorageProperties = Guid(0x01a3057a, 0x74d6, 0x4e80, 0xbe, 0xa7, 0xdc, 0x4c, 0x21, 0x2c, 0xe5, 0x0a);
constexpr GUID kMediaProperties = Guid(0x2ed8ba05, 0x0ad3, 0x42dc, 0xb0, 0xd0, 0xbc, 0x95, 0xac, 0x39, 0x6a, 0xc8);
constexpr GUID kMusicProperties = Guid(0xb324f56a, 0xdc5d, 0x46e5, 0xb6, 0xdf, 0xd2, 0xea, 0x41, 0x48, 0x88, 0xc6);
constexpr GUID kVideoProperties = Guid(0x346f2163, 0xf998, 0x4146, 0x8b, 0x01, 0xd1, 0x9b, 0x4c, 0x00, 0xde, 0x9a);
constexpr GUID kClientProperties = Guid(0x204d9f0c, 0x2292, 0x4080, 0x9f, 0x42, 0x40, 0x66, 0x4e, 0x70, 0xf8, 0x59);
constexpr GUID kApiOptions = Guid(0x10e54a3e, 0x052d, 0x4777, 0xa1, 0x3c, 0xde, 0x76, 0x14, 0xbe, 0x2b, 0xc4);
}  // namespace wpd_detail

// Common object properties.
inline constexpr PROPERTYKEY WPD_OBJECT_ID = {wpd_detail::kObjectProperties, 2};
inline constexpr PROPERTYKEY WPD_OBJECT_PARENT_ID = {wpd_detail::kObjectProperties, 3};
inline constexpr PROPERTYKEY WPD_OBJECT_NAME = {wpd_detail::kObjectProperties, 4};
inline constexpr PROPERTYKEY WPD_OBJECT_PERSISTENT_UNIQUE_ID = {wpd_detail::kObjectProperties, 5};
inline constexpr PROPERTYKEY WPD_OBJECT_FORMAT = {wpd_detail::kObjectProperties, 6};
inline constexpr PROPERTYKEY WPD_OBJECT_CONTENT_TYPE = {wpd_detail::kObjectProperties, 7};
inline constexpr PROPERTYKEY WPD_OBJECT_ISHIDDEN = {wpd_detail::kObjectProperties, 9};
inline constexpr PROPERTYKEY WPD_OBJECT_SIZE = {wpd_detail::kObjectProperties, 11};
inline constexpr PROPERTYKEY WPD_OBJECT_ORIGINAL_FILE_NAME = {wpd_detail::kObjectProperties, 12};
inline constexpr PROPERTYKEY WPD_OBJECT_REFERENCES = {wpd_detail::kObjectProperties, 14};
inline constexpr PROPERTYKEY WPD_OBJECT_DATE_CREATED = {wpd_detail::kObjectProperties, 18};
inline constexpr PROPERTYKEY WPD_OBJECT_DATE_MODIFIED = {wpd_detail::kObjectProperties, 19};

// Properties of the device object.
inline constexpr PROPERTYKEY WPD_DEVICE_PROTOCOL = {wpd_detail::kDeviceProperties, 6};
inline constexpr PROPERTYKEY WPD_DEVICE_MANUFACTURER = {wpd_detail::kDeviceProperties, 7};
inline constexpr PROPERTYKEY WPD_DEVICE_MODEL = {wpd_detail::kDeviceProperties, 8};
inline constexpr PROPERTYKEY WPD_DEVICE_FRIENDLY_NAME = {wpd_detail::kDeviceProperties, 12};

// Properties of a functional object, and the category that marks a storage.
inline constexpr PROPERTYKEY WPD_FUNCTIONAL_OBJECT_CATEGORY = {
    wpd_detail::Guid(0x8f052d93, 0xabca, 0x4fc5, 0xa5, 0xac, 0xb0, 0x1d, 0xf4, 0xdb, 0xe5, 0x98), 2};
inline constexpr GUID WPD_FUNCTIONAL_CATEGORY_STORAGE =
    wpd_detail::Guid(0x23f05bbc, 0x15de, 0x4c2a, 0xa5, 0x5b, 0xa9, 0xaf, 0x5c, 0xe4, 0x12, 0xef);

// Properties of a storage object.
inline constexpr PROPERTYKEY WPD_STORAGE_CAPACITY = {wpd_detail::kStorageProperties, 4};
inline constexpr PROPERTYKEY WPD_STORAGE_FREE_SPACE_IN_BYTES = {wpd_detail::kStorageProperties, 5};
inline constexpr PROPERTYKEY WPD_STORAGE_DESCRIPTION = {wpd_detail::kStorageProperties, 7};

// Media, music, audio and video properties.
inline constexpr PROPERTYKEY WPD_MEDIA_RELEASE_DATE = {wpd_detail::kMediaProperties, 14};
inline constexpr PROPERTYKEY WPD_MEDIA_SAMPLE_RATE = {wpd_detail::kMediaProperties, 15};
inline constexpr PROPERTYKEY WPD_MEDIA_TITLE = {wpd_detail::kMediaProperties, 18};
inline constexpr PROPERTYKEY WPD_MEDIA_DURATION = {wpd_detail::kMediaProperties, 19};
inline constexpr PROPERTYKEY WPD_MEDIA_WIDTH = {wpd_detail::kMediaProperties, 22};
inline constexpr PROPERTYKEY WPD_MEDIA_HEIGHT = {wpd_detail::kMediaProperties, 23};
inline constexpr PROPERTYKEY WPD_MEDIA_ARTIST = {wpd_detail::kMediaProperties, 24};
inline constexpr PROPERTYKEY WPD_MEDIA_ALBUM_ARTIST = {wpd_detail::kMediaProperties, 25};
inline constexpr PROPERTYKEY WPD_MEDIA_GENRE = {wpd_detail::kMediaProperties, 32};
inline constexpr PROPERTYKEY WPD_MUSIC_ALBUM = {wpd_detail::kMusicProperties, 3};
inline constexpr PROPERTYKEY WPD_MUSIC_TRACK = {wpd_detail::kMusicProperties, 4};
inline constexpr PROPERTYKEY WPD_AUDIO_BITRATE = {wpd_detail::kMusicProperties, 9};
inline constexpr PROPERTYKEY WPD_AUDIO_CHANNEL_COUNT = {wpd_detail::kMusicProperties, 10};
inline constexpr PROPERTYKEY WPD_VIDEO_BITRATE = {wpd_detail::kVideoProperties, 13};

// Client information given to IPortableDevice::Open.
inline constexpr PROPERTYKEY WPD_CLIENT_DESIRED_ACCESS = {wpd_detail::kClientProperties, 9};
inline constexpr PROPERTYKEY WPD_CLIENT_WMDRM_APPLICATION_PRIVATE_KEY = {wpd_detail::kClientProperties, 6};
inline constexpr PROPERTYKEY WPD_CLIENT_WMDRM_APPLICATION_CERTIFICATE = {wpd_detail::kClientProperties, 7};

// Options of object creation.
inline constexpr PROPERTYKEY WPD_API_OPTION_USE_CLEAR_DATA_STREAM = {wpd_detail::kApiOptions, 2};

// The default data resource of an object.
inline constexpr PROPERTYKEY WPD_RESOURCE_DEFAULT = {
    wpd_detail::Guid(0xe81e79be, 0x34f0, 0x41bf, 0xb5, 0x3f, 0xf1, 0xa0, 0x6a, 0xe8, 0x78, 0x42), 0};

// Content types.
inline constexpr GUID WPD_CONTENT_TYPE_FUNCTIONAL_OBJECT =
    wpd_detail::Guid(0x99ed0160, 0x17ff, 0x4c44, 0x9d, 0x98, 0x1d, 0x7a, 0x6f, 0x94, 0x19, 0x21);
inline constexpr GUID WPD_CONTENT_TYPE_FOLDER =
    wpd_detail::Guid(0x27e2e392, 0xa111, 0x48e0, 0xab, 0x0c, 0xe1, 0x77, 0x05, 0xa0, 0x5f, 0x85);
inline constexpr GUID WPD_CONTENT_TYPE_IMAGE =
    wpd_detail::Guid(0xef2107d5, 0xa52a, 0x4243, 0xa2, 0x6b, 0x62, 0xd4, 0x17, 0x6d, 0x76, 0x03);
inline constexpr GUID WPD_CONTENT_TYPE_AUDIO =
    wpd_detail::Guid(0x4ad2c85e, 0x5e2d, 0x45e5, 0x88, 0x64, 0x4f, 0x22, 0x9e, 0x3c, 0x6c, 0xf0);
inline constexpr GUID WPD_CONTENT_TYPE_VIDEO =
    wpd_detail::Guid(0x9261b03c, 0x3d78, 0x4519, 0x85, 0xe3, 0x02, 0xc5, 0xe1, 0xf5, 0x0b, 0xb9);
inline constexpr GUID WPD_CONTENT_TYPE_PLAYLIST =
    wpd_detail::Guid(0x1a33f7e4, 0xaf13, 0x48f5, 0x99, 0x4e, 0x77, 0x36, 0x9d, 0xfe, 0x04, 0xa3);
inline constexpr GUID WPD_CONTENT_TYPE_GENERIC_FILE =
    wpd_detail::Guid(0x0085e0a6, 0x8d34, 0x45d7, 0xbc, 0x5c, 0x44, 0x7e, 0x59, 0xc7, 0x3d, 0x48);
inline constexpr GUID WPD_CONTENT_TYPE_UNSPECIFIED =
    wpd_detail::Guid(0x28d8d31e, 0x249c, 0x454e, 0xaa, 0xbc, 0x34, 0x88, 0x31, 0x68, 0xe6, 0x34);

// Object formats.
inline constexpr GUID WPD_OBJECT_FORMAT_UNSPECIFIED = wpd_detail::Format(0x3000);
inline constexpr GUID WPD_OBJECT_FORMAT_PROPERTIES_ONLY = wpd_detail::Format(0x3001);
inline constexpr GUID WPD_OBJECT_FORMAT_WAVE = wpd_detail::Format(0x3008);
inline constexpr GUID WPD_OBJECT_FORMAT_MP3 = wpd_detail::Format(0x3009);
inline constexpr GUID WPD_OBJECT_FORMAT_EXIF = wpd_detail::Format(0x3801);
inline constexpr GUID WPD_OBJECT_FORMAT_WMA = wpd_detail::Format(0xb901);
inline constexpr GUID WPD_OBJECT_FORMAT_WMV = wpd_detail::Format(0xb981);
inline constexpr GUID WPD_OBJECT_FORMAT_MP4 = wpd_detail::Format(0xb982);
inline constexpr GUID WPD_OBJECT_FORMAT_3GP = wpd_detail::Format(0xb984);
inline constexpr GUID WPD_OBJECT_FORMAT_ABSTRACT_AUDIO_VIDEO_PLAYLIST = wpd_detail::Format(0xba05);
inline constexpr GUID WPD_OBJECT_FORMAT_XML = wpd_detail::Format(0xba82);

// Keys and GUIDs are compared by value everywhere (maps, look-ups).
inline bool IsSamePropertyKey(const PROPERTYKEY& a, const PROPERTYKEY& b) {
    return a.pid == b.pid && IsEqualGUID(a.fmtid, b.fmtid);
}
