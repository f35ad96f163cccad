// Feeds arbitrary bytes to the frame search and the header parsers: they must stay in bounds.
#include <cstddef>
#include <cstdint>

#include "library/media/decode/FrameSync.h"
#include "library/media/decode/MPEGFrame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t offset = 0;
    FindFrameSync(data, size, &offset);
    if (size >= 10) {
        uint32_t tagSize = 0;
        ParseId3Header(data, &tagSize);
    }
    MPEGFrame frame;
    frame.ParseHeader(data, size);
    if (size >= 4 && Mpeg1Layer3FrameLength(data) != 0) IsEncoderInfoFrame(data, size);
    return 0;
}
