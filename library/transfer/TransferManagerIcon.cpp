// The player's icon: fetched from the player, the best image cut out of it.
#include "library/transfer/TransferManager.h"

#include <algorithm>
#include <new>
#include <vector>

#include "library/transfer/DeviceIconParser.h"
#include "library/util/FileSystem.h"
#include "library/util/ScopedWin.h"

namespace {
const wchar_t kIconFileName[] = L"DevIcon.fil";
// Icon files are a few kilobytes; anything far larger is not one.
constexpr LONGLONG kLargestIconFile = 16ll << 20;

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>* bytes) {
    CScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    LARGE_INTEGER length = {};
    if (!GetFileSizeEx(file.Get(), &length) || length.QuadPart <= 0 ||
        length.QuadPart > kLargestIconFile) {
        return false;
    }
    bytes->resize(static_cast<size_t>(length.QuadPart));
    DWORD read = 0;
    return ReadFile(file.Get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
           read == bytes->size();
}
}  // namespace

uint8_t* CTransferManager::LoadDeviceIcon(unsigned* imageSize) {
    if (imageSize != nullptr) *imageSize = 0;
    CreateFolderTree(DataFolder());
    std::wstring path = DataFolder() + kIconFileName;
    if (activeType_ != kNoController) active_->GetDeviceIcon(&path);

    uint8_t* image = nullptr;
    std::vector<uint8_t> bytes;
    CDeviceIconParser::Image best = {};
    if (!path.empty() && ReadWholeFile(path, &bytes) &&
        CDeviceIconParser::FindBestImage(bytes.data(), bytes.size(), &best)) {
        image = new (std::nothrow) uint8_t[best.length];
        if (image != nullptr) {
            std::copy(bytes.begin() + best.offset, bytes.begin() + best.offset + best.length, image);
            if (imageSize != nullptr) *imageSize = static_cast<unsigned>(best.length);
        }
    }
    deviceIconPath_ = path;
    return image;
}
