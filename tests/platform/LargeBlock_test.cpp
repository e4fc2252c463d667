#include "platform/LargeBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

// Small and picture-sized blocks, aligned or not to the large pages, come back zeroed
// and writable to their last byte.
TEST(LargeBlock, BlocksAreZeroedAndWholeWhateverTheirSize)
{
    for (size_t bytes : {size_t(0), size_t(1), size_t(4096), size_t(8) << 20, (size_t(9) << 20) + 12345,
                         size_t(72000054)}) {
        auto* block = static_cast<unsigned char*>(lfplat::AllocateZeroed(bytes));
        ASSERT_NE(block, nullptr) << bytes;
        EXPECT_TRUE(std::all_of(block, block + bytes, [](unsigned char b) { return b == 0; })) << bytes;
        if (bytes > 0) {
            std::memset(block, 0xa5, bytes);
            EXPECT_EQ(block[bytes - 1], 0xa5);
        }
        std::free(block);
    }
}
