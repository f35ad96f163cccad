#pragma once
// The main window's layout tables and skin ids, shared by its source files.

#include <windows.h>

namespace mainframe {

struct ButtonLayout {
    int id;
    RECT rect;
    bool visible;
    bool enabled;
    UINT normal, pressed, disabled, hover;
    UINT tooltip;
};

// Kinds of the delete page in slot order; kind 4 is the player's own content.
constexpr int kDeleteIds[5] = {110, 111, 112, 113, 120};

constexpr ButtonLayout kButtons[] = {
    {102, {164, 209, 180, 225}, false, true, 151, 152, 0, 150, 152},
    {118, {164, 209, 180, 225}, false, true, 257, 250, 0, 256, 172},
    {101, {497, 31, 517, 51}, true, true, 172, 173, 259, 171, 144},
    {106, {132, 8, 148, 24}, true, true, 160, 161, 0, 159, 140},
    {104, {168, 188, 184, 204}, true, true, 166, 167, 0, 165, 149},
    {116, {168, 188, 184, 204}, false, true, 154, 155, 0, 153, 150},
    {114, {150, 8, 166, 24}, true, true, 163, 164, 0, 162, 142},
    {115, {168, 8, 184, 24}, true, true, 157, 158, 0, 156, 143},
    {110, {0, 0, 26, 24}, true, false, 194, 195, 219, 193, 145},
    {111, {0, 0, 26, 24}, true, false, 198, 199, 220, 197, 146},
    {112, {0, 0, 26, 24}, true, false, 204, 205, 218, 203, 147},
    {113, {0, 0, 26, 24}, true, false, 201, 202, 221, 200, 148},
    {120, {0, 0, 26, 24}, true, false, 289, 290, 287, 288, 207},
};

// Skin ids of the roles this Part leaves to us.
enum SkinId : UINT {
    kLogo = 169,
    kDropHighlight = 181,
    kPinOff = 183,
    kPinOn = 184,
    kPinHover = 185,
    kSwitchOff = 300,
    kSwitchOn = 301,
    kSwitchOffHover = 302,
    kSwitchOnHover = 303,
    kCapacityFirst = 230,  // music, images, videos, podcasts, other
    kMiniBarFree = 235,
    kMiniBarUsed = 236,
    kBusyFirst = 260,
    kLookup = 268,
    kGenericPlayer = 374,
    kPlayerWithFlag = 255,
};

constexpr UINT kBackgrounds[] = {141, 252, 142, 254, 209, 253, 210, 251, 375, 376, 377, 378, 379, 380, 381, 382};
constexpr UINT kModelPictures[] = {386, 387, 388, 389};
// USB vendor_product of the players with pictures of their own, in picture order 386, 388, 387, 389.
constexpr const wchar_t* kKnownModels[] = {L"0e8d_7101", L"0e8d_7102", L"0e8d_7103", L"0e8d_7104"};

// Labels the language module has no texts for yet.
constexpr wchar_t kSyncTabLabel[] = L"Sync";
constexpr wchar_t kAutoSyncLabel[] = L"Sync when the player is connected";
constexpr wchar_t kSyncNowLabel[] = L"Sync now";

}  // namespace mainframe
