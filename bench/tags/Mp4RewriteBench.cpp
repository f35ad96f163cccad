// Rewriting the tags of a 200 MiB MP4 file whose moov stands before mdat, against one plain copy
// of the file (goal: at most 1.2 times the copy), and reading its tags, which must not read any
// byte of the media data.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"

namespace {

constexpr uint32_t kMediaSize = 200u << 20;
constexpr uint32_t kChunks = 20000;

void Put32(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(value >> shift));
}

void PutBox(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& payload) {
    Put32(out, uint32_t(payload.size() + 8));
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), payload.begin(), payload.end());
}

std::vector<uint8_t> Nest(const char* type, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> box;
    PutBox(&box, type, payload);
    return box;
}

// ftyp, moov (one track with an stco of kChunks entries and an ilst with a title), mdat.
std::vector<uint8_t> Head(uint32_t mediaStart) {
    std::vector<uint8_t> stco(4, 0);
    Put32(&stco, kChunks);
    for (uint32_t i = 0; i < kChunks; ++i) Put32(&stco, mediaStart + i * (kMediaSize / kChunks));
    std::vector<uint8_t> title{0, 0, 0, 1, 0, 0, 0, 0, 'O', 'l', 'd'};
    std::vector<uint8_t> meta(4, 0), hdlr(25, 0);
    hdlr[8] = 'm', hdlr[9] = 'd', hdlr[10] = 'i', hdlr[11] = 'r';
    PutBox(&meta, "hdlr", hdlr);
    PutBox(&meta, "ilst", Nest("\xA9nam", Nest("data", title)));
    std::vector<uint8_t> moovBody = Nest("trak", Nest("mdia", Nest("minf", Nest("stbl", Nest("stco", stco)))));
    PutBox(&moovBody, "udta", Nest("meta", meta));
    std::vector<uint8_t> head;
    PutBox(&head, "ftyp", {'M', '4', 'A', ' ', 0, 0, 0, 0, 'M', '4', 'A', ' ', 'i', 's', 'o', 'm'});
    PutBox(&head, "moov", moovBody);
    Put32(&head, kMediaSize + 8);
    head.insert(head.end(), {'m', 'd', 'a', 't'});
    return head;
}

bool WriteMovie(const std::wstring& path) {
    std::vector<uint8_t> head = Head(0);
    head = Head(uint32_t(head.size()));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written;
    bool ok = WriteFile(file, head.data(), DWORD(head.size()), &written, nullptr) != 0;
    std::vector<uint8_t> block(1 << 20);
    for (uint32_t done = 0; ok && done < kMediaSize; done += uint32_t(block.size())) {
        for (size_t i = 0; i < block.size(); i += 4096) block[i] = uint8_t(done >> 20);
        ok = WriteFile(file, block.data(), DWORD(block.size()), &written, nullptr) != 0;
    }
    CloseHandle(file);
    return ok;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

std::string Utf8(const std::wstring& wide) {
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    if (length > 1) WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &out[0], length, nullptr, nullptr);
    return out;
}

// Counts the bytes read from inside the media data.
class CCountingStream : public CTagStream {
public:
    CCountingStream(CTagStream* inner, uint32_t mediaStart) : m_inner(inner), m_mediaStart(mediaStart) {}
    ~CCountingStream() override { delete m_inner; }
    int32_t Read(void* buffer, uint32_t length) override {
        uint32_t position = 0;
        m_inner->Tell(&position);
        const uint64_t end = uint64_t(position) + length;
        if (end > m_mediaStart) mediaBytes += end - (position > m_mediaStart ? position : m_mediaStart);
        totalBytes += length;
        return m_inner->Read(buffer, length);
    }
    int32_t Seek(int64_t offset, int32_t origin) override { return m_inner->Seek(offset, origin); }
    int32_t Tell(uint32_t* position) override { return m_inner->Tell(position); }
    int32_t GetSize(uint32_t* size) override { return m_inner->GetSize(size); }
    int32_t Close() override { return m_inner->Close(); }
    uint64_t mediaBytes = 0;
    uint64_t totalBytes = 0;

private:
    CTagStream* m_inner;
    uint32_t m_mediaStart;
};

}  // namespace

