#pragma once

#include "library/util/ScopedWin.h"
#include "library/util/ScopedCom.h"
#include "platform/wpd/PortableDeviceApi.h"

#include <cstdint>
#include <functional>
#include <string>

// The object look-ups of one open portable-device connection, each WPD call made under the
// controller's device lock and released between calls, so other threads' calls interleave.
class CWpdContentAccess {
public:
    CWpdContentAccess(IPortableDevice* device, CCriticalSection& deviceLock);

    // S_OK when the connection gave its content and property interfaces.
    HRESULT Status() const { return status_; }
    IPortableDeviceContent* Content() const { return content_.Get(); }

    bool ReadString(const std::wstring& objectId, REFPROPERTYKEY key, std::wstring* value);
    bool ReadGuid(const std::wstring& objectId, REFPROPERTYKEY key, GUID* value);
    bool ReadUInt64(const std::wstring& objectId, REFPROPERTYKEY key, uint64_t* value);

    // Calls `visit` with each child id, fetched `batch` at a time; `visit` returns false to stop.
    // False when the children could not be listed or the walk was stopped.
    bool ForEachChild(const std::wstring& parentId, ULONG batch, const std::function<bool(const std::wstring&)>& visit);
    // The first child whose original file name is `name` (exactly, or ignoring case).
    bool FindChild(const std::wstring& parentId, const std::wstring& name, bool ignoreCase, std::wstring* childId);
    // An ordinary (not hidden) folder object; gives its id.
    HRESULT CreateFolder(const std::wstring& parentId, const std::wstring& name, std::wstring* folderId);
    HRESULT Rename(const std::wstring& objectId, const std::wstring& newName);
    HRESULT Delete(const std::wstring& objectId);
    // A read stream of the object's data and the block size the device suggests for it.
    HRESULT OpenData(const std::wstring& objectId, IStream** stream, DWORD* optimalBufferSize);

private:
    HRESULT ReadValues(const std::wstring& objectId, REFPROPERTYKEY key, CScopedComPtr<IPortableDeviceValues>* values);

    CCriticalSection& deviceLock_;
    // The one-key collection of the reads, made on the first and refilled for each: a walk over
    // a folder reads a name per child.
    CScopedComPtr<IPortableDeviceKeyCollection> readKeys_;
    CScopedComPtr<IPortableDeviceContent> content_;
    CScopedComPtr<IPortableDeviceProperties> properties_;
    HRESULT status_ = E_FAIL;
};
