#include "library/capability/PlaybackCapabilityBuilder.h"

#include <stdlib.h>

#include <iterator>

#include "library/capability/CapabilityXPath.h"
#include "library/capability/CapabilityXmlRead.h"
#include "library/capability/XmlDocument.h"

namespace {

using CPlaybackCapability = CTNDevCapability::CPlaybackCapability;

std::wstring LowerAscii(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

#define TNC QB_CAPABILITY_PREFIX

HRESULT BuildAudioCapability(IXMLDOMNode* element, CPlaybackCapability& record) {
    CScopedComPtr<IXMLDOMNode> node;
    HRESULT hr = SelectXmlNode(element, TNC L"AudioCapability", node.Receive());
    if (hr != S_OK || !node) return hr;
    auto audio = std::make_unique<CTNDevCapability::CAudioCapability>();
    hr = ForEachNodeText(node.Get(), TNC L"Channel", [&](const std::wstring& text) {
        audio->channels.insert(_wtoi(text.c_str()));
    });
    if (SUCCEEDED(hr)) {
        hr = ForEachNodeText(node.Get(), TNC L"SamplingRate", [&](const std::wstring& text) {
            audio->samplingRates.insert(_wtoi(text.c_str()));
        });
    }
    static const XmlTextField kFields[] = {
        {TNC L"MaxBitrate", CTNDevCapability::kAudioMaxBitrate},
    };
    if (SUCCEEDED(hr)) {
        hr = StoreNodeTexts(node.Get(), kFields, std::size(kFields), audio->properties);
    }
    if (FAILED(hr)) return hr;
    record.audio = std::move(audio);
    return S_OK;
}

HRESULT BuildVideoCapability(IXMLDOMNode* element, CPlaybackCapability& record) {
    CScopedComPtr<IXMLDOMNode> node;
    HRESULT hr = SelectXmlNode(element, TNC L"VideoCapability", node.Receive());
    if (hr != S_OK || !node) return hr;
    static const XmlTextField kFields[] = {
        {TNC L"MaxFrameRate", CTNDevCapability::kVideoMaxFrameRate},
        {TNC L"MaxBitrate", CTNDevCapability::kVideoMaxBitrate},
        {TNC L"CapableVariableFrameRate", CTNDevCapability::kVideoVariableFrameRate},
        {TNC L"CapableOddDimension", CTNDevCapability::kVideoOddDimension},
        {TNC L"MinDimension/" TNC L"Height", CTNDevCapability::kVideoMinHeight},
        {TNC L"MinDimension/" TNC L"Width", CTNDevCapability::kVideoMinWidth},
        {TNC L"MaxDimension/" TNC L"Height", CTNDevCapability::kVideoMaxHeight},
        {TNC L"MaxDimension/" TNC L"Width", CTNDevCapability::kVideoMaxWidth},
    };
    auto video = std::make_unique<CTNDevCapability::CVideoCapability>();
    hr = StoreNodeTexts(node.Get(), kFields, std::size(kFields), video->properties);
    if (FAILED(hr)) return hr;
    record.video = std::move(video);
    return S_OK;
}

HRESULT BuildImageCapability(IXMLDOMNode* element, CPlaybackCapability& record) {
    CScopedComPtr<IXMLDOMNode> node;
    HRESULT hr = SelectXmlNode(element, TNC L"ImageCapability", node.Receive());
    if (hr != S_OK || !node) return hr;
    static const XmlTextField kFields[] = {
        {TNC L"ExpectedDimension/" TNC L"Height", CTNDevCapability::kImageExpectedHeight},
        {TNC L"ExpectedDimension/" TNC L"Width", CTNDevCapability::kImageExpectedWidth},
        {TNC L"CapableProgressive", CTNDevCapability::kImageProgressive},
    };
    auto image = std::make_unique<CTNDevCapability::CImageCapability>();
    hr = StoreNodeTexts(node.Get(), kFields, std::size(kFields), image->properties);
    if (FAILED(hr)) return hr;
    record.image = std::move(image);
    return S_OK;
}

}  // namespace

HRESULT ParsePlaybackCapability(IXMLDOMNode* element,
                                std::unique_ptr<CPlaybackCapability>& record) {
    record.reset();
    if (!element) return E_POINTER;
    auto built = std::make_unique<CPlaybackCapability>();
    CPlaybackCapability& target = *built;
    HRESULT hr = ForEachNodeText(element, TNC L"Format/" TNC L"Extension",
                             [&](const std::wstring& text) {
                                 if (!text.empty()) target.extensions.insert(LowerAscii(text));
                             });
    if (SUCCEEDED(hr)) {
        hr = ForEachNodeText(element, TNC L"Format/" TNC L"Encoding/" TNC L"Codec",
                         [&](const std::wstring& text) { target.codecs.insert(text); });
    }
    if (SUCCEEDED(hr)) {
        hr = ForEachNodeText(element, TNC L"Format/" TNC L"MIME-Type",
                         [&](const std::wstring& text) { target.mimeTypes.insert(text); });
    }
    // Every capability element is looked for whatever the playback type is.
    if (SUCCEEDED(hr)) hr = BuildAudioCapability(element, target);
    if (SUCCEEDED(hr)) hr = BuildVideoCapability(element, target);
    if (SUCCEEDED(hr)) hr = BuildImageCapability(element, target);
    if (FAILED(hr)) return hr;
    record = std::move(built);
    return S_OK;
}

HRESULT ParsePlaybackCapabilities(CTNDevCapabilityImpl& capability, IXMLDOMNodeList* elements,
                                  int type) {
    if (!elements) return E_POINTER;
    for (;;) {
        CScopedComPtr<IXMLDOMNode> element;
        HRESULT hr = elements->nextNode(element.Receive());
        if (FAILED(hr)) return hr;
        if (!element) return S_OK;
        std::unique_ptr<CPlaybackCapability> record;
        hr = ParsePlaybackCapability(element.Get(), record);
        if (FAILED(hr)) return hr;
        capability.AddPlaybackCapability(type, std::move(record));
    }
}
