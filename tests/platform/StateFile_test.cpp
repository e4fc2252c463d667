#include "platform/StateFile.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {

std::string Pattern(size_t size)
{
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('a' + i % 23);
    return text;
}

}  // namespace

// Files around the buffer's growth steps read whole, and a file over the limit is cut at
// it and said to be cut, so that nobody writes the cut text back as the whole file.
TEST(StateFile, ReadsWholeFilesAndCutsAtTheLimit)
{
    struct Case {
        size_t size;
        size_t limit;
    };
    const Case cases[] = {{0, 1000}, {1, 1000}, {4095, 1u << 20}, {4096, 1u << 20}, {4097, 1u << 20},
                          {300000, 1u << 20}, {1000, 1000}, {1001, 1000}, {50000, 4097}, {10, 0}};
    lftest::TempDir dir;
    for (const Case& c : cases) {
        const std::string path = (dir / "state.txt").string();
        const std::string text = Pattern(c.size);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        const lfplat::StateFileText read = lfplat::ReadStateFile(path, c.limit);
        EXPECT_EQ(read.status, lfplat::StateFileText::Status::Read) << c.size;
        EXPECT_EQ(read.text, text.substr(0, c.limit)) << c.size << " of " << c.limit;
        EXPECT_EQ(read.whole, c.size <= c.limit) << c.size << " of " << c.limit;
    }
}

TEST(StateFile, MissingFoldersAndPipesAreToldApart)
{
    lftest::TempDir dir;
    EXPECT_EQ(lfplat::ReadStateFile((dir / "none").string(), 100).status, lfplat::StateFileText::Status::Missing);

    const lfplat::StateFileText folder = lfplat::ReadStateFile(dir.path().string(), 100);
    EXPECT_EQ(folder.status, lfplat::StateFileText::Status::Unreadable);
    EXPECT_FALSE(folder.reason.empty());

    // A pipe with no writer would block an ordinary open for ever.
    const std::string fifo = (dir / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const lfplat::StateFileText pipe = lfplat::ReadStateFile(fifo, 100);
    EXPECT_EQ(pipe.status, lfplat::StateFileText::Status::Unreadable);
    EXPECT_TRUE(pipe.text.empty());
}
