#include "standins/wmf/AsfFileWriter.h"

#include <windows.h>
#include <mmreg.h>
#include <objbase.h>

#include <cstring>

#include "platform/wmf/WindowsMedia.h"

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
constexpr QWORD kDataObjectHeaderSize = 50;
// A packet: error correction (3), flags and property bytes (2), padding length (2), send time (4),
// duration (2); its one payload: stream (1), object number (1), offset (4), replicated data
// length (1), replicated data: object size and presentation time (8). The object fills the rest.
constexpr DWORD kPacketHeaderSize = 28;
constexpr DWORD kMaxObjectSize = kPacketSize - kPacketHeaderSize;
constexpr BYTE kStandardErrorCorrection = 0x82;
constexpr BYTE kPaddingLengthWord = 0x10;
// Replicated data length a byte, offset a DWORD, object number a byte, stream number a byte.
constexpr BYTE kPropertyFlags = 0x5D;
constexpr BYTE kKeyFrame = 0x80;
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

// The header object and the head of the data object that follows it.
std::vector<BYTE> HeaderBytes(const std::vector<AsfStream>& streams, const GUID& fileId, QWORD packets, ULONGLONG duration) {
    DWORD maxBitrate = 0;
    CAsfBytes children;
    DWORD objects = 0;
    for (const AsfStream& stream : streams) {
        const std::vector<BYTE> specific = TypeSpecificData(stream);
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
    const QWORD dataSize = kDataObjectHeaderSize + packets * kPacketSize;
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
    file.Put(packets);
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
    file.Put(packets);
    file.Put(static_cast<WORD>(0x0101));
    return file.Data();
}

// A time in 100-ns units as the milliseconds of a packet field, after the preroll.
DWORD PacketTimeMs(REFERENCE_TIME time) {
    const ULONGLONG ms = (time > 0 ? static_cast<ULONGLONG>(time) / 10000 : 0) + kPrerollMs;
    return ms > MAXDWORD ? MAXDWORD : static_cast<DWORD>(ms);
}

}  // namespace

HRESULT CAsfFileWriter::Open(const std::wstring& name, const std::vector<AsfStream>& streams) {
    streams_.clear();
    for (const AsfStream& stream : streams) {
        // A stream whose format cannot be described is left out of the file.
        if (!TypeSpecificData(stream).empty()) streams_.push_back(stream);
    }
    CoCreateGuid(&fileId_);
    packets_ = 0;
    std::memset(objectNumbers_, 0, sizeof(objectNumbers_));
    file_.Reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_.IsValid()) return HRESULT_FROM_WIN32(GetLastError());
    const HRESULT hr = WriteHeader(0);
    if (FAILED(hr)) file_.Reset();
    return hr;
}

HRESULT CAsfFileWriter::WriteSample(WORD stream, REFERENCE_TIME start, REFERENCE_TIME end, bool keyFrame, const BYTE* data,
                                    size_t size) {
    if (!file_.IsValid()) return E_UNEXPECTED;
    bool described = false;
    for (const AsfStream& candidate : streams_) described = described || candidate.number == stream;
    if (!described) return S_FALSE;
    const DWORD objectSize = size < kMaxObjectSize ? static_cast<DWORD>(size) : kMaxObjectSize;
    const DWORD presentation = PacketTimeMs(start);
    const DWORD durationMs = end > start ? PacketTimeMs(end) - presentation : 0;
    CAsfBytes packet;
    packet.Put(kStandardErrorCorrection);
    packet.Put(static_cast<WORD>(0));
    packet.Put(kPaddingLengthWord);
    packet.Put(kPropertyFlags);
    packet.Put(static_cast<WORD>(kMaxObjectSize - objectSize));
    packet.Put(presentation);  // send time
    packet.Put(static_cast<WORD>(durationMs > 0xFFFF ? 0xFFFF : durationMs));
    packet.Put(static_cast<BYTE>((stream & 0x7F) | (keyFrame ? kKeyFrame : 0)));
    packet.Put(objectNumbers_[stream & 0x7F]++);
    packet.Put(static_cast<DWORD>(0));  // offset into the object: it is whole
    packet.Put(static_cast<BYTE>(8));
    packet.Put(objectSize);
    packet.Put(presentation);
    if (objectSize != 0) packet.Bytes(data, objectSize);
    packet.Data().resize(kPacketSize);
    const HRESULT hr = WriteBytes(packet.Data());
    if (SUCCEEDED(hr)) ++packets_;
    return hr;
}

HRESULT CAsfFileWriter::Finish(ULONGLONG duration) {
    if (!file_.IsValid()) return E_UNEXPECTED;
    HRESULT hr = S_OK;
    if (SetFilePointer(file_.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
        hr = HRESULT_FROM_WIN32(GetLastError());
    } else {
        hr = WriteHeader(duration);
    }
    file_.Reset();
    return hr;
}

HRESULT CAsfFileWriter::WriteHeader(ULONGLONG duration) { return WriteBytes(HeaderBytes(streams_, fileId_, packets_, duration)); }

HRESULT CAsfFileWriter::WriteBytes(const std::vector<BYTE>& bytes) {
    DWORD done = 0;
    if (!::WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return done == bytes.size() ? S_OK : E_FAIL;
}


}  // namespace standin
