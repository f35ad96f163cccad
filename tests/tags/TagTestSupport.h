// Builders of ID3v2 tags in memory, a collecting write stream and fixture helpers for the tag tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/media/tags/TagEditor.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagReader.h"
#include "library/media/tags/TagStream.h"

namespace tagtest {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const std::string& text);

struct Frame {
    std::string id;
    Bytes body;
    uint16_t flags = 0;
};

// A tag of that version: header, frames, padding zero bytes; then audio.
Bytes BuildTag(uint16_t version, const std::vector<Frame>& frames, uint32_t padding = 0, const Bytes& audio = {},
               uint8_t flags = 0);
// A few MPEG audio frame headers and filler: what follows a tag in an MP3 file.
Bytes FakeAudio(size_t size = 600);
// A text frame body: encoding byte then the bytes.
Bytes TextBody(uint8_t encodingByte, const Bytes& text);
Bytes MoodBody(const Bytes& payload);
Bytes UfidBody(const std::string& owner, const Bytes& id);
Bytes ApicBody(const std::string& mime, uint8_t type, const Bytes& image);

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
std::string FixturePath(const std::string& name);
// Makes the file that long without writing its bytes (a sparse file where the file system allows).
bool ResizeFile(const std::string& path, uint64_t size);
// A fresh folder for files a test writes; removed by the caller's TempDir object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string Path(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// A write stream that collects what it is given, and can be told to fail after a number of bytes.
class CCollectingWriteStream : public CTagWriteStream {
public:
    explicit CCollectingWriteStream(size_t limit = SIZE_MAX) : m_limit(limit) {}
    int32_t Write(const void* buffer, uint32_t length) override;
    int32_t Close() override { return 0; }
    Bytes bytes;

private:
    size_t m_limit;
};

// A memory stream that records its deletion.
class CTrackedStream : public CTagMemoryStream {
public:
    CTrackedStream(const void* data, uint32_t size, bool* deleted) : CTagMemoryStream(data, size), m_deleted(deleted) {}
    ~CTrackedStream() override { *m_deleted = true; }

private:
    bool* m_deleted;
};

// Opens an ID3 reader over the bytes (borrowed) and wraps it; null when the factory fails.
CTagReader* ReaderOver(const Bytes& file, int32_t* result = nullptr);
CTagEditor* EditorOver(const Bytes& file, int32_t* result = nullptr);
// The text item as bytes ("<-5>" style text when the query fails) and its encoding.
std::string TextItem(CTagReader& reader, int32_t itemType, int32_t* encoding = nullptr);
Bytes MoodPayload(CTagReader& reader, int32_t index = 0);
Bytes Save(CTagEditor& editor);

}  // namespace tagtest
