#pragma once
// What the drop target asks of the window it serves. Keep the operations in this order.

#include <windows.h>

struct IDataObject;

class IFileDropTargetListener {
public:
    // An accepted drop; the data object travels on untouched.
    virtual void OnFileDrop(IDataObject* data) = 0;
    // Pointer position in client coordinates; 1 accepts, 0 refuses.
    virtual int OnDragEnter(int x, int y) = 0;
    virtual int OnDragOver(int x, int y) = 0;
    virtual void OnDragLeave() = 0;

protected:
    ~IFileDropTargetListener() = default;
};
