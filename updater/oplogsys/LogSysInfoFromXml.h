#pragma once
#include <string>

#include "platform/msxml/MsXml6.h"
#include "updater/oplogsys/LogSysInfo.h"

namespace opLogSys {

// The configuration read from an XML file: FACTORY chooses the channel, FILTERLIST/FILTER admit
// subjects and levels. A missing, unreadable or malformed file leaves the defaults.
class CLogSysInfoFromXML : public ILogSysInfo {
public:
    explicit CLogSysInfoFromXML(const wchar_t* path);

    IOutputLogSystemFactory* GetFactory() override { return inner_->GetFactory(); }
    ILogFilter* GetFilter() override { return inner_->GetFilter(); }
    ULONG AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
    ULONG Release() override;

    virtual HRESULT LoadFactory(IXMLDOMNode* node);
    virtual HRESULT LoadFilter(IXMLDOMNode* node);
    virtual HRESULT LoadFilterList(IXMLDOMNode* node);
    virtual HRESULT LoadElement(IXMLDOMNode* node);
    virtual HRESULT Load();

    CLogSysInfo* Inner() { return inner_.Get(); }

private:
    std::wstring path_;
    CScopedComPtr<CLogSysInfo> inner_;
    LONG count_ = 1;
};

// Whether the configuration file may be handed to the XML parser: a readable file of at most
// 1 MiB with no document type declaration (entity expansion could make it grow without bound).
bool IsAcceptableConfigFile(const wchar_t* path);

}  // namespace opLogSys
