#include "library/capability/DevCapabilityImpl.h"

#include <cwctype>

#include "library/capability/CapabilityXPath.h"
#include "library/capability/PlaybackCapabilityBuilder.h"
#include "library/capability/XmlDocument.h"

namespace {

struct FolderProperties {
    int folder;
    int depth;
};

// Indexed by FolderType.
constexpr FolderProperties kFolderProperties[] = {
    {CTNDevCapability::kPropFolderCamera, CTNDevCapability::kPropDepthCamera},
    {CTNDevCapability::kPropFolderImage, CTNDevCapability::kPropDepthImage},
    {CTNDevCapability::kPropFolderVideo, CTNDevCapability::kPropDepthVideo},
    {CTNDevCapability::kPropFolderSound, CTNDevCapability::kPropDepthSound},
    {CTNDevCapability::kPropFolderFeeds, CTNDevCapability::kPropDepthFeeds},
    {CTNDevCapability::kPropFolderFeedSound, CTNDevCapability::kPropDepthFeedSound},
    {CTNDevCapability::kPropFolderFeedVideo, CTNDevCapability::kPropDepthFeedVideo},
    {CTNDevCapability::kPropFolderFeedImage, CTNDevCapability::kPropDepthFeedImage},
};

bool IsFolderType(int folderType) {
    return folderType >= 0 && folderType < static_cast<int>(std::size(kFolderProperties));
}

bool CharEqualsNoCase(wchar_t left, wchar_t right) {
    return std::towlower(left) == std::towlower(right);
}

bool EqualsNoCase(const std::wstring& left, const std::wstring& right) {
    if (left.size() != right.size()) return false;
    for (size_t i = 0; i < left.size(); ++i) {
        if (!CharEqualsNoCase(left[i], right[i])) return false;
    }
    return true;
}

// The folder a PlaybackCapabilities target names; an empty target means the type's own folder.
int FolderTypeFromTarget(const std::wstring& target, int type) {
    if (target.empty()) {
        switch (type) {
        case CTNDevCapability::kImage: return CTNDevCapability::kFolderImage;
        case CTNDevCapability::kAudio: return CTNDevCapability::kFolderSound;
        case CTNDevCapability::kVideo: return CTNDevCapability::kFolderVideo;
        default: return -1;
        }
    }
    if (target == L"feedimage") return CTNDevCapability::kFolderFeedImage;
    if (target == L"feedvideo") return CTNDevCapability::kFolderFeedVideo;
    if (target == L"feedsound") return CTNDevCapability::kFolderFeedSound;
    if (target == L"feeds") return CTNDevCapability::kFolderFeeds;
    return -1;
}

std::wstring NodeText(IXMLDOMNode* node) {
    CScopedBstr text;
    if (FAILED(node->get_text(text.Receive()))) return std::wstring();
    return std::wstring(text.Text(), text.Length());
}

}  // namespace

CTNDevCapabilityImpl::CTNDevCapabilityImpl() {
    for (const FolderProperties& folder : kFolderProperties) {
        properties_[folder.depth] = folder.depth == kPropDepthSound ? L"7" : L"1";
    }
}

CTNDevCapabilityImpl::~CTNDevCapabilityImpl() = default;

void CTNDevCapabilityImpl::SetProperty(int id, const std::wstring& value) {
    properties_[id] = value;
}

void CTNDevCapabilityImpl::AddPlaybackCapability(int type,
                                                 std::unique_ptr<CPlaybackCapability> record) {
    if (type < 0 || type >= kPlaybackTypeCount) return;
    playbackCapabilities_[type].push_back(std::move(record));
}

const std::vector<std::unique_ptr<CTNDevCapability::CPlaybackCapability>>&
CTNDevCapabilityImpl::GetPlaybackCapabilities(int type) const {
    static const std::vector<std::unique_ptr<CPlaybackCapability>> kNone;
    if (type < 0 || type >= kPlaybackTypeCount) return kNone;
    return playbackCapabilities_[type];
}

void CTNDevCapabilityImpl::SetDocument(IXMLDOMDocument2* document) {
    if (document) document->AddRef();
    document_.Reset(document);
}

const std::wstring& CTNDevCapabilityImpl::GetProperty(int id,
                                                      const std::wstring& defaultValue) const {
    return GetMapValue(properties_, id, defaultValue);
}

