#include "library/media/tags/Id3MoodData.h"

#include <cstring>

#include "library/media/tags/Id3BodyCursor.h"
#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/TagTypes.h"

namespace id3 {

const uint8_t kMoodHeader[kMoodHeaderSize] = {
    0,                                                                            // ISO-8859-1
    'A', 'p', 'p', 'l', 'i', 'c', 'a', 't', 'i', 'o', 'n', '/', 'V', 'E', 'X', 'A', 'L', 0,  // MIME type
    0,                                                                            // empty file name
    'U', 'S', 'R', '_', 'V', 'E', 'X', 'A', 'L', 0,                               // description
};

namespace {

constexpr char kMimeType[] = "application/vexal";
constexpr char kDescription[] = "USR_VEXAL";
constexpr uint32_t kDescriptionLength = sizeof(kDescription);  // with its terminator

enum Pass { kStrict, kLenient };

bool MimeMatches(const uint8_t (&bytes)[18]) {
    for (size_t i = 0; i < sizeof(bytes); ++i) {
        uint8_t c = bytes[i];
        if (c >= 'A' && c <= 'Z') c = uint8_t(c - 'A' + 'a');
        if (c != uint8_t(kMimeType[i])) return false;
        if (c == 0) return true;
    }
    return false;
}

// The description as UTF-16 units of the given order, terminator included.
void Utf16Description(bool bigEndian, uint8_t* out) {
    for (uint32_t i = 0; i < kDescriptionLength; ++i) {
        out[2 * i + (bigEndian ? 0 : 1)] = 0;
        out[2 * i + (bigEndian ? 1 : 0)] = uint8_t(kDescription[i]);
    }
}

int32_t CompareDescription(CId3BodyCursor& cursor, uint8_t encodingByte) {
    uint8_t actual[2 * kDescriptionLength];
    uint8_t big[2 * kDescriptionLength], little[2 * kDescriptionLength];
    Utf16Description(true, big);
    Utf16Description(false, little);
    int32_t result;
    if (CharacterWidth(encodingByte) == 1) {
        result = cursor.Read(actual, kDescriptionLength);
        if (result != tag::kOk) return result;
        return std::memcmp(actual, kDescription, kDescriptionLength) == 0 ? tag::kOk : 1;
    }
    if (encodingByte == 1) {
        uint8_t mark[2];
        result = cursor.Read(mark, 2);
        if (result != tag::kOk) return result;
        bool bigEndian = mark[0] == 0xFE && mark[1] == 0xFF;
        if (!bigEndian && !(mark[0] == 0xFF && mark[1] == 0xFE)) return tag::kMalformed;
        result = cursor.Read(actual, sizeof(actual));
        if (result != tag::kOk) return result;
        return std::memcmp(actual, bigEndian ? big : little, sizeof(actual)) == 0 ? tag::kOk : 1;
    }
    result = cursor.Read(actual, sizeof(actual));
    if (result != tag::kOk) return result;
    return std::memcmp(actual, big, sizeof(actual)) == 0 || std::memcmp(actual, little, sizeof(actual)) == 0 ? tag::kOk
                                                                                                              : 1;
}

int32_t RunPass(CTagStream* stream, uint32_t bodyOffset, uint32_t bodySize, Pass pass, uint32_t* payloadSize) {
    CId3BodyCursor cursor(stream, bodyOffset, bodySize);
    int32_t result = cursor.Start();
    uint8_t encodingByte;
    if (result == tag::kOk) result = cursor.Read(&encodingByte, 1);
    if (result != tag::kOk) return result;
    int width = CharacterWidth(encodingByte);
    uint8_t mime[18];
    result = cursor.Read(mime, sizeof(mime));
    if (result != tag::kOk) return result;
    if (!MimeMatches(mime)) return 1;
    result = cursor.SkipString(width);
    if (result != tag::kOk) return result;
    result = pass == kStrict ? CompareDescription(cursor, encodingByte) : cursor.SkipString(width);
    if (result != tag::kOk) return result;
    *payloadSize = cursor.Remaining();
    return tag::kOk;
}

}  // namespace

int32_t LocateMoodPayload(CTagStream* stream, const CId3FrameHeader& header, uint32_t* payloadSize) {
    return LocateMoodPayload(stream, header.bodyOffset, header.bodySize, payloadSize);
}

int32_t LocateMoodPayload(CTagStream* stream, uint32_t bodyOffset, uint32_t bodySize, uint32_t* payloadSize) {
    if (RunPass(stream, bodyOffset, bodySize, kStrict, payloadSize) == tag::kOk) return tag::kOk;
    // Files written by other tools name the object differently; the MIME type alone marks it.
    return RunPass(stream, bodyOffset, bodySize, kLenient, payloadSize) == tag::kOk ? tag::kOk : 1;
}

}  // namespace id3
