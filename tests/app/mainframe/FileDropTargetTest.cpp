#include "app/mainframe/FileDropTarget.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A data object that offers the formats it is built with and nothing else.
class CFormatsDataObject : public IDataObject {
public:
    explicit CFormatsDataObject(std::vector<CLIPFORMAT> formats) : formats_(std::move(formats)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        ++queries;
        for (CLIPFORMAT offered : formats_) {
            if (format && format->cfFormat == offered) return S_OK;
        }
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    int queries = 0;

private:
    std::vector<CLIPFORMAT> formats_;
    ULONG references_ = 1;
};

// The main window's drop area rule, recorded.
class CAreaListener : public IFileDropTargetListener {
public:
    void OnFileDrop(IDataObject* data) override { dropped = data; }
    int OnDragEnter(int x, int y) override { return Answer(x, y); }
    int OnDragOver(int x, int y) override { return Answer(x, y); }
    void OnDragLeave() override { ++leaves; }
    int Answer(int x, int y) {
        ++asked;
        lastX = x;
        lastY = y;
        return x >= 0 && x <= 200 && y >= 29 && y <= 181;
    }
    IDataObject* dropped = nullptr;
    int asked = 0, leaves = 0, lastX = -1, lastY = -1;
};

CLIPFORMAT Named(const wchar_t* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)); }

class FileDropTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        target_ = new CFileDropTarget();
        target_->SetListener(&listener_);
        target_->SetEnabled(true);
    }
    void TearDown() override { target_->Release(); }

    DWORD Enter(CFormatsDataObject& data, LONG x, LONG y) {
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(S_OK, target_->DragEnter(&data, MK_LBUTTON, POINTL{x, y}, &effect));
        return effect;
    }

    CFileDropTarget* target_ = nullptr;
    CAreaListener listener_;
};

TEST_F(FileDropTargetTest, FormatTableDecidesBeforeTheArea) {
    struct Case {
        const char* what;
        std::vector<CLIPFORMAT> formats;
        DWORD effect;
    };
    const Case cases[] = {
        {"files from the shell", {CF_HDROP}, DROPEFFECT_COPY},
        {"web link", {Named(L"UniformResourceLocator")}, DROPEFFECT_COPY},
        {"iTunes names", {Named(L"iTunesObjectListName")}, DROPEFFECT_COPY},
        {"iTunes list with text", {CF_UNICODETEXT, Named(L"iTunesObjectList")}, DROPEFFECT_COPY},
        {"plain text", {CF_UNICODETEXT}, DROPEFFECT_NONE},
        {"iTunes list alone", {Named(L"iTunesObjectList")}, DROPEFFECT_NONE},
        {"ANSI text", {CF_TEXT}, DROPEFFECT_NONE},
        {"nothing", {}, DROPEFFECT_NONE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFormatsDataObject data(c.formats);
        EXPECT_EQ(c.effect, Enter(data, 50, 100));
        DWORD effect = DROPEFFECT_COPY;
        EXPECT_EQ(S_OK, target_->DragOver(MK_LBUTTON, POINTL{50, 100}, &effect));
        EXPECT_EQ(c.effect, effect);
        target_->DragLeave();
    }
}

TEST_F(FileDropTargetTest, FilesAreAcceptedInsideTheAreaAndRefusedAboveAndBelow) {
    CFormatsDataObject files({CF_HDROP});
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Enter(files, 50, 100));
    EXPECT_EQ(50, listener_.lastX);
    EXPECT_EQ(100, listener_.lastY);
    DWORD effect = DROPEFFECT_COPY;
    target_->DragOver(MK_LBUTTON, POINTL{50, 20}, &effect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    target_->DragOver(MK_LBUTTON, POINTL{50, 182}, &effect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    target_->DragOver(MK_LBUTTON, POINTL{50, 181}, &effect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, target_->Drop(&files, 0, POINTL{50, 100}, &effect));
    EXPECT_EQ(&files, listener_.dropped);
}

TEST_F(FileDropTargetTest, DisabledTargetRefusesAndOnlyTheLeaveReachesTheListener) {
    target_->SetEnabled(false);
    CFormatsDataObject files({CF_HDROP});
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Enter(files, 50, 100));
    DWORD effect = DROPEFFECT_COPY;
    target_->DragOver(MK_LBUTTON, POINTL{50, 100}, &effect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    target_->DragLeave();
    EXPECT_EQ(0, listener_.asked);
    EXPECT_EQ(1, listener_.leaves);
}

TEST_F(FileDropTargetTest, DropThatWouldBeRefusedNeverReachesTheListener) {
    struct Case {
        const char* what;
        std::vector<CLIPFORMAT> formats;
        bool enabled;
        LONG y;
    };
    const Case cases[] = {
        {"drops disabled", {CF_HDROP}, false, 100},
        {"above the drop area", {CF_HDROP}, true, 20},
        {"plain text", {CF_UNICODETEXT}, true, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        target_->SetEnabled(c.enabled);
        listener_.dropped = nullptr;
        const int leaves = listener_.leaves;
        CFormatsDataObject data(c.formats);
        // Dropped without asking first, as a source may.
        DWORD effect = DROPEFFECT_COPY;
        EXPECT_EQ(S_OK, target_->Drop(&data, 0, POINTL{50, c.y}, &effect));
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
        EXPECT_EQ(nullptr, listener_.dropped);
        EXPECT_EQ(leaves + 1, listener_.leaves);
    }
}

TEST_F(FileDropTargetTest, WithoutListenerEverythingIsRefused) {
    target_->SetListener(nullptr);
    CFormatsDataObject files({CF_HDROP});
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Enter(files, 50, 100));
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, target_->Drop(&files, 0, POINTL{50, 100}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
}

}  // namespace
