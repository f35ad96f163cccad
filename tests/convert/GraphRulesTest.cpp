// Emptying a conversion graph, and when a run that stopped moving counts as finished.
#include <windows.h>
#include "platform/wmf/WindowsMedia.h"

#include <gtest/gtest.h>

#include "library/media/convert/GraphTools.h"
#include "library/media/convert/RunEnd.h"
#include "library/util/ScopedCom.h"
#include "platform/dshow/BaseFilter.h"

namespace {

const CLSID kStubbornClass = {0x3A1C0B7E, 0x55D2, 0x4E0B, {0x9D, 0x61, 0x0C, 0x7E, 0x2B, 0x48, 0x91, 0xA4}};

// A filter without pins that will not leave its graph once told so.
class CStubbornFilter : public CDsBaseFilter {
public:
    CStubbornFilter() : CDsBaseFilter(L"Stubborn", nullptr, &lock_, kStubbornClass) {}
    int GetPinCount() override { return 0; }
    CDsBasePin* GetPin(int) override { return nullptr; }
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override {
        if (graph == nullptr && refuseToLeave) return E_ACCESSDENIED;
        return CDsBaseFilter::JoinFilterGraph(graph, name);
    }
    bool refuseToLeave = false;

private:
    CCriticalSection lock_;
};

class GraphRulesTest : public testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         reinterpret_cast<void**>(graph_.Receive())));
    }
    void TearDown() override {
        graph_.Reset();
        CoUninitialize();
    }
    void AddNullRenderer(const wchar_t* name) {
        CScopedComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         reinterpret_cast<void**>(filter.Receive())));
        ASSERT_EQ(S_OK, graph_->AddFilter(filter.Get(), name));
    }
    int FilterCount() {
        CScopedComPtr<IEnumFilters> filters;
        EXPECT_EQ(S_OK, graph_->EnumFilters(filters.Receive()));
        int count = 0;
        CScopedComPtr<IBaseFilter> filter;
        while (filters->Next(1, filter.Receive(), nullptr) == S_OK) ++count;
        return count;
    }

    CScopedComPtr<IGraphBuilder> graph_;
};

// The platform's graph answers the configuration interface but will not remove through it here:
// clearing must still empty the graph (and not spin on the first filter forever).
TEST_F(GraphRulesTest, ClearingEmptiesTheGraph) {
    AddNullRenderer(L"Null Renderer");
    AddNullRenderer(L"Null Renderer 2");
    CStubbornFilter* willing = new CStubbornFilter();
    willing->NonDelegatingAddRef();
    ASSERT_EQ(S_OK, graph_->AddFilter(willing, L"Willing"));
    willing->NonDelegatingRelease();
    ASSERT_EQ(3, FilterCount());
    EXPECT_EQ(S_OK, ClearGraph(graph_.Get()));
    EXPECT_EQ(0, FilterCount());
}

TEST_F(GraphRulesTest, AFilterThatWillNotLeaveEndsTheClearing) {
    CStubbornFilter* stubborn = new CStubbornFilter();
    stubborn->NonDelegatingAddRef();
    ASSERT_EQ(S_OK, graph_->AddFilter(stubborn, L"Stubborn"));
    stubborn->refuseToLeave = true;
    EXPECT_TRUE(FAILED(ClearGraph(graph_.Get())));
    stubborn->refuseToLeave = false;
    EXPECT_EQ(S_OK, ClearGraph(graph_.Get()));
    EXPECT_EQ(0, FilterCount());
    stubborn->NonDelegatingRelease();
}

TEST(RunEndTest, AStalledRunCountsAsFinishedOnlyNearItsEnd) {
    const int64_t second = 10000000;
    struct Case {
        int64_t position, duration;
        bool finished;
    } cases[] = {
        {0, 0, true},                                    // length unknown
        {-1, 0, true},
        {100 * second - second / 2, 100 * second, true},  // within 1 %
        {99 * second, 100 * second, true},               // exactly 1 % short
        {98 * second, 100 * second, false},              // stopped 2 s early
        {5 * second, 100 * second, false},               // stopped mid-file
        {2 * second - 4 * second / 10, 2 * second, true},  // short file: half a second
        {second, 2 * second, false},
        {-1, 2 * second, false},                          // never moved
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.finished, IsNearEndOfRun(c.position, c.duration)) << c.position << " of " << c.duration;
    }
}

}  // namespace
