#include "fuzz/LfDecoderFuzz.h"

#include "image/CLfImage.h"

#include <cstdlib>

#ifndef LF_FUZZ_TYPE
#error "LF_FUZZ_TYPE names the decoder family (an ImageType)"
#endif

#ifndef LF_FUZZ_TYPES
#define LF_FUZZ_TYPES 1
#endif

bool LfFuzzDecode(const uint8_t* data, size_t size)
{
    uint32_t type = LF_FUZZ_TYPE;
    if (LF_FUZZ_TYPES > 1) {
        // A family of several ids: the first byte picks one.
        if (size == 0)
            return false;
        type += data[0] % LF_FUZZ_TYPES;
        ++data;
        --size;
    }
    CLfImage img;
    if (!img.Decode(data, int64_t(size), type)) {
        if (size > 0 && img.IsValid())
            std::abort();
        return false;
    }
    if (!img.IsValid() || img.GetWidth() <= 0 || img.GetHeight() <= 0)
        std::abort();
    // What the programs do next with a decoded picture, kept to small pictures so
    // that an input which declares a huge one stays quick.
    if (int64_t(img.GetWidth()) * img.GetHeight() <= 1 << 20)
        img.GrayScale();
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LfFuzzDecode(data, size);
    return 0;
}
