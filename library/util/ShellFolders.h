#pragma once
// The shell's media and document folders and the usual media-library folders below them. None is
// created or tested for existence; without a trailing backslash. A shell folder that cannot be
// read gives an empty text, and the folders built on it just their own suffix.

#include <string>

// A shell folder by CSIDL value; empty when it cannot be read.
std::wstring GetShellFolder(int csidl);

std::wstring GetMyMusicFolder();
std::wstring GetMyVideosFolder();
std::wstring GetMyDocumentsFolder();

std::wstring GetITunesMusicFolder();
std::wstring GetITunesMediaMusicFolder();
std::wstring GetITunesMusicPodcastFolder();
std::wstring GetITunesMediaPodcastFolder();
std::wstring GetITunesMusicPodcastsFolder();
std::wstring GetITunesMediaPodcastsFolder();
// The podcast folder of a Russian iTunes.
std::wstring GetITunesMusicPodcastsRuFolder();
std::wstring GetITunesMediaPodcastsRuFolder();
std::wstring GetMyMusicRssMediaFolder();
std::wstring GetMyVideosRssMediaFolder();
std::wstring GetMyPodcastsFolder();

// The data folders of the maker's older media applications, trailing backslashes removed; empty
// when not installed.
std::wstring GetDunmarshJukeboxFolder();
std::wstring GetBrightwellFolder();
std::wstring GetMerrowlynFolder();
