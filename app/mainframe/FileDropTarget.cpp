#include "app/mainframe/FileDropTarget.h"

namespace {

bool Offers(IDataObject* data, CLIPFORMAT format) {
    if (format == 0) {
        return false;
    }
    FORMATETC query = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_FILE};
    return data->QueryGetData(&query) == S_OK;
}

CLIPFORMAT Registered(const wchar_t* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)); }

}  // namespace

bool CFileDropTarget::IsAcceptable(IDataObject* data) {
    if (!data) {
        return false;
    }
    const CLIPFORMAT itunesName = Registered(L"iTunesObjectListName");
    const CLIPFORMAT itunesList = Registered(L"iTunesObjectList");
    const CLIPFORMAT link = Registered(L"UniformResourceLocator");
    if (Offers(data, itunesName)) {
        return true;
    }
    // Text alone is what any editor drags; only iTunes pairs it with its object list.
    if (Offers(data, CF_UNICODETEXT) && Offers(data, itunesList)) {
        return true;
    }
    return Offers(data, CF_HDROP) || Offers(data, link);
}

DWORD CFileDropTarget::Answer(POINTL point, bool entering) {
    if (!current_ || !IsAcceptable(current_) || !enabled_ || !listener_) {
        return DROPEFFECT_NONE;
    }
    POINT client = {point.x, point.y};
    if (HWND window = RegisteredWindow()) {
        ScreenToClient(window, &client);
    }
    const int accepted =
        entering ? listener_->OnDragEnter(client.x, client.y) : listener_->OnDragOver(client.x, client.y);
    return accepted ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

DWORD CFileDropTarget::OnDragEnter(IDataObject* data, DWORD, POINTL point) {
    current_ = data;
    return Answer(point, true);
}

DWORD CFileDropTarget::OnDragOver(DWORD, POINTL point) { return Answer(point, false); }

void CFileDropTarget::OnDragLeave() {
    current_ = nullptr;
    if (listener_) {
        listener_->OnDragLeave();
    }
}

DWORD CFileDropTarget::OnDrop(IDataObject* data, DWORD, POINTL point) {
    // The drop is judged again where it lands: a source may drop after a refusal or without
    // having asked (under Wine a DragOver from another process does not arrive, and the source
    // then goes on with the effect it offered), and a drop must never start work that the
    // coordinator has forbidden.
    current_ = data;
    const bool accepted = Answer(point, false) == DROPEFFECT_COPY;
    current_ = nullptr;
    if (!listener_) {
        return DROPEFFECT_NONE;
    }
    if (!accepted) {
        listener_->OnDragLeave();
        return DROPEFFECT_NONE;
    }
    listener_->OnFileDrop(data);
    return DROPEFFECT_COPY;
}
