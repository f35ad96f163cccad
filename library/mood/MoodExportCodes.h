#pragma once

// Results of the mood-channel export and its file readers and writers.
enum MoodExportResult {
  kMoodExportOk = 0,
  kMoodExportFormatFailed = -1,   // the entry count could not be formatted
  kMoodExportNotActive = -2,
  kMoodExportPathTooLong = -3,
  kMoodExportRootMissing = -4,
  kMoodExportWriteFailed = -5,    // a file could not be written completely; the old one stays
  kMoodExportFolderFailed = -6,
  kMoodExportOutOfMemory = -7,
  kMoodExportCannotOpen = -8,
  kMoodExportShortRead = -9,
  kMoodExportMalformed = -10,     // a malformed mood table or an over-long list line
};
