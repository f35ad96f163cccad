// The bytes of an ASF file that describes its streams: the header object with the file properties,
// one stream properties object per stream and the header extension, then an empty data object.
#include <windows.h>
#include <mmreg.h>
#include <objbase.h>

#include <cstring>

#include "standins/wmf/AsfWriterStandin.h"

namespace standin {

namespace {

const GUID kHeaderObject = {0x75B22630, 0x668E, 0x11CF, {0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C}};
const GUID kDataObject = {0x75B22636, 0x668E, 0x11CF, {0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C}};
const GUID kFilePropertiesObject = {0x8CABDCA1, 0xA947, 0x11CF, {0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65}};
const GUID kStreamPropertiesObject = {0xB7DC0791, 0xA9B7, 0x11CF, {0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65}};
const GUID kHeaderExtensionObject = {0x5FBF03B5, 0xA92E, 0x11CF, {0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65}};
const GUID kHeaderExtensionReserved = {0xABD3D211, 0xA9BA, 0x11CF, {0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65}};
const GUID kAudioMedia = {0xF8699E40, 0x5B4D, 0x11CF, {0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B}};
const GUID kVideoMedia = {0xBC19EFC0, 0x5B4D, 0x11CF, {0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B}};
const GUID kNoErrorCorrection = {0x20FB5700, 0x5B55, 0x11CF, {0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B}};
constexpr DWORD kPacketSize = 3200;
constexpr QWORD kPrerollMs = 3000;
// What the encoder puts behind the video's bitmap header: a WMV 9 main-profile sequence header.
const BYTE kWmv3SequenceHeader[] = {0x4E, 0x09, 0x1A, 0x01};
// Offset of the bitmap header inside a VIDEOINFOHEADER (two rectangles, two DWORDs, a time).
constexpr size_t kBitmapHeaderOffset = 48;

// Appends little-endian values (the layout of every ASF field).
class CAsfBytes {
public:
    void Guid(const GUID& guid) {
        Put(guid.Data1);
        Put(guid.Data2);
        Put(guid.Data3);
        Bytes(guid.Data4, sizeof(guid.Data4));
    }
    template <class T>
    void Put(T value) {
        for (size_t i = 0; i < sizeof(T); ++i) bytes_.push_back(static_cast<BYTE>(static_cast<unsigned long long>(value) >> (8 * i)));
    }
    void Bytes(const void* data, size_t size) {
        const BYTE* begin = static_cast<const BYTE*>(data);
        bytes_.insert(bytes_.end(), begin, begin + size);
    }
    void Append(const CAsfBytes& other) { bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end()); }
    QWORD Size() const { return bytes_.size(); }
    std::vector<BYTE>& Data() { return bytes_; }

private:
    std::vector<BYTE> bytes_;
};

// The type-specific data of a stream; empty when its format cannot be described.
std::vector<BYTE> TypeSpecificData(const AsfStream& stream) {
    CAsfBytes data;
    if (IsEqualGUID(stream.type, WMMEDIATYPE_Audio)) {
        if (stream.format.size() < sizeof(WAVEFORMATEX)) return {};
        data.Bytes(stream.format.data(), stream.format.size());
    } else {
        if (stream.format.size() < kBitmapHeaderOffset + sizeof(BITMAPINFOHEADER)) return {};
        BITMAPINFOHEADER bitmap;
        std::memcpy(&bitmap, stream.format.data() + kBitmapHeaderOffset, sizeof(bitmap));
        data.Put(static_cast<DWORD>(bitmap.biWidth));
        data.Put(static_cast<DWORD>(bitmap.biHeight));
        data.Put(static_cast<BYTE>(2));
        bitmap.biSize = sizeof(BITMAPINFOHEADER) + sizeof(kWmv3SequenceHeader);
        data.Put(static_cast<WORD>(bitmap.biSize));
        data.Bytes(&bitmap, sizeof(bitmap));
        data.Bytes(kWmv3SequenceHeader, sizeof(kWmv3SequenceHeader));
    }
    return data.Data();
}

}  // namespace

std::vector<BYTE> BuildAsfFile(const std::vector<AsfStream>& streams, ULONGLONG duration) {
    GUID fileId = {};
    CoCreateGuid(&fileId);
    DWORD maxBitrate = 0;
    CAsfBytes children;
    DWORD objects = 0;
    for (const AsfStream& stream : streams) {
        const std::vector<BYTE> specific = TypeSpecificData(stream);
        if (specific.empty()) continue;
        maxBitrate += stream.bitrate;
        children.Guid(kStreamPropertiesObject);
        children.Put(static_cast<QWORD>(78 + specific.size()));
        children.Guid(IsEqualGUID(stream.type, WMMEDIATYPE_Audio) ? kAudioMedia : kVideoMedia);
        children.Guid(kNoErrorCorrection);
        children.Put(static_cast<QWORD>(0));  // time offset
        children.Put(static_cast<DWORD>(specific.size()));
        children.Put(static_cast<DWORD>(0));  // error correction data
        children.Put(static_cast<WORD>(stream.number & 0x7F));
        children.Put(static_cast<DWORD>(0));
        children.Bytes(specific.data(), specific.size());
        ++objects;
    }
    children.Guid(kHeaderExtensionObject);
    children.Put(static_cast<QWORD>(46));
    children.Guid(kHeaderExtensionReserved);
    children.Put(static_cast<WORD>(6));
    children.Put(static_cast<DWORD>(0));
    ++objects;

    const QWORD headerSize = 30 + 104 + children.Size();
    const QWORD dataSize = 50;
    CAsfBytes file;
    file.Guid(kHeaderObject);
    file.Put(headerSize);
    file.Put(static_cast<DWORD>(objects + 1));
    file.Put(static_cast<BYTE>(1));
    file.Put(static_cast<BYTE>(2));
    file.Guid(kFilePropertiesObject);
    file.Put(static_cast<QWORD>(104));
    file.Guid(fileId);
    file.Put(headerSize + dataSize);
    file.Put(static_cast<QWORD>(0));  // creation date
    file.Put(static_cast<QWORD>(0));  // data packets
    file.Put(static_cast<QWORD>(duration + kPrerollMs * 10000));
    file.Put(static_cast<QWORD>(duration));
    file.Put(kPrerollMs);
    file.Put(static_cast<DWORD>(2));  // seekable
    file.Put(kPacketSize);
    file.Put(kPacketSize);
    file.Put(maxBitrate);
    file.Append(children);
    file.Guid(kDataObject);
    file.Put(dataSize);
    file.Guid(fileId);
    file.Put(static_cast<QWORD>(0));
    file.Put(static_cast<WORD>(0x0101));
    return file.Data();
}

}  // namespace standin
