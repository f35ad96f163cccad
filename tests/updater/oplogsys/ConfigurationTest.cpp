#include <gtest/gtest.h>

#include "tests/updater/oplogsys/LogTestSupport.h"
#include "updater/oplogsys/DebugOutputLogFactory.h"
#include "updater/oplogsys/FileIO.h"
#include "updater/oplogsys/FileLogFactory.h"
#include "updater/oplogsys/LogPaths.h"
#include "updater/oplogsys/LogSysInfoFromXml.h"
#include "updater/oplogsys/NullLogFactory.h"

using namespace oplogtest;
using opLogSys::CLogSysInfo;
using opLogSys::CLogSysInfoFromXML;
using Entry = CLogSysInfo::COutputLogState::Entry;

namespace opLogSys {
// Found by argument-dependent lookup when vectors of entries are compared.
bool operator==(const Entry& a, const Entry& b) {
    return a.subject == b.subject && a.minLevel == b.minLevel && a.maxLevel == b.maxLevel;
}
}  // namespace opLogSys

namespace {

class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }

    CScopedComPtr<CLogSysInfoFromXML> Read(const std::string& xml) {
        EXPECT_TRUE(folder_.WriteFile(L"FennicMini_Application.log.xml", xml));
        return CScopedComPtr<CLogSysInfoFromXML>(
            new CLogSysInfoFromXML(folder_.Join(L"FennicMini_Application.log.xml").c_str()));
    }

    template <class Factory>
    static bool FactoryIs(CLogSysInfoFromXML* info) {
        CScopedComPtr<opLogSys::IOutputLogSystemFactory> factory(info->GetFactory());
        return dynamic_cast<Factory*>(factory.Get()) != nullptr;
    }

    static std::vector<Entry> Entries(CLogSysInfoFromXML* info) { return info->Inner()->State()->Entries(); }

    CScratchFolder folder_;
};

const char kFileConfiguration[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<CONFIG>\r\n"
    "  <FACTORY name=\"IOutputLogSystemFactory\" class=\"opLogSys::File::COutputLogSystemFactory\"\r\n"
    "           autoflush=\"true\" location=\"desktop\"/>\r\n"
    "  <OTHER subject=\"ignored\"/>\r\n"
    "  <FILTERLIST>\r\n"
    "    <FILTER subject=\"FennicMini_Application\" minLevel=\"0\" maxLevel=\"9\"/>\r\n"
    "    <NOTAFILTER subject=\"x\" minLevel=\"0\" maxLevel=\"9\"/>\r\n"
    "    <FILTER subject=\"Bare\"/>\r\n"
    "  </FILTERLIST>\r\n"
    "</CONFIG>\r\n";

}  // namespace

TEST(FilterTest, AddFilterNarrowsOrAppends) {
    CScopedComPtr<CLogSysInfo> info(new CLogSysInfo());
    CLogSysInfo::COutputLogState* state = info->State();
    EXPECT_EQ(state->HasEntries(), E_FAIL);
    state->AddFilter(0, 9, L"S");
    state->AddFilter(2, 5, L"S");   // maximum inside 0..9: the entry becomes 2..5
    state->AddFilter(0, 20, L"S");  // maximum outside 2..5: a new entry
    state->AddFilter(1, 1, L"T");
    EXPECT_EQ(state->Entries(), (std::vector<Entry>{{L"S", 2, 5}, {L"S", 0, 20}, {L"T", 1, 1}}));
    EXPECT_EQ(state->HasEntries(), S_OK);

    const struct {
        const wchar_t* subject;
        int level;
        HRESULT expected;
    } cases[] = {
        {L"S", 2, S_OK}, {L"S", 5, S_OK}, {L"S", 20, S_OK}, {L"S", 21, E_FAIL}, {L"T", 1, S_OK},
        {L"T", 0, E_FAIL}, {L"t", 1, E_FAIL}, {L"U", 1, E_FAIL}, {nullptr, 1, E_FAIL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(state->IsEnabled(c.subject, c.level), c.expected) << (c.subject ? c.subject : L"(null)") << c.level;
    }
}

TEST_F(ConfigurationTest, FileFactoryAndFiltersAreRead) {
    CScopedComPtr<CLogSysInfoFromXML> info = Read(kFileConfiguration);
    EXPECT_TRUE(FactoryIs<opLogSys::File::COutputLogSystemFactory>(info.Get()));
    EXPECT_EQ(Entries(info.Get()), (std::vector<Entry>{{L"FennicMini_Application", 0, 9}, {L"Bare", 0, 0}}));

    // The file factory writes where "location" says, here the desktop.
    CScopedComPtr<opLogSys::IOutputLogSystemFactory> factory(info->GetFactory());
    CScopedComPtr<opLogSys::ILogIO> channel(factory->CreateLogIO(L"Name"));
    auto* file = dynamic_cast<opLogSys::File::CFileIO*>(channel.Get());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->FileName().rfind(opLogSys::ResolveFolder(L"desktop") + L"Name-", 0), 0u);
}

