#include "platform/ui/UiImage.h"

#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <climits>

#include "library/util/ScopedCom.h"

CUiImage::CUiImage() = default;

CUiImage::~CUiImage() = default;

namespace {

// GDI+ answers a Bitmap object even when decoding failed; only an Ok status counts.
std::unique_ptr<Gdiplus::Bitmap> Checked(Gdiplus::Bitmap* bitmap) {
    std::unique_ptr<Gdiplus::Bitmap> owned(bitmap);
    if (!owned || owned->GetLastStatus() != Gdiplus::Ok || owned->GetWidth() == 0 || owned->GetHeight() == 0) {
        return nullptr;
    }
    return owned;
}

}  // namespace

bool CUiImage::LoadFile(const std::wstring& path) {
    Reset();
    // Decoded through a copy in memory: GDI+ would otherwise hold the file open while the image lives.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    std::string bytes;
    bool read = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= INT_MAX;
    if (read) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        read = ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size();
    }
    CloseHandle(file);
    return read && LoadMemory(bytes.data(), bytes.size());
}

bool CUiImage::LoadMemory(const void* bytes, size_t size) {
    Reset();
    if (bytes == nullptr || size == 0 || size > UINT_MAX) return false;
    // SHCreateMemStream copies the bytes; the stream lives as long as the bitmap needs it.
    CScopedComPtr<IStream> stream(SHCreateMemStream(static_cast<const BYTE*>(bytes), static_cast<UINT>(size)));
    if (!stream) return false;
    bitmap_ = Checked(Gdiplus::Bitmap::FromStream(stream.Get()));
    return bitmap_ != nullptr;
}

bool CUiImage::LoadResource(HMODULE module, UINT id, const wchar_t* type) {
    Reset();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (resource == nullptr) return false;
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    return LoadMemory(bytes, SizeofResource(module, resource));
}

void CUiImage::Reset() { bitmap_.reset(); }

UINT CUiImage::Width() const { return bitmap_ ? bitmap_->GetWidth() : 0; }

UINT CUiImage::Height() const { return bitmap_ ? bitmap_->GetHeight() : 0; }

HBITMAP CUiImage::CreateHbitmap(COLORREF background) const {
    if (!bitmap_) return nullptr;
    HBITMAP result = nullptr;
    const Gdiplus::Color colour(255, GetRValue(background), GetGValue(background), GetBValue(background));
    if (bitmap_->GetHBITMAP(colour, &result) != Gdiplus::Ok) return nullptr;
    return result;
}

bool CUiImage::Draw(HDC dc, int x, int y, int width, int height) const {
    if (!bitmap_ || dc == nullptr) return false;
    Gdiplus::Graphics graphics(dc);
    return graphics.DrawImage(bitmap_.get(), x, y, width, height) == Gdiplus::Ok;
}
