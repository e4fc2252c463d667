#pragma once
// The decoder fuzz entry shared by the libFuzzer targets and the replay program:
// one decoder family, chosen when the target is built (LF_FUZZ_TYPE, an ImageType).
// A family of LF_FUZZ_TYPES consecutive ids takes the id from the input's first
// byte (LF_FUZZ_TYPE plus that byte modulo the count); the rest is the file.

#include <cstddef>
#include <cstdint>

// Decodes the bytes as the family's format; true when they made a picture.
// Aborts when a result breaks the library's promises (a picture reported without
// pixels, a refusal without a message), so the fuzzer records the input.
bool LfFuzzDecode(const uint8_t* data, size_t size);