TEST_F(ConfigurationTest, FactoryChoiceFollowsNameAndClassExactly) {
    const auto factory = [](const char* name, const char* className) {
        return std::string("<C><FACTORY name=\"") + name + "\" class=\"" + className + "\"/></C>";
    };
    EXPECT_TRUE(FactoryIs<opLogSys::Ods::COutputLogSystemFactory>(
        Read(factory("IOutputLogSystemFactory", "opLogSys::Ods::COutputLogSystemFactory")).Get()));
    EXPECT_TRUE(FactoryIs<opLogSys::Null::COutputLogSystemFactory>(
        Read(factory("IOutputLogSystemFactory", "opLogSys::Null::COutputLogSystemFactory")).Get()));
    EXPECT_TRUE(FactoryIs<opLogSys::Null::COutputLogSystemFactory>(
        Read(factory("OtherFactory", "opLogSys::File::COutputLogSystemFactory")).Get()));
    EXPECT_TRUE(FactoryIs<opLogSys::Null::COutputLogSystemFactory>(
        Read(factory("IOutputLogSystemFactory", "opLogSys::file::COutputLogSystemFactory")).Get()));
    // The last FACTORY wins.
    EXPECT_TRUE(FactoryIs<opLogSys::Ods::COutputLogSystemFactory>(
        Read("<C><FACTORY name=\"IOutputLogSystemFactory\" class=\"opLogSys::File::COutputLogSystemFactory\"/>"
             "<FACTORY name=\"IOutputLogSystemFactory\" class=\"opLogSys::Ods::COutputLogSystemFactory\"/></C>")
            .Get()));
    // Element names are compared with their case.
    EXPECT_TRUE(FactoryIs<opLogSys::Null::COutputLogSystemFactory>(
        Read("<C><factory name=\"IOutputLogSystemFactory\" class=\"opLogSys::Ods::COutputLogSystemFactory\"/></C>")
            .Get()));
}

TEST_F(ConfigurationTest, BrokenOrHostileFilesLeaveTheDefaults) {
    std::string bigEntity = "<?xml version=\"1.0\"?>\r\n<!DOCTYPE C [<!ENTITY a \"" + std::string(10000, 'a') + "\">]>\r\n<C>";
    for (int i = 0; i < 1000; ++i) bigEntity += "<FILTERLIST><FILTER subject=\"&a;\" minLevel=\"0\" maxLevel=\"9\"/></FILTERLIST>";
    bigEntity += "<FACTORY name=\"IOutputLogSystemFactory\" class=\"opLogSys::Ods::COutputLogSystemFactory\"/></C>";
    std::string utf16Doctype;
    for (char c : std::string("<!DOCTYPE C []><C><FILTERLIST><FILTER subject=\"S\" maxLevel=\"1\"/></FILTERLIST></C>")) {
        utf16Doctype += c;
        utf16Doctype += '\0';
    }
    const std::string oversized = "<C>" + std::string(2 * 1024 * 1024, ' ') +
                                  "<FILTERLIST><FILTER subject=\"S\" maxLevel=\"1\"/></FILTERLIST></C>";
    const std::string documents[] = {
        "this is not XML at all",
        "<C><FILTERLIST><FILTER subject=\"S\" maxLevel=\"1\"/></FILTERLIST>",  // not closed
        "",
        bigEntity,
        "\xFF\xFE" + utf16Doctype,
        oversized,
    };
    for (const std::string& document : documents) {
        CScopedComPtr<CLogSysInfoFromXML> info = Read(document);
        EXPECT_TRUE(FactoryIs<opLogSys::Null::COutputLogSystemFactory>(info.Get())) << document.substr(0, 40);
        EXPECT_TRUE(Entries(info.Get()).empty()) << document.substr(0, 40);
    }
}

TEST_F(ConfigurationTest, MissingFileLeavesTheDefaults) {
    CScopedComPtr<CLogSysInfoFromXML> info(new CLogSysInfoFromXML(folder_.Join(L"absent.xml").c_str()));
    EXPECT_TRUE(FactoryIs<opLogSys::Null::COutputLogSystemFactory>(info.Get()));
    CScopedComPtr<opLogSys::ILogFilter> filter(info->GetFilter());
    EXPECT_EQ(filter->HasEntries(), E_FAIL);
}
