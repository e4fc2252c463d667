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
    // that an input which declares a large one stays quick: the pass touches every
    // pixel under coverage instrumentation, and at a million pixels it took more time
    // than the decoding.
    if (int64_t(img.GetWidth()) * img.GetHeight() <= 1 << 16)
        img.GrayScale();
    return true;
}

namespace {

// Whether the input declares a picture beyond a million pixels before any of its data,
// as far as the family's header says that cheaply. Each such input costs the whole
// picture's memory to allocate and clear, whatever its data: mutated GIF screens of
// tens of millions of pixels kept the GIF target near 130 inputs a second. So the
// fuzzer passes them over, as the image libraries' own fuzzers do with a size limit;
// the size gate itself is covered by the codec tests.
bool DeclaresHugePicture(const uint8_t* data, size_t size)
{
    constexpr uint64_t kMaxPixels = 1 << 20;
    if (LF_FUZZ_TYPE == lfimg::kTypeGIF && size >= 10) {
        // The logical screen bounds every frame and the canvas the frames are drawn on.
        const uint64_t width = data[6] | (data[7] << 8);
        const uint64_t height = data[8] | (data[9] << 8);
        return width * height > kMaxPixels;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!DeclaresHugePicture(data, size))
        LfFuzzDecode(data, size);
    return 0;
}
