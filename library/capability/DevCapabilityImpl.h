#pragma once
// The capability parsed from a capability document. Format queries run XPath on the kept
// document; identification, folders, depths and the analysis feature live in the property map.

#include "library/capability/DevCapability.h"
#include "library/util/ScopedCom.h"
#include "platform/msxml/MsXml6.h"

class CTNDevCapabilityImpl : public CTNDevCapability {
public:
    static constexpr int kPlaybackTypeCount = 4;

    CTNDevCapabilityImpl();
    ~CTNDevCapabilityImpl() override;
    CTNDevCapabilityImpl(const CTNDevCapabilityImpl&) = delete;
    CTNDevCapabilityImpl& operator=(const CTNDevCapabilityImpl&) = delete;

    // Replaces what was stored under the id.
    void SetProperty(int id, const std::wstring& value);
    void AddPlaybackCapability(int type, std::unique_ptr<CPlaybackCapability> record);
    // The records the parser built for a playback type (empty for File and unknown types).
    const std::vector<std::unique_ptr<CPlaybackCapability>>& GetPlaybackCapabilities(int type) const;
    // Keeps a reference of the document the format queries run on.
    void SetDocument(IXMLDOMDocument2* document);

    const std::wstring& GetProperty(int id, const std::wstring& defaultValue) const override;
    int GetPropertyInt(int id, int defaultValue) const override;
    bool GetPropertyBool(int id, bool defaultValue) const override;
    bool HasProperty(int id) const override;
    bool IsKnownNamespace() const override;
    bool HasAnyFeedFormat() const override;
    bool IsExtensionPlayable(const std::wstring& extension, int type, int filter) const override;
    bool HasFormats(int type, int filter) const override;
    int GetExtensions(std::vector<std::wstring>& extensions, int type, int filter) const override;
    int GetMimeTypes(std::vector<std::wstring>& mimeTypes, int type, int filter) const override;
    int GetTargetFolder(int& folderType, const std::wstring& extension, int type,
                        int filter) const override;
    int GetFolderPathFor(std::wstring& path, const std::wstring& extension, int type,
                         int filter) const override;
    int GetFolderPath(std::wstring& path, int folderType) const override;
    int GetFolderDepthFor(int& depth, const std::wstring& extension, int type,
                          int filter) const override;
    int GetFolderDepth(int& depth, int folderType) const override;
    int GetPlaybackCapability(std::unique_ptr<CPlaybackCapability>& record,
                              const std::wstring& extension, int type, int index,
                              int filter) const override;
    int GetPlaybackCapabilityFor(std::unique_ptr<CPlaybackCapability>& record,
                                 const std::wstring& extension, int type,
                                 int filter) const override;
    bool HasRavelinEntry() const override;
    bool IsRavelinEnabled() const override;
    int GetRavelinVersion(std::wstring& version) const override;

private:
    using NodeList = std::vector<CScopedComPtr<IXMLDOMNode>>;

    HRESULT SelectFormatNodes(int type, int filter, const wchar_t* child, NodeList& nodes) const;
    int AppendNodeTexts(std::vector<std::wstring>& texts, int type, int filter,
                        const wchar_t* child) const;

    CapabilityPropertyMap properties_;
    std::vector<std::unique_ptr<CPlaybackCapability>> playbackCapabilities_[kPlaybackTypeCount];
    CScopedComPtr<IXMLDOMDocument2> document_;
};