int CTNDevCapabilityImpl::GetPropertyInt(int id, int defaultValue) const {
    return GetMapValueInt(properties_, id, defaultValue);
}

bool CTNDevCapabilityImpl::GetPropertyBool(int id, bool defaultValue) const {
    return GetMapValueBool(properties_, id, defaultValue);
}

bool CTNDevCapabilityImpl::HasProperty(int id) const {
    return properties_.count(id) != 0;
}

bool CTNDevCapabilityImpl::IsKnownNamespace() const {
    return GetProperty(kPropNamespace, std::wstring()) == kCapabilityNamespaceUri;
}

bool CTNDevCapabilityImpl::HasAnyFeedFormat() const {
    for (int type = kImage; type <= kFile; ++type) {
        if (HasFormats(type, kFeedFormats)) return true;
    }
    return false;
}

bool CTNDevCapabilityImpl::IsExtensionPlayable(const std::wstring& extension, int type,
                                               int filter) const {
    std::vector<std::wstring> extensions;
    if (GetExtensions(extensions, type, filter) != 0) return false;
    for (const std::wstring& candidate : extensions) {
        if (EqualsNoCase(candidate, extension)) return true;
    }
    return false;
}

bool CTNDevCapabilityImpl::HasFormats(int type, int filter) const {
    NodeList nodes;
    if (FAILED(SelectFormatNodes(type, filter, QB_CAPABILITY_PREFIX L"Extension", nodes))) {
        return false;
    }
    return !nodes.empty();
}

int CTNDevCapabilityImpl::GetExtensions(std::vector<std::wstring>& extensions, int type,
                                        int filter) const {
    return AppendNodeTexts(extensions, type, filter, QB_CAPABILITY_PREFIX L"Extension");
}

int CTNDevCapabilityImpl::GetMimeTypes(std::vector<std::wstring>& mimeTypes, int type,
                                       int filter) const {
    return AppendNodeTexts(mimeTypes, type, filter, QB_CAPABILITY_PREFIX L"MIME-Type");
}

int CTNDevCapabilityImpl::GetTargetFolder(int& folderType, const std::wstring& extension,
                                          int type, int filter) const {
    NodeList nodes;
    if (FAILED(SelectFormatNodes(type, filter, QB_CAPABILITY_PREFIX L"Extension", nodes))) {
        return -1;
    }
    for (const CScopedComPtr<IXMLDOMNode>& node : nodes) {
        if (!EqualsNoCase(NodeText(node.Get()), extension)) continue;
        // Extension -> Format -> playback type -> PlaybackCapabilities.
        CScopedComPtr<IXMLDOMNode> playbackCapabilities;
        if (GetXmlAncestor(node.Get(), 3, playbackCapabilities.Receive()) != S_OK ||
            !playbackCapabilities) {
            continue;
        }
        CScopedBstr target;
        if (GetXmlAttributeText(playbackCapabilities.Get(), L"target", target.Receive()) != S_OK) {
            continue;
        }
        int found = FolderTypeFromTarget(std::wstring(target.Text(), target.Length()), type);
        if (found < 0) return -1;
        folderType = found;
        return 0;
    }
    return -1;
}

int CTNDevCapabilityImpl::GetFolderPathFor(std::wstring& path, const std::wstring& extension,
                                           int type, int filter) const {
    int folderType = 0;
    if (GetTargetFolder(folderType, extension, type, filter) != 0) return -1;
    return GetFolderPath(path, folderType);
}

int CTNDevCapabilityImpl::GetFolderPath(std::wstring& path, int folderType) const {
    if (!IsFolderType(folderType)) return -1;
    auto folder = properties_.find(kFolderProperties[folderType].folder);
    if (folder == properties_.end() || folder->second.empty()) return -1;
    path = folder->second;
    return 0;
}

int CTNDevCapabilityImpl::GetFolderDepthFor(int& depth, const std::wstring& extension, int type,
                                            int filter) const {
    int folderType = 0;
    if (GetTargetFolder(folderType, extension, type, filter) != 0) return -1;
    return GetFolderDepth(depth, folderType);
}

int CTNDevCapabilityImpl::GetFolderDepth(int& depth, int folderType) const {
    if (!IsFolderType(folderType)) return -1;
    int property = kFolderProperties[folderType].depth;
    if (!HasProperty(property)) return -1;
    depth = GetPropertyInt(property, 0);
    return 0;
}

