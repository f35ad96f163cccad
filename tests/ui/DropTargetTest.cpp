#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include "platform/ui/UiDropTarget.h"
#include "platform/ui/UiOleSession.h"
#include "library/util/ScopedCom.h"

namespace {

// Accepts a copy when the data offers text; records what it was told.
class CTextDropTarget : public CUiDropTarget {
public:
    int enters = 0, leaves = 0, drops = 0;

protected:
    DWORD OnDragEnter(IDataObject* data, DWORD, POINTL) override {
        ++enters;
        FORMATETC format{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return data->QueryGetData(&format) == S_OK ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }
    void OnDragLeave() override { ++leaves; }
    DWORD OnDrop(IDataObject*, DWORD, POINTL) override {
        ++drops;
        return DROPEFFECT_COPY;
    }
};

class DropTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ole_.Initialize());
        window_ = CreateWindowW(L"STATIC", L"Drop here", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        target_ = new CTextDropTarget;
    }
    void TearDown() override {
        target_->Revoke();
        target_->Release();
        DestroyWindow(window_);
    }

    CUiOleSession ole_;
    HWND window_ = nullptr;
    CTextDropTarget* target_ = nullptr;
};

// Text data made the way the clipboard makes it, so the target sees a real data object.
CScopedComPtr<IDataObject> TextDataObject() {
    CScopedComPtr<IDataObject> data;
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, sizeof(L"song.mp3"));
    memcpy(GlobalLock(text), L"song.mp3", sizeof(L"song.mp3"));
    GlobalUnlock(text);
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, text);
        CloseClipboard();
        OleGetClipboard(data.Receive());
    } else {
        GlobalFree(text);
    }
    return data;
}

}  // namespace

TEST_F(DropTargetTest, RegistersOnceForAWindowAndRevokes) {
    EXPECT_EQ(target_->Register(window_), S_OK);
    EXPECT_EQ(target_->RegisteredWindow(), window_);
    EXPECT_EQ(target_->Register(window_), DRAGDROP_E_ALREADYREGISTERED);
    // The registration holds a reference of its own.
    EXPECT_EQ(target_->AddRef(), 3u);
    EXPECT_EQ(target_->Release(), 2u);
    target_->Revoke();
    EXPECT_EQ(target_->RegisteredWindow(), nullptr);
    EXPECT_EQ(target_->AddRef(), 2u);
    EXPECT_EQ(target_->Release(), 1u);
    EXPECT_EQ(RevokeDragDrop(window_), DRAGDROP_E_NOTREGISTERED);
}

TEST_F(DropTargetTest, ExposesOnlyIUnknownAndIDropTarget) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(target_->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(target_->QueryInterface(IID_IDropTarget, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDropTarget*>(target_));
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(target_->QueryInterface(IID_IUnknown, &object), S_OK);
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(target_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(DropTargetTest, EffectsComeFromTheConcreteTarget) {
    CScopedComPtr<IDataObject> data = TextDataObject();
    ASSERT_TRUE(data);
    DWORD effect = DROPEFFECT_MOVE;
    const POINTL point{10, 10};
    EXPECT_EQ(target_->DragEnter(data.Get(), MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target_->DragOver(MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(target_->DragLeave(), S_OK);
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target_->DragOver(MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(target_->Drop(data.Get(), 0, point, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(target_->Drop(nullptr, 0, point, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(target_->Drop(data.Get(), 0, point, nullptr), E_INVALIDARG);
    EXPECT_EQ(target_->enters, 1);
    EXPECT_EQ(target_->leaves, 1);
    EXPECT_EQ(target_->drops, 1);
}
