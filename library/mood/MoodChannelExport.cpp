#include "library/mood/MoodChannelExport.h"

#include <algorithm>
#include <new>
#include <unordered_set>

#include "library/mood/MoodChannelListFile.h"
#include "library/mood/MoodClassification.h"
#include "library/mood/MoodFileAccess.h"
#include "library/mood/MoodTableFile.h"

namespace {

enum ChannelType { kEveryTrack = 0, kMoodClass = 1, kRule = 2 };

struct MoodChannelInfo {
  ChannelType type;
  const wchar_t* fileName;
  int number;  // the channel number the classification gives
};

// The car unit expects CID016 to CID020 to carry channels 18, 19, 15, 16, 17 in that order.
const MoodChannelInfo kChannels[] = {
    {kMoodClass, L"CID000.ZEP", 0},  {kMoodClass, L"CID001.ZEP", 1},  {kMoodClass, L"CID002.ZEP", 2},
    {kMoodClass, L"CID003.ZEP", 3},  {kMoodClass, L"CID004.ZEP", 4},  {kEveryTrack, L"CID005.ZEP", 0},
    {kRule, L"CID006.ZEP", 5},       {kRule, L"CID007.ZEP", 6},       {kRule, L"CID008.ZEP", 7},
    {kRule, L"CID009.ZEP", 8},       {kRule, L"CID010.ZEP", 9},       {kRule, L"CID011.ZEP", 10},
    {kRule, L"CID012.ZEP", 11},      {kRule, L"CID013.ZEP", 12},      {kRule, L"CID014.ZEP", 13},
    {kRule, L"CID015.ZEP", 14},      {kRule, L"CID016.ZEP", 18},      {kRule, L"CID017.ZEP", 19},
    {kRule, L"CID018.ZEP", 15},      {kRule, L"CID019.ZEP", 16},      {kRule, L"CID020.ZEP", 17},
};
constexpr size_t kChannelCount = sizeof(kChannels) / sizeof(kChannels[0]);

struct MoodTableInfo {
  int featureIndex;
  int tempoIndex;
  const wchar_t* fileName;
};

const MoodTableInfo kTables[] = {
    {1, 0, L"MOOD00.dat"},
    {2, 0, L"MOOD01.dat"},
    {3, 0, L"MOOD02.dat"},
    {4, 0, L"MOOD03.dat"},
};
constexpr size_t kTableCount = sizeof(kTables) / sizeof(kTables[0]);

constexpr size_t kMaxChannelEntries = 500;
constexpr size_t kMaxMoodEntries = 200;
const wchar_t kMoodListName[] = L"MOOD.ZEP";

struct ExportState {
  bool active = false;
  std::wstring channelFolder;
  std::wstring moodFolder;
  std::vector<std::wstring> channelTracks[kChannelCount];
  std::vector<std::wstring> moodTracks;  // tracks that got at least one mood-table entry
  MoodTableMap tables[kTableCount];
};

ExportState& State() {
  static ExportState state;
  return state;
}

// Tracks entered again move to the end: drop their old lines, then append them in order.
void MergeTracks(std::vector<std::wstring>& entries, const std::vector<std::wstring>& tracks, size_t limit) {
  const std::unordered_set<std::wstring> entered(tracks.begin(), tracks.end());
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [&](const std::wstring& entry) { return entered.count(entry) != 0; }),
                entries.end());
  entries.insert(entries.end(), tracks.begin(), tracks.end());
  if (entries.size() > limit) entries.erase(entries.begin(), entries.end() - limit);
}

std::vector<std::wstring> LastEntries(const std::vector<std::wstring>& tracks, size_t limit) {
  return std::vector<std::wstring>(tracks.end() - std::min(limit, tracks.size()), tracks.end());
}

int WriteChannelFiles(ExportState& state, std::vector<std::wstring>& written) {
  bool moodClassHasTracks = false;
  for (size_t i = 0; i < kChannelCount; ++i) {
    if (kChannels[i].type == kMoodClass && !state.channelTracks[i].empty()) moodClassHasTracks = true;
  }
  for (size_t i = 0; i < kChannelCount; ++i) {
    const std::wstring path = state.channelFolder + L"\\" + kChannels[i].fileName;
    const std::vector<std::wstring>& tracks = state.channelTracks[i];
    std::vector<std::wstring> entries;
    if (tracks.size() > kMaxChannelEntries) {
      // The new tracks alone fill the channel: the old file cannot contribute.
      entries = LastEntries(tracks, kMaxChannelEntries);
    } else if (!tracks.empty()) {
      if (moodfile::IsFile(path)) {
        const int read = ReadChannelListFile(entries, path);
        if (read != kMoodExportOk) return read;
      }
      MergeTracks(entries, tracks, kMaxChannelEntries);
    } else if (kChannels[i].type != kMoodClass || !moodClassHasTracks || moodfile::IsFile(path)) {
      // The car unit needs every mood-class channel file once any of them exists.
      continue;
    }
    const int result = WriteChannelListFile(entries, path);
    if (result != kMoodExportOk) return result;
    written.push_back(path);
  }
  return kMoodExportOk;
}

