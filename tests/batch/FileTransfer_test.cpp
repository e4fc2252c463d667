#include "batch/model/FileTransfer.h"

#include "tests/batch/FileFixtures.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using namespace lftest;

FileIdentity IdentityAt(const std::filesystem::path& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return IdentityOf(st);
}

}  // namespace

TEST(FileTransfer, OnlyTheFileThatWasCopiedIsDeleted)
{
    TempDir dir;
    const auto source = dir / "a.jpg";
    WriteBytes(source, PatternBytes(4000, 1));
    const FileIdentity copied = IdentityAt(source);

    // Another file of the same size renamed onto the path: it was never copied.
    WriteBytes(dir / "other.jpg", PatternBytes(4000, 2));
    ASSERT_EQ(std::rename((dir / "other.jpg").c_str(), source.c_str()), 0);
    int error = 0;
    EXPECT_FALSE(DeleteIfUnchanged(source.string(), copied, error));
    EXPECT_EQ(error, ESTALE);
    EXPECT_EQ(ReadBytes(source), PatternBytes(4000, 2));

    // The same file, written to after it was copied (same size, another time).
    const FileIdentity before = IdentityAt(source);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {before.modifiedNs / 1000000000 + 5, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
    EXPECT_FALSE(DeleteIfUnchanged(source.string(), before, error));
    EXPECT_TRUE(Exists(source));

    // Unchanged: deleted.
    EXPECT_TRUE(DeleteIfUnchanged(source.string(), IdentityAt(source), error));
    EXPECT_FALSE(Exists(source));
    EXPECT_FALSE(DeleteIfUnchanged(source.string(), before, error));
    EXPECT_EQ(error, ENOENT);
}

TEST(FileTransfer, MoveAcrossFileSystemsCopiesThenDeletesTheSource)
{
    TempDir dir;
    struct stat here {}, shm {};
    if (::stat(dir.str().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
        GTEST_SKIP() << "needs /dev/shm on another file system than the temporary folder";
    char shmTemplate[] = "/dev/shm/lf-transfer-XXXXXX";
    ASSERT_NE(::mkdtemp(shmTemplate), nullptr);
    const std::filesystem::path other = shmTemplate;
    struct Cleanup {
        std::filesystem::path path;
        ~Cleanup() { std::filesystem::remove_all(path); }
    } cleanup{other};
    const auto source = other / "a.jpg";
    WriteBytes(source, PatternBytes(300000, 3));
    const TransferOutcome outcome = TransferFile(source.string(), (dir / "a.jpg").string(), true, false);
    EXPECT_TRUE(outcome.written);
    EXPECT_TRUE(outcome.sourceDeleted);
    EXPECT_EQ(outcome.deleteError, 0);
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(ReadBytes(dir / "a.jpg"), PatternBytes(300000, 3));
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"a.jpg"}) << "no temporary file stays";
}
