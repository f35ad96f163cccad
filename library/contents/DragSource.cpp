#include "library/contents/DragSource.h"

bool IsClipboardFormatAvailableIn(CLIPFORMAT format, IDataObject* data) {
    if (!data || !format) return false;
    FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data->QueryGetData(&wanted) == S_OK;
}

bool IsDataFormatAvailable(const wchar_t* formatName, IDataObject* data) {
    if (!formatName) return false;
    const UINT format = RegisterClipboardFormatW(formatName);
    return IsClipboardFormatAvailableIn(static_cast<CLIPFORMAT>(format), data);
}

int GetDragSourceKind(IDataObject* data) {
    if (IsDataFormatAvailable(L"iTunesObjectList", data)) return kDragSourceITunes;
    if (IsDataFormatAvailable(L"TavrelPelmInternalDropSource", data) ||
        IsDataFormatAvailable(L"TavrelPelmEditContent", data)) {
        return kDragSourceOwnApplication;
    }
    return kDragSourceOther;
}
