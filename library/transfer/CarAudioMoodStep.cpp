#include "library/transfer/CarAudioMoodStep.h"

#include <vector>

#include "library/content/TNContent.h"
#include "library/media/decode/MediaTagObjects.h"
#include "library/mood/MoodChannelExport.h"

std::wstring CCarAudioMoodStep::TrackPathOnPlayer(const std::wstring& destination) {
    return !destination.empty() && destination.front() == L'\\' ? destination : L"\\" + destination;
}

std::wstring CCarAudioMoodStep::PathBelowDataFolder(const std::wstring& file, const std::wstring& dataFolder) {
    if (dataFolder.empty() || file.size() <= dataFolder.size()) return std::wstring();
    const std::wstring head = file.substr(0, dataFolder.size());
    if (CompareStringOrdinal(head.c_str(), -1, dataFolder.c_str(), -1, TRUE) != CSTR_EQUAL) return std::wstring();
    std::wstring relative = file.substr(dataFolder.size());
    // A data folder given without its trailing backslash leaves one in front.
    if (!relative.empty() && relative.front() == L'\\') relative.erase(0, 1);
    return relative;
}

void CCarAudioMoodStep::OnCarAudioSongWritten(CTNContent* content, const std::wstring& destination,
                                              CDeviceControllerBase* controller, const std::wstring& dataFolder) {
    if (content == nullptr || controller == nullptr) return;
    const std::wstring& file = content->tempPath.empty() ? content->sourcePath : content->tempPath;
    // A song without mood-analysis data still enters the channels, with no data.
    CTNByteArray* payload = nullptr;
    const bool hasPayload = ReadMoodData(&payload, file, static_cast<int32_t>(content->fileType)) == 0 &&
                            payload != nullptr && payload->length > 0;
    AssignTrackToMoodChannels(hasPayload ? payload->data : nullptr, hasPayload ? payload->length : 0,
                              TrackPathOnPlayer(destination));
    delete payload;

    std::vector<std::wstring> written;
    WriteMoodChannels(written);
    for (const std::wstring& channelFile : written) {
        const std::wstring relative = PathBelowDataFolder(channelFile, dataFolder);
        if (relative.empty()) continue;
        // Each channel file replaces its copy on the player: without that, an MTP player would
        // gain another object of the same name with every song.
        CTNContent record(1, kChannelFileKind);
        record.sourcePath = channelFile;
        record.relativePath = relative;
        record.replaceExisting = 1;
        controller->WriteContent(relative, &record);
    }
    ClearMoodChannelLists();
}
