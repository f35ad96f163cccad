#pragma once
// Reads shared by the capability parser and the playback-format record builder.

#include <cstddef>
#include <functional>
#include <string>

#include "library/capability/CapabilityMap.h"
#include "library/util/ScopedCom.h"
#include "platform/msxml/MsXml6.h"

// A child whose text is stored under a property id.
struct XmlTextField {
    const wchar_t* xpath;
    int id;
};

// Stores the text of each field's node below `parent`, when it has one, in `properties`.
HRESULT StoreNodeTexts(IXMLDOMNode* parent, const XmlTextField* fields, size_t count,
                       CapabilityPropertyMap& properties);

// Calls `take` with the text of every node the XPath selects below `parent`.
HRESULT ForEachNodeText(IXMLDOMNode* parent, const wchar_t* xpath,
                        const std::function<void(const std::wstring&)>& take);

inline std::wstring ToWideString(const CScopedBstr& text) {
    return std::wstring(text.Text(), text.Length());
}
