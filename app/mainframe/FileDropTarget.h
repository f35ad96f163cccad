#pragma once
// Makes the main window an OLE drop target for what the program can take: files and folders,
// feed links, and items dragged out of iTunes. The data object is handed on unread.

#include <windows.h>

#include "app/mainframe/FileDropTargetListener.h"
#include "platform/ui/UiDropTarget.h"

class CFileDropTarget : public CUiDropTarget {
public:
    using IFileDropTargetListener = ::IFileDropTargetListener;

    CFileDropTarget() = default;

    // Written by the coordinator's threads as a plain flag when it allows or forbids new work.
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool IsEnabled() const { return enabled_; }
    // Not owned; set before Register.
    void SetListener(IFileDropTargetListener* listener) { listener_ = listener; }

    // True when the object offers a format the program takes (checked in a fixed order).
    static bool IsAcceptable(IDataObject* data);

protected:
    ~CFileDropTarget() override = default;

    DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINTL point) override;
    DWORD OnDragOver(DWORD keyState, POINTL point) override;
    void OnDragLeave() override;
    DWORD OnDrop(IDataObject* data, DWORD keyState, POINTL point) override;

private:
    DWORD Answer(POINTL point, bool entering);

    volatile bool enabled_ = false;
    IFileDropTargetListener* listener_ = nullptr;
    IDataObject* current_ = nullptr;
};
