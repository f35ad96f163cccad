#pragma once
// What the connected player can play and where each kind of content goes on it, as its
// capability document states.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "library/capability/CapabilityMap.h"

class CTNDevCapability {
public:
    // The playback-type elements Image, Audio, Video and File.
    enum PlaybackType { kImage = 0, kAudio = 1, kVideo = 2, kFile = 3 };
    enum FolderType {
        kFolderCamera = 0,
        kFolderImage = 1,
        kFolderVideo = 2,
        kFolderSound = 3,
        kFolderFeeds = 4,
        kFolderFeedSound = 5,
        kFolderFeedVideo = 6,
        kFolderFeedImage = 7,
    };
    // Which Format elements a query sees: those without "comesfrom", those the player takes for
    // feed content (comesfrom="rss"), or (any other value) all of them.
    enum FormatFilter { kDeviceFormats = 0, kFeedFormats = 1, kAllFormats = 2 };
    enum Property {
        kPropNamespace = 0,
        kPropModel = 1,
        kPropManufacturer = 2,
        kPropVendor = 3,
        kPropBrand = 4,
        kPropFolderCamera = 5,
        kPropFolderImage = 6,
        kPropFolderVideo = 7,
        kPropFolderSound = 8,
        kPropFolderFeedSound = 9,
        kPropFolderFeedVideo = 10,
        kPropFolderFeedImage = 11,
        kPropFolderFeeds = 12,
        kPropDepthCamera = 13,
        kPropDepthImage = 14,
        kPropDepthVideo = 15,
        kPropDepthSound = 16,
        kPropDepthFeedSound = 17,
        kPropDepthFeedVideo = 18,
        kPropDepthFeedImage = 19,
        kPropDepthFeeds = 20,
        kPropRavelinEnable = 21,
        kPropRavelinVersion = 22,
    };
    enum AudioProperty { kAudioMaxBitrate = 0 };
    enum VideoProperty {
        kVideoMaxBitrate = 0,
        kVideoMaxFrameRate = 1,
        kVideoMaxHeight = 2,
        kVideoMaxWidth = 3,
        kVideoMinHeight = 4,
        kVideoMinWidth = 5,
        kVideoVariableFrameRate = 6,
        kVideoOddDimension = 7,
    };
    enum ImageProperty { kImageExpectedHeight = 0, kImageExpectedWidth = 1, kImageProgressive = 2 };

    class CAudioCapability {
    public:
        virtual ~CAudioCapability() = default;
        std::set<int> channels;
        std::set<int> samplingRates;
        CapabilityPropertyMap properties;
        // Set by users when the same playback-format record also carries a video capability.
        int withVideo = 0;
    };

    class CVideoCapability {
    public:
        virtual ~CVideoCapability() = default;
        CapabilityPropertyMap properties;
    };

    class CImageCapability {
    public:
        virtual ~CImageCapability() = default;
        CapabilityPropertyMap properties;
    };

    // One Audio, Video, Image or File element of the document.
    class CPlaybackCapability {
    public:
        virtual ~CPlaybackCapability() = default;
        std::set<std::wstring> extensions;  // lower case
        std::set<std::wstring> codecs;
        std::set<std::wstring> mimeTypes;
        std::unique_ptr<CAudioCapability> audio;
        std::unique_ptr<CVideoCapability> video;
        std::unique_ptr<CImageCapability> image;
    };

    virtual ~CTNDevCapability() = default;

    // The stored text, or defaultValue (returned by reference: keep it alive while using it).
    virtual const std::wstring& GetProperty(int id, const std::wstring& defaultValue) const = 0;
    virtual int GetPropertyInt(int id, int defaultValue) const = 0;
    virtual bool GetPropertyBool(int id, bool defaultValue) const = 0;
    virtual bool HasProperty(int id) const = 0;
    // The document declares the capability namespace.
    virtual bool IsKnownNamespace() const = 0;
    // Some playback type has a format the player accepts for feed content.
    virtual bool HasAnyFeedFormat() const = 0;
    virtual bool IsExtensionPlayable(const std::wstring& extension, int type, int filter) const = 0;
    virtual bool HasFormats(int type, int filter) const = 0;
    // Appends the extensions in document order, as written; 0, or -1 when the query failed.
    virtual int GetExtensions(std::vector<std::wstring>& extensions, int type, int filter) const = 0;
    virtual int GetMimeTypes(std::vector<std::wstring>& mimeTypes, int type, int filter) const = 0;
    // The folder the first PlaybackCapabilities with a target that lists the extension writes to.
    virtual int GetTargetFolder(int& folderType, const std::wstring& extension, int type,
                                int filter) const = 0;
    virtual int GetFolderPathFor(std::wstring& path, const std::wstring& extension, int type,
                                 int filter) const = 0;
    virtual int GetFolderPath(std::wstring& path, int folderType) const = 0;
    virtual int GetFolderDepthFor(int& depth, const std::wstring& extension, int type,
                                  int filter) const = 0;
    virtual int GetFolderDepth(int& depth, int folderType) const = 0;
    // Builds the index-th playback-type element that lists the extension; whatever the pointer
    // held is deleted first. 0, or -1 with a null pointer.
    virtual int GetPlaybackCapability(std::unique_ptr<CPlaybackCapability>& record,
                                      const std::wstring& extension, int type, int index,
                                      int filter) const = 0;
    virtual int GetPlaybackCapabilityFor(std::unique_ptr<CPlaybackCapability>& record,
                                         const std::wstring& extension, int type,
                                         int filter) const = 0;
    // The music analysis feature.
    virtual bool HasRavelinEntry() const = 0;
    virtual bool IsRavelinEnabled() const = 0;
    virtual int GetRavelinVersion(std::wstring& version) const = 0;
};
