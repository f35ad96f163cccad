#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <string>

namespace standin {

// The data stream of a new object. Written bytes go to a new file of the player's store; only
// Commit makes the object (with that file as its data) appear on the player, and releasing the
// stream uncommitted throws the file away, as the platform's stream does.
class CStandinUploadStream final : public CComObject, public IPortableDeviceDataStream {
public:
    // Takes over nothing: the properties are copied when the object is committed.
    static HRESULT Create(const std::wstring& device, IPortableDeviceValues* properties, IStream** stream);
    ~CStandinUploadStream() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;
    HRESULT STDMETHODCALLTYPE GetObjectID(LPWSTR* objectId) override;
    HRESULT STDMETHODCALLTYPE Cancel() override;

private:
    CStandinUploadStream(std::wstring device, IPortableDeviceValues* properties);
    void Discard();

    std::wstring device_;
    CScopedComPtr<IPortableDeviceValues> properties_;
    ULONGLONG declaredSize_ = 0;
    ULONGLONG written_ = 0;
    std::wstring dataPath_;
    HANDLE data_ = INVALID_HANDLE_VALUE;
    std::wstring objectId_;  // set once committed
};

}  // namespace standin
