#pragma once
// Object work on an open MTP player: its storage, folder paths, free space, and writing and
// deleting objects.

#include <windows.h>

#include <string>

#include "library/device/WpdContentAccess.h"
#include "library/util/ScopedCom.h"
#include "platform/wpd/PortableDeviceApi.h"

// Opens the player by its Plug and Play id, asking for read and write access.
HRESULT OpenMtpDevice(const wchar_t* deviceId, CScopedComPtr<IPortableDevice>* device);

// The storage object among the children of the device object; the last one listed wins.
HRESULT FindDeviceRootObject(CWpdContentAccess& access, std::wstring* storageId);

// Walks the '\'-separated path (empty names skipped) from the start object. A missing name that
// is not the last is created as a folder when create is set, and otherwise ends the walk with
// ERROR_PATH_NOT_FOUND; so does a name that is not a folder where folders must be. A missing last
// name gives E_INVALIDARG when lastMustExist is set, and otherwise an empty foundId. parentId is
// the folder the last name is (or would be) in; foundId the object of the last name.
HRESULT CreateFolderPath(CWpdContentAccess& access, const std::wstring& path, const std::wstring& startId,
                         bool create, bool lastMustExist, std::wstring* parentId, std::wstring* foundId);

// 0 when the file is strictly smaller than the storage's free space, E_OUTOFMEMORY when not,
// E_FAIL when either cannot be read.
HRESULT CheckStorageFreeSpace(CWpdContentAccess& access, const std::wstring& storageId, const wchar_t* firmwareFile);

// The properties of a new object under the parent holding the stream's data under fileName.
HRESULT WriteObjectProperties(IPortableDeviceValues* values, const std::wstring& parentId, IStream* data,
                              const std::wstring& fileName);

// Copies the source into the destination in blocks of bufferSize until a read gives nothing.
HRESULT CopyStreamToDevice(IStream* source, IStream* destination, DWORD bufferSize);

// Deletes one object (not a folder with content); the outcome is only traced.
HRESULT DeleteDeviceObject(CWpdContentAccess& access, const std::wstring& objectId);
