// Feeds arbitrary bytes to the codec-family base-layer copy: it must never crash, read or write out
// of bounds, or write more than it read.
#include "library/util/ZelFile.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    FILE* source = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (source == nullptr) return 0;
    CZelConversion conversion;
    conversion.source = source;
    if (InspectZelSource(&conversion) == S_OK) {
        char* output = nullptr;
        size_t outputSize = 0;
        FILE* destination = open_memstream(&output, &outputSize);
        if (destination != nullptr) {
            conversion.destination = destination;
            WriteZelBaseLayer(&conversion);
            fclose(destination);
            if (outputSize > size) abort();
            free(output);
        }
    }
    fclose(source);
    return 0;
}