int WriteMoodFiles(ExportState& state, std::vector<std::wstring>& written) {
  const std::wstring moodListPath = state.moodFolder + L"\\" + kMoodListName;
  std::vector<std::wstring> moodList;
  if (state.moodTracks.size() > kMaxMoodEntries) {
    moodList = LastEntries(state.moodTracks, kMaxMoodEntries);
  } else {
    if (moodfile::IsFile(moodListPath)) {
      const int read = ReadChannelListFile(moodList, moodListPath);
      if (read != kMoodExportOk) return read;
    }
    // The tables on disk refer to positions in the list as it was read.
    for (size_t t = 0; t < kTableCount; ++t) {
      const std::wstring tablePath = state.moodFolder + L"\\" + kTables[t].fileName;
      if (!moodfile::IsFile(tablePath)) continue;
      const int read = ReadMoodTableFile(tablePath, moodList, state.tables[t]);
      if (read != kMoodExportOk) return read;
    }
    MergeTracks(moodList, state.moodTracks, kMaxMoodEntries);
  }

  int result = WriteChannelListFile(moodList, moodListPath);
  if (result != kMoodExportOk) return result;
  written.push_back(moodListPath);
  for (size_t t = 0; t < kTableCount; ++t) {
    const std::wstring tablePath = state.moodFolder + L"\\" + kTables[t].fileName;
    result = WriteMoodTableFile(tablePath, moodList, state.tables[t]);
    if (result != kMoodExportOk) return result;
    written.push_back(tablePath);
  }
  return kMoodExportOk;
}

}  // namespace

int BeginMoodChannelExport(const std::wstring& root) {
  ExportState& state = State();
  state.active = false;
  try {
    std::wstring base = root;
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    if (!moodfile::IsFolder(base)) return kMoodExportRootMissing;
    const std::wstring carAudioFolder = base + L"\\Tavrel_Automotive";
    const std::wstring channelFolder = carAudioFolder + L"\\HVC";
    const std::wstring moodFolder = carAudioFolder + L"\\HVM";
    for (const std::wstring* folder : {&carAudioFolder, &channelFolder, &moodFolder}) {
      if (!moodfile::IsFolder(*folder) && !moodfile::CreateFolder(*folder)) return kMoodExportFolderFailed;
    }
    state.channelFolder = channelFolder;
    state.moodFolder = moodFolder;
  } catch (const std::bad_alloc&) {
    return kMoodExportOutOfMemory;
  }
  state.active = true;
  return kMoodExportOk;
}

int EndMoodChannelExport() {
  ClearMoodChannelLists();
  ExportState& state = State();
  state.channelFolder.clear();
  state.moodFolder.clear();
  state.active = false;
  return kMoodExportOk;
}

void ClearMoodChannelLists() {
  ExportState& state = State();
  for (std::vector<std::wstring>& tracks : state.channelTracks) tracks.clear();
  state.moodTracks.clear();
  for (MoodTableMap& table : state.tables) table.clear();
}

int AssignTrackToMoodChannels(const uint8_t* payload, size_t size, const std::wstring& trackPath) {
  ExportState& state = State();
  if (!state.active) return kMoodExportNotActive;
  if (trackPath.size() > kMoodMaxTrackPath) return kMoodExportPathTooLong;
  try {
    for (size_t i = 0; i < kChannelCount; ++i) {
      if (kChannels[i].type == kEveryTrack) state.channelTracks[i].push_back(trackPath);
    }
    if (payload == nullptr || size == 0) return kMoodExportOk;

    int numbers[kMoodChannelPositions];
    const int count = ClassifyMoodChannels(payload, size, numbers);
    for (int k = 0; k < count; ++k) {
      for (size_t i = 0; i < kChannelCount; ++i) {
        if (kChannels[i].type != kEveryTrack && kChannels[i].number == numbers[k]) {
          state.channelTracks[i].push_back(trackPath);
        }
      }
    }

    double features[kMoodFeatureCount];
    if (ComputeMoodFeatures(payload, size, features) != 0) return kMoodExportOk;
    const double tempo = features[0];
    bool inserted = false;
    for (size_t t = 0; t < kTableCount; ++t) {
      const double feature = features[kTables[t].featureIndex];
      if (feature < 0.0 || tempo < 0.0 || state.tables[t].count(trackPath) != 0) continue;
      MoodTableEntry entry;
      entry.moodByte = MoodFeatureToByte(kTables[t].featureIndex, feature);
      entry.invertedTempoByte = uint8_t(255 - MoodFeatureToByte(kTables[t].tempoIndex, tempo));
      state.tables[t].emplace(trackPath, entry);
      inserted = true;
    }
    if (inserted) state.moodTracks.push_back(trackPath);
    return kMoodExportOk;
  } catch (const std::bad_alloc&) {
    return kMoodExportOutOfMemory;
  }
}

int WriteMoodChannels(std::vector<std::wstring>& written) {
  written.clear();
  ExportState& state = State();
  if (!state.active) return kMoodExportNotActive;
  try {
    const int result = WriteChannelFiles(state, written);
    if (result != kMoodExportOk || state.moodTracks.empty()) return result;
    return WriteMoodFiles(state, written);
  } catch (const std::bad_alloc&) {
    return kMoodExportOutOfMemory;
  }
}
