#include "platform/AtomicFile.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

namespace {

std::string ErrorOfWrite(const fs::path& target, const std::string& data)
{
    std::string error;
    if (lfplat::WriteFileAtomically(target.string(), data, 0644, &error))
        return {};
    return error;
}

}  // namespace

TEST(AtomicFile, LinkIsFollowedAndTheFileItNamesIsWritten)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links;  // link name -> what it points to
        const char* writeThrough;
    };
    const Case cases[] = {
        {"absolute", {{"photo.jpg", "@/real/photo.jpg"}}, "photo.jpg"},
        {"relative", {{"photo.jpg", "real/photo.jpg"}}, "photo.jpg"},
        {"chain", {{"a.jpg", "b.jpg"}, {"b.jpg", "real/photo.jpg"}}, "a.jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        lftest::TempDir dir;
        fs::create_directory(dir / "real");
        const auto real = dir / "real" / "photo.jpg";
        lftest::WriteText(real, "old");
        fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        for (const auto& [link, to] : c.links)
            fs::create_symlink(to.starts_with('@') ? (dir.path().string() + to.substr(1)) : to, dir / link);

        ASSERT_EQ(ErrorOfWrite(dir / c.writeThrough, "new"), "");
        EXPECT_EQ(lftest::ReadText(real), "new");
        for (const auto& link : c.links)
            EXPECT_TRUE(fs::is_symlink(dir / link.first)) << link.first;
        EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        EXPECT_EQ(EntriesIn(dir / "real"), 1u);
    }
}

TEST(AtomicFile, OwnerOfTheReplacedFileIsKeptWhereAllowed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    lftest::TempDir dir;
    const auto target = dir / "shared.jpg";
    lftest::WriteText(target, "old");
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    ::chmod(target.c_str(), 0666);
    ASSERT_EQ(ErrorOfWrite(target, "new"), "");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0666u);
}

TEST(AtomicFile, FileTheUserCannotWriteIsNotReplacedEvenByAnOverridingProcess)
{
    // Renaming over a file needs only the folder's permission; the writer itself has to
    // refuse a read-only file, and root (which may write anything) refuses it too.
    lftest::TempDir dir;
    const auto target = dir / "keep.jpg";
    lftest::WriteText(target, "original");
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto link = dir / "link.jpg";
    fs::create_symlink(target, link);
    for (const auto& path : {target, link}) {
        lfplat::AtomicFile file(path.string());
        EXPECT_FALSE(file.Open() && file.Write("new") && file.Commit());
        EXPECT_EQ(file.ErrorNumber(), EACCES);
        EXPECT_NE(file.Error().find(path.filename().string()), std::string::npos) << file.Error();
        EXPECT_NE(file.Error().find(std::strerror(EACCES)), std::string::npos) << file.Error();
    }
    EXPECT_EQ(lftest::ReadText(target), "original");
    EXPECT_EQ(EntriesIn(dir.path()), 2u);
}

TEST(AtomicFile, FileMadeReadOnlyWhileBeingWrittenIsNotReplaced)
{
    lftest::TempDir dir;
    const auto target = dir / "keep.jpg";
    lftest::WriteText(target, "original");
    lfplat::AtomicFile file(target.string());
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("new"));
    fs::permissions(target, fs::perms::owner_read);
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(file.ErrorNumber(), EACCES);
    EXPECT_EQ(lftest::ReadText(target), "original");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFile, NoPlainFileInPlaceOfTheTargetIsReplaced)
{
    lftest::TempDir dir;
    const auto fifo = dir / "settings.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(ErrorOfWrite(fifo, "x"), "");
    EXPECT_TRUE(fs::is_fifo(fifo));

    const auto folder = dir / "qkvex.sess";
    fs::create_directory(folder);
    lfplat::AtomicFile file(folder.string());
    EXPECT_FALSE(file.Open());
    EXPECT_EQ(file.ErrorNumber(), EISDIR);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(EntriesIn(dir.path()), 2u);
}

TEST(AtomicFile, KilledWriterLeavesNoTemporaryBeside)
{
    lftest::TempDir dir;
    const auto target = dir / "photo.jpg";
    lftest::WriteText(target, "original");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        lfplat::AtomicFile file(target.string());
        if (file.Open() && file.Write("half of the new"))
            std::fflush(file.Stream());
        ::kill(getpid(), SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(lftest::ReadText(target), "original");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFile, LongestNameTheFolderAllowsCanBeReplaced)
{
    lftest::TempDir dir;
    for (size_t length : {size_t{250}, size_t{255}}) {
        SCOPED_TRACE(length);
        // Two-byte characters, so that shortening could cut one in half.
        std::string leaf;
        while (leaf.size() + 2 <= length - 4)
            leaf += "\xC3\xA9";
        leaf.resize(length - 4, 'a');
        leaf += ".jpg";
        const auto target = dir / leaf;
        lftest::WriteText(target, "old");
        for (auto sync : {lfplat::AtomicSync::Durable, lfplat::AtomicSync::NoSync}) {
            std::string error;
            ASSERT_TRUE(lfplat::WriteFileAtomically(target.string(), "new", 0644, &error, sync)) << error;
            EXPECT_EQ(lftest::ReadText(target), "new");
            lftest::WriteText(target, "old");
        }
        fs::remove(target);
    }
    EXPECT_EQ(EntriesIn(dir.path()), 0u);
}

TEST(AtomicFile, CommitWithoutReplaceLeavesAnExistingFile)
{
    lftest::TempDir dir;
    const auto target = dir / "copy.jpg";
    lftest::WriteText(target, "there first");
    lfplat::AtomicFile file(target.string());
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("copy"));
    EXPECT_FALSE(file.Commit(false));
    EXPECT_EQ(file.ErrorNumber(), EEXIST);
    EXPECT_EQ(lftest::ReadText(target), "there first");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);

    const auto fresh = dir / "new.jpg";
    lfplat::AtomicFile second(fresh.string());
    ASSERT_TRUE(second.Open() && second.Write("copy") && second.Commit(false)) << second.Error();
    EXPECT_EQ(lftest::ReadText(fresh), "copy");
}

TEST(AtomicFile, TemporaryNamesAreRecognised)
{
    EXPECT_TRUE(lfplat::IsAtomicTemporaryName(".photo.jpg.tmp-a1B2c3"));
    EXPECT_TRUE(lfplat::IsAtomicTemporaryName("..tmp-XXXXXX"));
    EXPECT_FALSE(lfplat::IsAtomicTemporaryName("photo.jpg.tmp-a1B2c3"));
    EXPECT_FALSE(lfplat::IsAtomicTemporaryName(".photo.jpg.tmp-a1B2c"));
    EXPECT_FALSE(lfplat::IsAtomicTemporaryName(".photo.jpg.tmp-a1B2c/"));
    EXPECT_FALSE(lfplat::IsAtomicTemporaryName(".photo.jpg"));
}