int CTNDevCapabilityImpl::GetPlaybackCapability(std::unique_ptr<CPlaybackCapability>& record,
                                                const std::wstring& extension, int type,
                                                int index, int filter) const {
    record.reset();
    NodeList nodes;
    if (FAILED(SelectFormatNodes(type, filter, QB_CAPABILITY_PREFIX L"Extension", nodes))) {
        return -1;
    }
    int counter = 0;
    for (const CScopedComPtr<IXMLDOMNode>& node : nodes) {
        if (!EqualsNoCase(NodeText(node.Get()), extension)) continue;
        // Extension -> Format -> playback type.
        CScopedComPtr<IXMLDOMNode> element;
        if (GetXmlAncestor(node.Get(), 2, element.Receive()) != S_OK || !element) continue;
        std::unique_ptr<CPlaybackCapability> built;
        if (FAILED(ParsePlaybackCapability(element.Get(), built)) || !built) continue;
        if (counter == index) {
            record = std::move(built);
            return 0;
        }
        ++counter;
    }
    return -1;
}

int CTNDevCapabilityImpl::GetPlaybackCapabilityFor(std::unique_ptr<CPlaybackCapability>& record,
                                                   const std::wstring& extension, int type,
                                                   int filter) const {
    return GetPlaybackCapability(record, extension, type, 0, filter);
}

bool CTNDevCapabilityImpl::HasRavelinEntry() const {
    return HasProperty(kPropRavelinEnable);
}

bool CTNDevCapabilityImpl::IsRavelinEnabled() const {
    static const std::wstring kFalse = L"false";
    return GetProperty(kPropRavelinEnable, kFalse) == L"true";
}

int CTNDevCapabilityImpl::GetRavelinVersion(std::wstring& version) const {
    auto stored = properties_.find(kPropRavelinVersion);
    if (stored == properties_.end()) return -1;
    version = stored->second;
    return 0;
}

HRESULT CTNDevCapabilityImpl::SelectFormatNodes(int type, int filter, const wchar_t* child,
                                                NodeList& nodes) const {
    if (!document_) return E_POINTER;
    static const wchar_t* const kTypeSteps[] = {
        L"/" QB_CAPABILITY_PREFIX L"Image", L"/" QB_CAPABILITY_PREFIX L"Audio",
        L"/" QB_CAPABILITY_PREFIX L"Video", L"/" QB_CAPABILITY_PREFIX L"File"};
    std::wstring xpath = L"//" QB_CAPABILITY_PREFIX L"Devices/" QB_CAPABILITY_PREFIX
                         L"Device/" QB_CAPABILITY_PREFIX L"PlaybackCapabilities";
    if (type >= kImage && type <= kFile) xpath += kTypeSteps[type];
    xpath += L"/" QB_CAPABILITY_PREFIX L"Format";
    if (filter == kFeedFormats) xpath += L"[@comesfrom='rss']";
    xpath += L"/";
    xpath += child;

    CScopedComPtr<IXMLDOMNodeList> selected;
    HRESULT hr = SelectXmlNodes(document_.Get(), xpath.c_str(), selected.Receive());
    if (FAILED(hr) || !selected) return FAILED(hr) ? hr : E_FAIL;
    for (;;) {
        CScopedComPtr<IXMLDOMNode> node;
        if (selected->nextNode(node.Receive()) != S_OK || !node) break;
        if (filter == kDeviceFormats) {
            // A Format with any comesfrom, rss or another, is no device format.
            CScopedComPtr<IXMLDOMNode> format;
            if (GetXmlAncestor(node.Get(), 1, format.Receive()) != S_OK || !format) continue;
            CScopedBstr comesFrom;
            if (GetXmlAttributeText(format.Get(), L"comesfrom", comesFrom.Receive()) != S_FALSE) {
                continue;
            }
        }
        nodes.push_back(std::move(node));
    }
    return hr;
}

int CTNDevCapabilityImpl::AppendNodeTexts(std::vector<std::wstring>& texts, int type, int filter,
                                          const wchar_t* child) const {
    NodeList nodes;
    if (FAILED(SelectFormatNodes(type, filter, child, nodes))) return -1;
    for (const CScopedComPtr<IXMLDOMNode>& node : nodes) {
        std::wstring text = NodeText(node.Get());
        if (!text.empty()) texts.push_back(text);
    }
    return 0;
}
