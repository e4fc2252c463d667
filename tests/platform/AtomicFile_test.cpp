#include "platform/AtomicFile.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

size_t EntriesIn(const fs::path& dir)
{
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

}  // namespace

TEST(AtomicFile, ReplacesTargetAndLeavesNoTemporary)
{
    lftest::TempDir dir;
    auto target = dir / "qkvex.sess";
    lftest::WriteText(target, "old contents");
    std::string error;
    ASSERT_TRUE(lfplat::WriteFileAtomically(target.string(), "new\r\n", 0600, &error)) << error;
    EXPECT_EQ(lftest::ReadText(target), "new\r\n");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFile, NewFileGetsRequestedModeAndExistingKeepsItsOwn)
{
    lftest::TempDir dir;
    auto fresh = dir / "secret";
    ASSERT_TRUE(lfplat::WriteFileAtomically(fresh.string(), "x", 0600));
    EXPECT_EQ(fs::status(fresh).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    auto existing = dir / "shared";
    lftest::WriteText(existing, "a");
    fs::permissions(existing, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(lfplat::WriteFileAtomically(existing.string(), "b", 0600));
    EXPECT_EQ(fs::status(existing).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(AtomicFile, UncommittedWriteLeavesTargetUntouched)
{
    lftest::TempDir dir;
    auto target = dir / "image.bmp";
    lftest::WriteText(target, "original");
    {
        lfplat::AtomicFile file(target.string());
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("half of the new"));
        // Destroyed without Commit, as when an encoder fails half way.
    }
    EXPECT_EQ(lftest::ReadText(target), "original");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFile, ReadOnlyFolderFailsWithReasonAndKeepsTarget)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    lftest::TempDir dir;
    auto target = dir / "keep.txt";
    lftest::WriteText(target, "original");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    std::string error;
    EXPECT_FALSE(lfplat::WriteFileAtomically(target.string(), "new", 0644, &error));
    EXPECT_NE(error.find("keep.txt"), std::string::npos) << error;
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(lftest::ReadText(target), "original");
}

TEST(AtomicFile, FullDeviceFailsAtCommitAndKeepsTarget)
{
    // A disk that fills up fails the buffered writes late, at flush time. Simulate it
    // by closing the descriptor under the stream: every later write and flush fails.
    lftest::TempDir dir;
    auto target = dir / "photo.jpg";
    lftest::WriteText(target, "original");
    lfplat::AtomicFile file(target.string());
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("some bytes"));
    ::close(fileno(file.Stream()));
    std::string big(1 << 16, 'x');
    file.Write(big);
    EXPECT_FALSE(file.Commit());
    EXPECT_FALSE(file.Error().empty());
    EXPECT_EQ(lftest::ReadText(target), "original");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFile, MissingFolderFails)
{
    lftest::TempDir dir;
    std::string error;
    EXPECT_FALSE(lfplat::WriteFileAtomically((dir / "no" / "such" / "file").string(), "x", 0644, &error));
    EXPECT_FALSE(error.empty());
}
