#include "library/util/ShellFolders.h"

#include "library/util/SystemSettings.h"

#include <windows.h>
#include <shlobj.h>

namespace {

std::wstring WithoutTrailingBackslashes(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

std::wstring GetShellFolder(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || items == nullptr) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListW(items, path);
    CoTaskMemFree(items);
    return ok ? std::wstring(path) : std::wstring();
}

std::wstring GetMyMusicFolder() { return GetShellFolder(CSIDL_MYMUSIC); }
std::wstring GetMyVideosFolder() { return GetShellFolder(CSIDL_MYVIDEO); }
std::wstring GetMyDocumentsFolder() { return GetShellFolder(CSIDL_PERSONAL); }

std::wstring GetITunesMusicFolder() { return GetMyMusicFolder() + L"\\iTunes\\iTunes Music"; }
std::wstring GetITunesMediaMusicFolder() { return GetMyMusicFolder() + L"\\iTunes\\iTunes Media\\Music"; }
std::wstring GetITunesMusicPodcastFolder() { return GetMyMusicFolder() + L"\\iTunes\\iTunes Music\\Podcast"; }
std::wstring GetITunesMediaPodcastFolder() { return GetMyMusicFolder() + L"\\iTunes\\iTunes Media\\Podcast"; }
std::wstring GetITunesMusicPodcastsFolder() { return GetMyMusicFolder() + L"\\iTunes\\iTunes Music\\Podcasts"; }
std::wstring GetITunesMediaPodcastsFolder() { return GetMyMusicFolder() + L"\\iTunes\\iTunes Media\\Podcasts"; }

// "Подкасты", the Russian iTunes' podcast folder.
static const wchar_t kRussianPodcasts[] = L"\u041F\u043E\u0434\u043A\u0430\u0441\u0442\u044B";

std::wstring GetITunesMusicPodcastsRuFolder() {
    return GetMyMusicFolder() + L"\\iTunes\\iTunes Music\\" + kRussianPodcasts;
}
std::wstring GetITunesMediaPodcastsRuFolder() {
    return GetMyMusicFolder() + L"\\iTunes\\iTunes Media\\" + kRussianPodcasts;
}
std::wstring GetMyMusicRssMediaFolder() { return GetMyMusicFolder() + L"\\RSS Media"; }
std::wstring GetMyVideosRssMediaFolder() { return GetMyVideosFolder() + L"\\RSS Media"; }
std::wstring GetMyPodcastsFolder() { return GetMyDocumentsFolder() + L"\\My Podcasts"; }

std::wstring GetDunmarshJukeboxFolder() { return WithoutTrailingBackslashes(ReadDunmarshJukeboxRoot()); }
std::wstring GetBrightwellFolder() { return WithoutTrailingBackslashes(ReadBrightwellRoot()); }
std::wstring GetMerrowlynFolder() { return WithoutTrailingBackslashes(ReadMerrowlynRoot()); }
