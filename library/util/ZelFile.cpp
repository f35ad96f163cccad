#include "library/util/ZelFile.h"

#include <cerrno>

namespace {

class CScopedFile {
public:
    explicit CScopedFile(FILE* file) : file_(file) {}
    ~CScopedFile() { Close(); }
    CScopedFile(const CScopedFile&) = delete;
    CScopedFile& operator=(const CScopedFile&) = delete;
    FILE* Get() const { return file_; }
    // False when buffered data could not be written out.
    bool Close() {
        bool ok = true;
        if (file_ != nullptr) ok = fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    FILE* file_;
};

}  // namespace

HRESULT CopyZelFile(const std::wstring& sourcePath, const std::wstring& destinationPath) {
    CZelConversion conversion;
    CScopedFile source(_wfopen(sourcePath.c_str(), L"rb"));
    if (source.Get() == nullptr) return ErrnoToHResult(errno);
    conversion.source = source.Get();
    HRESULT hr = InspectZelSource(&conversion);
    if (hr != S_OK) return hr;

    CScopedFile destination(_wfopen(destinationPath.c_str(), L"wb"));
    if (destination.Get() == nullptr) return ErrnoToHResult(errno);
    conversion.destination = destination.Get();
    hr = WriteZelBaseLayer(&conversion);
    if (!destination.Close() && SUCCEEDED(hr)) hr = E_FAIL;
    if (FAILED(hr)) {
        _wremove(destinationPath.c_str());
        return hr;
    }
    return S_OK;
}
