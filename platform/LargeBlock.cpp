#include "platform/LargeBlock.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace lfplat {

namespace {
constexpr size_t kLargePage = size_t(2) << 20;
constexpr size_t kWorthAdvising = 2 * kLargePage;
}  // namespace

void* AllocateZeroed(size_t bytes)
{
    void* block = std::calloc(1, bytes == 0 ? 1 : bytes);
    if (block && bytes >= kWorthAdvising) {
        // A block this size is a fresh mapping the allocator has not touched yet: the
        // advice takes effect on the first write. Only whole large pages inside it.
        const auto start = reinterpret_cast<uintptr_t>(block);
        const uintptr_t first = (start + kLargePage - 1) & ~uintptr_t(kLargePage - 1);
        const uintptr_t end = (start + bytes) & ~uintptr_t(kLargePage - 1);
#ifdef MADV_HUGEPAGE
        if (end > first)
            ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);  // advice only: may be refused
#endif
    }
    return block;
}

}  // namespace lfplat
