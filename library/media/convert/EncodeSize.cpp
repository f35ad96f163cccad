#include "library/media/convert/EncodeSize.h"

uint32_t AlignToSixteen(uint32_t value, uint32_t box) {
    const uint32_t remainder = value % 16;
    if (remainder == 0) return value;
    uint32_t aligned = value - remainder;
    if (remainder >= 9 && aligned + 16 <= box) aligned += 16;
    // A picture side of 0 would make the encoder refuse the profile.
    return aligned == 0 ? 16 : aligned;
}

EncodeSize FitEncodeSize(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t boxWidth, uint32_t boxHeight) {
    EncodeSize size = {boxWidth, boxHeight};
    if (sourceWidth == 0 || sourceHeight == 0) {
        // Nothing to scale from: the probe counts as failed.
    } else if (sourceWidth <= boxWidth && sourceHeight <= boxHeight) {
        size = {sourceWidth, sourceHeight};
    } else {
        const double widthRatio = static_cast<double>(boxWidth) / sourceWidth;
        const double heightRatio = static_cast<double>(boxHeight) / sourceHeight;
        if (heightRatio >= widthRatio) {
            size = {boxWidth, static_cast<uint32_t>(sourceHeight * widthRatio)};
        } else {
            size = {static_cast<uint32_t>(sourceWidth * heightRatio), boxHeight};
        }
    }
    return {AlignToSixteen(size.width, boxWidth), AlignToSixteen(size.height, boxHeight)};
}
