#include "tests/transfer/CarAudioTestSupport.h"

#include "library/media/tags/Id3MoodData.h"
#include "tests/util/UtilTestSupport.h"

namespace {

void AppendBigEndian32(std::string& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
}

}  // namespace

std::vector<uint8_t> MoodClassPayload() {
    const std::string folder = QB_TEST_DATA_DIR "/transfer/";
    std::string bytes;
    ReadWholeFile(std::wstring(folder.begin(), folder.end()) + L"mood-class1.bin", &bytes);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::string SongWithMoodData(const std::vector<uint8_t>& payload) {
    std::string body(reinterpret_cast<const char*>(id3::kMoodHeader), id3::kMoodHeaderSize);
    body.append(payload.begin(), payload.end());
    std::string frame = "GEOB";
    AppendBigEndian32(frame, static_cast<uint32_t>(body.size()));
    frame.append(2, '\0');
    frame += body;
    std::string tag = "ID3";
    tag.push_back(3);
    tag.append(2, '\0');
    // The tag size is syncsafe: seven bits a byte.
    const uint32_t size = static_cast<uint32_t>(frame.size());
    for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(static_cast<char>((size >> shift) & 0x7F));
    return tag + frame + std::string("\xFF\xFB\x90\x00audio", 9);
}

std::string ChannelEntryBytes(const std::wstring& trackPath) {
    std::string bytes;
    for (wchar_t unit : trackPath) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}
