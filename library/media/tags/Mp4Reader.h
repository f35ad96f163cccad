// Reads the tags of an MP4 (kind 0), M4A (kind 1) or 3GP (kind 2) file in one walk over its
// boxes, and reports sample entries, track kinds and profile boxes to handlers of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "library/media/tags/Mp4BoxHeader.h"
#include "library/media/tags/TagOwnedPtr.h"
#include "library/media/tags/TagParser.h"

enum Mp4Kind : int32_t { kMp4KindMovie = 0, kMp4KindAudio = 1, kMp4Kind3gp = 2, kMp4KindCount = 3 };

// Records handed to the handlers; numbers in host order.
struct Mp4VisualEntry {
    uint16_t width;
    uint16_t height;
    uint32_t horizontalResolution;  // 16.16
    uint32_t verticalResolution;
    uint16_t frameCount;
    uint8_t compressorName[32];
    uint16_t depth;
};
struct Mp4AudioEntry {
    uint16_t channelCount;
    uint16_t sampleSize;
    uint32_t sampleRate;  // 16.16
    uint16_t preDefined;
};
struct Mp4VideoProfile {
    uint32_t value;
    uint8_t code[4];
    uint32_t values[8];
};
struct Mp4AudioProfile {
    uint32_t value;
    uint8_t code[4];
    uint32_t values[6];
};

using Mp4SignalHandler = int32_t (*)(void* context);
using Mp4VisualEntryHandler = int32_t (*)(void* context, const Mp4VisualEntry* entry);
using Mp4AudioEntryHandler = int32_t (*)(void* context, const Mp4AudioEntry* entry);
using Mp4VideoProfileHandler = int32_t (*)(void* context, const Mp4VideoProfile* profile);
using Mp4AudioProfileHandler = int32_t (*)(void* context, const Mp4AudioProfile* profile);
using Mp4FileTypeHandler = int32_t (*)(void* context, uint32_t majorBrand, const uint32_t* brands, uint32_t count);

class CMp4Reader : public CTagParser {
public:
    explicit CMp4Reader(int32_t kind) : m_kind(kind) {}
    // Reads the top-level headers up to the first "mdat" (-3 when there is none).
    int32_t Load(CTagOwnedPtr<CTagStream> stream);
    int32_t Close() override;
    int32_t Parse() override;
    int32_t ReadAt(uint32_t offset, void* buffer, uint32_t length) override;

    int32_t SetDrmsHandler(Mp4SignalHandler handler, void* context);
    int32_t SetAlacHandler(Mp4SignalHandler handler, void* context);
    int32_t SetVmhdHandler(Mp4SignalHandler handler, void* context);
    int32_t SetVideoEntryHandler(Mp4VisualEntryHandler handler, void* context);
    int32_t SetAudioEntryHandler(Mp4AudioEntryHandler handler, void* context);
    int32_t SetVideoProfileHandler(Mp4VideoProfileHandler handler, void* context);
    int32_t SetAudioProfileHandler(Mp4AudioProfileHandler handler, void* context);

private:
    template <class Visit>
    int32_t ForEachChild(const CMp4BoxHeader& parent, uint32_t skip, Visit visit);
    bool WantsTracks() const;
    int32_t WalkBox(const CMp4BoxHeader& box);
    int32_t WalkBoxContents(const CMp4BoxHeader& box);
    int32_t ReadFileType(const CMp4BoxHeader& box);
    int32_t WalkTracks(const CMp4BoxHeader& moov);
    int32_t ReadSampleEntries(const CMp4BoxHeader& stsd);
    int32_t ReadProfiles(const CMp4BoxHeader& box);
    int32_t ReadId3Metadata(const CMp4BoxHeader& moov);
    int32_t ReadEmbeddedId3(const CMp4BoxHeader& id32);
    int32_t ReadItemMetadata(const CMp4BoxHeader& moov);
    int32_t ReadItem(const CMp4BoxHeader& item);
    int32_t ReadFreeformItem(const CMp4BoxHeader& item);
    int32_t ReadAssetMetadata(const CMp4BoxHeader& moov);
    int32_t ReadAsset(const CMp4BoxHeader& asset);
    int32_t ReadTagContainer(const CMp4BoxHeader& container);
    int32_t ReadFrameBox(const CMp4BoxHeader& frameBox);
    int32_t FireText(const uint8_t* bytes, uint32_t count, uint8_t itemType, int32_t encoding);
    int32_t FireNumber(uint32_t number, uint8_t itemType);
    // Where a "meta" box's children start: after the full-box fields, unless the writer left them out.
    int32_t MetaChildrenSkip(const CMp4BoxHeader& meta, uint32_t* skip);

    int32_t m_kind;
    Mp4SignalHandler m_drmsHandler = nullptr;
    void* m_drmsContext = nullptr;
    Mp4SignalHandler m_alacHandler = nullptr;
    void* m_alacContext = nullptr;
    Mp4SignalHandler m_vmhdHandler = nullptr;
    void* m_vmhdContext = nullptr;
    Mp4SignalHandler m_smhdHandler = nullptr;
    void* m_smhdContext = nullptr;
    Mp4VisualEntryHandler m_videoEntryHandler = nullptr;
    void* m_videoEntryContext = nullptr;
    Mp4AudioEntryHandler m_audioEntryHandler = nullptr;
    void* m_audioEntryContext = nullptr;
    Mp4VideoProfileHandler m_videoProfileHandler = nullptr;
    void* m_videoProfileContext = nullptr;
    Mp4AudioProfileHandler m_audioProfileHandler = nullptr;
    void* m_audioProfileContext = nullptr;
    Mp4FileTypeHandler m_fileTypeHandler = nullptr;
    void* m_fileTypeContext = nullptr;
    // A clean copy of an embedded ID3v2 tag, standing at the offset where the tag starts.
    struct CleanTag {
        uint32_t start;
        std::vector<uint8_t> image;
    };

    CTagOwnedPtr<CTagStream> m_stream;
    CTagStream* m_walk = nullptr;  // the buffered view of the top-level box being walked
    int32_t m_trackKind = 0;  // 0 none, 1 video, 2 audio
    std::vector<CleanTag> m_cleanTags;  // of the last parse
};
