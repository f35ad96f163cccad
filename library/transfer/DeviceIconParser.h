#pragma once
// Finds the best image in a Windows icon file (the player's "DevIcon.fil").

#include <cstddef>
#include <cstdint>

class CDeviceIconParser {
public:
    struct Image {
        size_t offset;
        size_t length;
    };

    // The image with the highest bit count, ties to the larger width times height (a width or
    // height byte of 0 means 256), the first of equal entries winning. False for anything that
    // is not a well-formed icon directory whose entries and images all lie inside the bytes.
    static bool FindBestImage(const uint8_t* bytes, size_t size, Image* best);
};
