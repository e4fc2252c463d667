#pragma once
// Zeroed memory for pictures: blocks of many megabytes are asked to be backed by
// large pages. Filling 70 MB of fresh small pages costs a fault per 4 KB, which on
// a virtual machine takes longer than decoding the picture into them.
// The block is released with std::free.

#include <cstddef>

namespace lfplat {

void* AllocateZeroed(size_t bytes);

}  // namespace lfplat