int main() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const std::wstring stem = std::wstring(base) + L"qb_mp4_bench_" + std::to_wstring(GetCurrentProcessId());
    const std::wstring source = stem + L".m4a", copy = stem + L"-copy.m4a", edited = stem + L"-edited.m4a";
    if (!WriteMovie(source)) {
        std::printf("could not write the source file\n");
        return 1;
    }
    // Warm the cache, then time one plain copy in 64 KiB blocks.
    LARGE_INTEGER started, copied, rewritten;
    for (int pass = 0; pass < 2; ++pass) {
        QueryPerformanceCounter(&started);
        FILE* in = _wfopen(source.c_str(), L"rb");
        FILE* out = _wfopen(copy.c_str(), L"wb");
        if (!in || !out) return 1;
        std::vector<char> block(65536);
        size_t got;
        while ((got = std::fread(block.data(), 1, block.size(), in)) > 0) std::fwrite(block.data(), 1, got, out);
        std::fclose(in);
        std::fclose(out);
        QueryPerformanceCounter(&copied);
    }
    const double copySeconds = Seconds(started, copied);

    QueryPerformanceCounter(&started);
    std::unique_ptr<CTagEditor> editor(OpenTagEditorByType(Utf8(source).c_str(), kTagReaderMp4Kind1));
    if (!editor) {
        std::printf("could not open the editor\n");
        return 1;
    }
    const std::string title = "A new and somewhat longer title";
    editor->SetItem(tag::kItemTitle, new CTagMemoryStream(title.data(), uint32_t(title.size())),
                    uint32_t(title.size()), tag::kEncodingUtf8, 0, true);
    const int32_t saved = editor->Save(OpenTagWriteStream(Utf8(edited).c_str()), true);
    editor.reset();
    QueryPerformanceCounter(&rewritten);
    const double rewriteSeconds = Seconds(started, rewritten);
    std::printf("rewrite of a %u MiB MP4 (moov before mdat): %.3f s, one copy %.3f s, ratio %.2f (goal <= 1.2), result %d\n",
                kMediaSize >> 20, rewriteSeconds, copySeconds, rewriteSeconds / copySeconds, saved);

    // Reading the tags: every query parses the file once.
    // The edited file's media data starts later by the growth of its moov.
    WIN32_FILE_ATTRIBUTE_DATA sourceData, editedData;
    GetFileAttributesExW(source.c_str(), GetFileExInfoStandard, &sourceData);
    GetFileAttributesExW(edited.c_str(), GetFileExInfoStandard, &editedData);
    const uint32_t mediaStart = uint32_t(Head(0).size()) + (editedData.nFileSizeLow - sourceData.nFileSizeLow);
    CCountingStream* counting = new CCountingStream(OpenTagReadStream(Utf8(edited).c_str()), mediaStart);
    CTagParser* parser = nullptr;
    if (CreateMp4Reader(counting, &parser, kMp4KindAudio, false) != 0) return 1;
    std::unique_ptr<CTagReader> reader(new CTagReader(parser, true));
    char text[64];
    uint32_t size = sizeof(text);
    int32_t encoding;
    const int32_t found = reader->GetTextItem(tag::kItemTitle, text, &size, &encoding);
    uint32_t pictures = 0;
    reader->CountPictures(tag::kPictureAnyType, &pictures);
    reader.reset();
    std::printf("reading the tags: title %s (%.*s), %llu bytes read, of them %llu inside the media data (goal 0)\n",
                found == 0 ? "found" : "missing", int(size), text, (unsigned long long)counting->totalBytes,
                (unsigned long long)counting->mediaBytes);
    delete counting;
    DeleteFileW(source.c_str());
    DeleteFileW(copy.c_str());
    DeleteFileW(edited.c_str());
    return 0;
}
