#include "setup/manager/DeviceFormatMasks.h"

#include <string>
#include <vector>

namespace {

struct ExtensionBit {
    const wchar_t* extension;
    uint64_t bit;
};

using DeviceFormatBits::kHigh;

const ExtensionBit kAudioBits[] = {
    {L"mp3", 0x2},  {L"wma", 0x4},  {L"mp4", 0x8},  {L"3gp", 0x10},  {L"m4a", 0x20},
    {L"aac", 0x40}, {L"wav", 0x80}, {L"zel", 0x100}, {L"zq3", 0x200},
};
const ExtensionBit kImageBits[] = {
    {L"jpg", 0x20000}, {L"jpeg", 0x40000}, {L"jpe", 0x80000}, {L"png", 0x100000}, {L"bmp", 0x200000},
};
const ExtensionBit kVideoBits[] = {
    {L"mp4", 0x2ull << kHigh},       {L"m4v", 0x4ull << kHigh},       {L"wmv", 0x8ull << kHigh},
    {L"3gp", 0x10ull << kHigh},      {L"mpg", 0x20ull << kHigh},      {L"mov", 0x40ull << kHigh},
    {L"avi", 0x80ull << kHigh},      {L"flv", 0x100ull << kHigh},     {L"rm", 0x200ull << kHigh},
    {L"qt", 0x400ull << kHigh},      {L"divx", 0x800ull << kHigh},    {L"xvid", 0x1000ull << kHigh},
    {L"m2ts", 0x2000ull << kHigh},   {L"m2t", 0x4000ull << kHigh},    {L"mts", 0x8000ull << kHigh},
    {L"mpeg", 0x10000ull << kHigh},  {L"mpe", 0x20000ull << kHigh},   {L"m2v", 0x40000ull << kHigh},
    {L"mpv2", 0x80000ull << kHigh},  {L"mp2v", 0x100000ull << kHigh},
};

struct TypeBits {
    int type;
    const ExtensionBit* begin;
    const ExtensionBit* end;
    bool DeviceFormatMasks::*flag;
};

const TypeBits kTypes[] = {
    {CTNDevCapability::kAudio, std::begin(kAudioBits), std::end(kAudioBits), &DeviceFormatMasks::audio},
    {CTNDevCapability::kImage, std::begin(kImageBits), std::end(kImageBits), &DeviceFormatMasks::image},
    {CTNDevCapability::kVideo, std::begin(kVideoBits), std::end(kVideoBits), &DeviceFormatMasks::video},
};

// The bits of the listed extensions; exact, case-sensitive names, as the players write them.
uint64_t BitsOf(const std::vector<std::wstring>& extensions, const TypeBits& type) {
    uint64_t bits = 0;
    for (const std::wstring& extension : extensions) {
        for (const ExtensionBit* entry = type.begin; entry != type.end; ++entry) {
            if (extension == entry->extension) bits |= entry->bit;
        }
    }
    return bits;
}

}  // namespace

DeviceFormatMasks ReadDeviceFormatMasks(const CTNDevCapability& capability) {
    DeviceFormatMasks masks;
    for (const TypeBits& type : kTypes) {
        std::vector<std::wstring> extensions;
        if (capability.GetExtensions(extensions, type.type, CTNDevCapability::kDeviceFormats) != 0) continue;
        masks.ordinary |= BitsOf(extensions, type);
        if (!extensions.empty()) masks.*type.flag = true;
    }
    if (capability.IsExtensionPlayable(L"opml", CTNDevCapability::kFile, CTNDevCapability::kFeedFormats)) {
        masks.ordinary |= DeviceFormatBits::kFeedList;
        masks.feed = DeviceFormatBits::kFeedList;
        masks.podcast = true;
    }
    for (const TypeBits& type : kTypes) {
        std::vector<std::wstring> extensions;
        if (capability.GetExtensions(extensions, type.type, CTNDevCapability::kFeedFormats) != 0) continue;
        masks.feed |= BitsOf(extensions, type);
        if (!extensions.empty()) masks.podcast = true;
    }
    masks.feed |= masks.ordinary & DeviceFormatBits::kVideoMask;
    return masks;
}
