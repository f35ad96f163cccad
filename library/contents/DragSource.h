#pragma once
// Where a drop comes from, told by the clipboard formats its data object offers.

#include <objidl.h>

enum DragSourceKind : int {
    kDragSourceOther = 0,
    kDragSourceITunes = 1,
    kDragSourceOwnApplication = 2,
};

// The format is registered by name at each call.
bool IsDataFormatAvailable(const wchar_t* formatName, IDataObject* data);
bool IsClipboardFormatAvailableIn(CLIPFORMAT format, IDataObject* data);
// "iTunesObjectList" first, then the maker's two formats.
int GetDragSourceKind(IDataObject* data);
