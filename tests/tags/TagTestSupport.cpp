#include "tests/tags/TagTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#include <gtest/gtest.h>

#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagFactories.h"

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tagtest {

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes BuildTag(uint16_t version, const std::vector<Frame>& frames, uint32_t padding, const Bytes& audio, uint8_t flags) {
    Bytes body;
    for (const Frame& frame : frames) {
        body.insert(body.end(), frame.id.begin(), frame.id.end());
        uint32_t size = uint32_t(frame.body.size());
        if (version == 0x0200) {
            body.insert(body.end(), {uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)});
        } else {
            uint8_t field[4];
            if (version == 0x0400) {
                id3::WriteSynchsafe(size, field);
            } else {
                field[0] = uint8_t(size >> 24), field[1] = uint8_t(size >> 16), field[2] = uint8_t(size >> 8);
                field[3] = uint8_t(size);
            }
            body.insert(body.end(), field, field + 4);
            body.insert(body.end(), {uint8_t(frame.flags >> 8), uint8_t(frame.flags)});
        }
        body.insert(body.end(), frame.body.begin(), frame.body.end());
    }
    body.insert(body.end(), padding, 0);
    Bytes file = {'I', 'D', '3', uint8_t(version >> 8), uint8_t(version), flags, 0, 0, 0, 0};
    id3::WriteSynchsafe(uint32_t(body.size()), file.data() + 6);
    file.insert(file.end(), body.begin(), body.end());
    file.insert(file.end(), audio.begin(), audio.end());
    return file;
}

Bytes FakeAudio(size_t size) {
    Bytes audio(size);
    std::mt19937 random(7);
    for (uint8_t& byte : audio) byte = uint8_t(random());
    for (size_t at = 0; at + 4 <= size; at += 209) {
        audio[at] = 0xFF, audio[at + 1] = 0xFB, audio[at + 2] = 0x90, audio[at + 3] = 0x64;
    }
    return audio;
}

Bytes TextBody(uint8_t encodingByte, const Bytes& text) {
    Bytes body{encodingByte};
    body.insert(body.end(), text.begin(), text.end());
    return body;
}

Bytes MoodBody(const Bytes& payload) {
    Bytes body{0};
    std::string fields("Application/VEXAL\0\0USR_VEXAL\0", 29);
    body.insert(body.end(), fields.begin(), fields.end());
    body.insert(body.end(), payload.begin(), payload.end());
    return body;
}

Bytes UfidBody(const std::string& owner, const Bytes& id) {
    Bytes body(owner.begin(), owner.end());
    body.push_back(0);
    body.insert(body.end(), id.begin(), id.end());
    return body;
}

Bytes ApicBody(const std::string& mime, uint8_t type, const Bytes& image) {
    Bytes body{0};
    body.insert(body.end(), mime.begin(), mime.end());
    body.push_back(0);
    body.push_back(type);
    body.push_back(0);
    body.insert(body.end(), image.begin(), image.end());
    return body;
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string FixturePath(const std::string& name) { return std::string(QB_TEST_DATA_DIR) + "/tags/" + name; }

#ifdef _WIN32
namespace {

// Test paths are UTF-8, as the library takes them; the W file APIs take UTF-16.
std::wstring WidePath(const std::string& utf8) {
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? size_t(length) : 1, L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::string Utf8Path(const std::wstring& wide) {
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(length > 0 ? size_t(length) : 1, '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(strlen(utf8.c_str()));
    return utf8;
}

}  // namespace
#endif

TempDir::TempDir() {
#ifdef _WIN32
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    wchar_t name[MAX_PATH];
    GetTempFileNameW(base, L"tag", 0, name);
    DeleteFileW(name);
    CreateDirectoryW(name, nullptr);
    m_path = Utf8Path(name);
#else
    char pattern[] = "/tmp/tags_tests.XXXXXX";
    m_path = mkdtemp(pattern);
#endif
}

TempDir::~TempDir() {
#ifdef _WIN32
    // Wide names: the tests write files whose names are not in the ANSI code page.
    const std::wstring folder = WidePath(m_path);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (!RemoveDirectoryW(folder.c_str())) ADD_FAILURE() << "could not remove " << m_path;
#else
    std::string command = "rm -rf '" + m_path + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "could not remove " << m_path;
#endif
}

bool ResizeFile(const std::string& path, uint64_t size) {
#ifdef _WIN32
    HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(size);
    bool resized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return resized;
#else
    int file = open(path.c_str(), O_WRONLY | O_CREAT, 0666);
    if (file < 0) return false;
    bool resized = ftruncate(file, off_t(size)) == 0;
    close(file);
    return resized;
#endif
}

int32_t CCollectingWriteStream::Write(const void* buffer, uint32_t length) {
    if (!buffer) return -2;
    const uint8_t* data = static_cast<const uint8_t*>(buffer);
    size_t room = m_limit - bytes.size();
    bytes.insert(bytes.end(), data, data + std::min<size_t>(length, room));
    return length <= room ? 0 : -9;
}

CTagReader* ReaderOver(const Bytes& file, int32_t* result) {
    CTagParser* parser = nullptr;
    int32_t created = CreateId3Reader(new CTagMemoryStream(file.data(), uint32_t(file.size())), &parser, true);
    if (result) *result = created;
    return created == 0 ? new CTagReader(parser, true) : nullptr;
}

CTagEditor* EditorOver(const Bytes& file, int32_t* result) {
    CTagEditor* editor = nullptr;
    int32_t created = CreateId3Editor(new CTagMemoryStream(file.data(), uint32_t(file.size())), &editor, true);
    if (result) *result = created;
    return created == 0 ? editor : nullptr;
}

std::string TextItem(CTagReader& reader, int32_t itemType, int32_t* encoding) {
    uint32_t size = 0;
    int32_t found = 0;
    int32_t result = reader.GetTextItem(itemType, nullptr, &size, &found);
    if (result != 0) return "<" + std::to_string(result) + ">";
    std::string text(size, '\0');
    result = reader.GetTextItem(itemType, &text[0], &size, &found);
    if (result != 0) return "<" + std::to_string(result) + ">";
    if (encoding) *encoding = found;
    return text;
}

Bytes MoodPayload(CTagReader& reader, int32_t index) {
    uint32_t offset = 0, size = 0;
    if (reader.FindMoodData(index, &offset, &size) != 0) return {};
    Bytes payload(size);
    EXPECT_EQ(0, reader.ReadObjectData(offset, size, 0, payload.data(), size));
    return payload;
}

Bytes Save(CTagEditor& editor) {
    CCollectingWriteStream output;
    EXPECT_EQ(0, editor.Save(&output, false));
    return output.bytes;
}

}  // namespace tagtest
