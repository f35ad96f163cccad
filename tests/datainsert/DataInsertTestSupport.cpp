#include "tests/datainsert/DataInsertTestSupport.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace insert_test {

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring NewScratchFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(GetTickCount()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring MediaFixture(const wchar_t* name) {
    std::wstring root;
    for (const char* c = QB_TEST_DATA_DIR; *c != '\0'; ++c) root += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
    return root + L"\\mediaprobe\\" + name;
}

std::string CoverBytes() {
    static const unsigned char kJpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01,
                                          0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xD9};
    return std::string(reinterpret_cast<const char*>(kJpeg), sizeof(kJpeg));
}

CTNContent* NewSong(const std::wstring& source, uint32_t mediaType) {
    CTNContent* content = new CTNContent(0, CTNContent::kSong);
    content->sourcePath = source;
    content->fileType = mediaType;
    const size_t slash = source.find_last_of(L'\\');
    content->relativePath = L"Music\\" + source.substr(slash + 1);
    return content;
}

}  // namespace insert_test
