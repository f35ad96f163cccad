#include "StandinLibrary.h"

#include "library/util/TextConversion.h"
#include "platform/com/CLocalServer.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <sstream>

namespace {

const wchar_t kKey[] = L"Software\\Quillbay\\Standins\\iTunes";
// A stalled call gives up after this, so a server nobody ends does not stay forever.
const DWORD kStallLimitMs = 120000;

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return wchar_t(std::towlower(c)); });
    return text;
}

bool Contains(const std::wstring& field, const std::wstring& lowerText) {
    return Lower(field).find(lowerText) != std::wstring::npos;
}

std::vector<std::wstring> Fields(const std::string& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find('\t', start);
        if (end == std::string::npos) end = line.size();
        fields.push_back(Utf8ToWideLenient(line.data() + start, end - start));
        start = end + 1;
    }
    return fields;
}

std::string FixtureText() {
    wchar_t path[MAX_PATH];
    DWORD bytes = sizeof(path);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, L"Library", RRF_RT_REG_SZ, nullptr, path, &bytes) != ERROR_SUCCESS) {
        return std::string();
    }
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

std::shared_ptr<const CStandinLibrary> CStandinLibrary::Load() {
    auto library = std::make_shared<CStandinLibrary>();
    library->Parse(FixtureText());
    return library;
}

void CStandinLibrary::Parse(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    size_t current = 0;  // 0: no playlist started yet (playlist 0 is the library)
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::wstring> fields = Fields(line);
        const std::wstring& tag = fields[0];
        if (tag == L"version" && fields.size() >= 2 && fields[1] == L"refuse") {
            refusesVersion = true;
        } else if (tag == L"version" && fields.size() >= 3) {
            majorVersion = _wtol(fields[1].c_str());
            minorVersion = _wtol(fields[2].c_str());
        } else if (tag == L"playlist" && fields.size() >= 2) {
            playlists.push_back(StandinPlaylist{fields[1], {}});
            current = playlists.size() - 1;
        } else if (tag == L"selection") {
            playlists.push_back(StandinPlaylist{std::wstring(), {}});
            current = playlists.size() - 1;
            selection = current;
        } else if (tag == L"delay" && fields.size() >= 2) {
            itemDelayMs = std::wcstoul(fields[1].c_str(), nullptr, 10);
        } else if (tag == L"log" && fields.size() >= 2) {
            logPath = fields[1];
        } else if ((tag == L"file" && fields.size() >= 6) || (tag == L"url" && fields.size() >= 2) ||
                   (tag == L"broken" && fields.size() >= 2) || (tag == L"stall" && fields.size() >= 2)) {
            StandinTrack track;
            track.isFile = tag == L"file" || tag == L"broken";
            track.nameFails = tag == L"broken";
            track.stalls = tag == L"stall";
            if (track.stalls) stallEvent = fields[1];
            track.name = tag == L"file" ? fields[2] : fields[1];
            if (tag == L"broken") track.location = fields[1];
            if (tag == L"file") {
                track.location = fields[1];
                track.artist = fields[3];
                track.album = fields[4];
                track.isPodcast = fields[5] == L"1";
                if (fields.size() >= 7) track.artworkFormat = _wtol(fields[6].c_str());
            }
            tracks.push_back(track);
            playlists[0].tracks.push_back(tracks.size() - 1);
            if (current != 0) playlists[current].tracks.push_back(tracks.size() - 1);
        }
    }
}

void CStandinLibrary::Log(const std::wstring& line) const {
    if (logPath.empty()) return;
    std::string text;
    if (!WideToUtf8(line, &text)) return;
    std::ofstream file(logPath.c_str(), std::ios::binary | std::ios::app);
    file << text << "\n";
}

std::vector<size_t> CStandinLibrary::Search(size_t playlist, const std::wstring& text, long field) const {
    std::vector<size_t> found;
    if (playlist >= playlists.size() || text.empty()) return found;
    const std::wstring wanted = Lower(text);
    for (size_t index : playlists[playlist].tracks) {
        const StandinTrack& track = tracks[index];
        bool match = false;
        switch (field) {
            case 1: match = Contains(track.name, wanted) || Contains(track.artist, wanted) ||
                            Contains(track.album, wanted); break;
            case 2: match = Contains(track.artist, wanted); break;
            case 3: match = Contains(track.album, wanted); break;
            case 5: match = Contains(track.name, wanted); break;
            default: break;  // the fixture knows no composers
        }
        if (match) found.push_back(index);
    }
    return found;
}

void CStandinLibrary::Stall() const {
    CLocalServer::RevokeClassObjects();
    const DWORD process = GetCurrentProcessId();
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"ServerProcess", REG_DWORD, &process, sizeof(process));
    HANDLE stalled = OpenEventW(EVENT_MODIFY_STATE, FALSE, stallEvent.c_str());
    if (stalled) {
        SetEvent(stalled);
        CloseHandle(stalled);
    }
    Sleep(kStallLimitMs);
}
