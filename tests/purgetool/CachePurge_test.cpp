#include "purgetool/CachePurge.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

std::set<std::string> Names(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

// A cache as the manager leaves it: two folders of thumbnails and facts, the index and a stray file.
void MakeCache(const fs::path& cache)
{
    for (const char* sub : {"dir-1", "dir-2"}) {
        fs::create_directories(cache / sub);
        lftest::WriteText(cache / sub / "holiday~2026.bmp", "BM");
        lftest::WriteText(cache / sub / "holiday~2026.dat", "<WIDTH>640");
    }
    lftest::WriteText(cache / "qkcache.xml", "<DIRECTORY>");
    lftest::WriteText(cache / "stray.txt", "mine");
}

struct Fixture {
    lftest::TempDir work;
    lftest::TempDir data;
    fs::path session() const { return work / "qkvex.sess"; }
    fs::path cache() const { return data / "Lanternfolio"; }
    CachePurge purge() const { return CachePurge(session().string(), cache().string()); }
};

}  // namespace

TEST(CachePurge, MissingSessionFileIsCreatedEmpty)
{
    Fixture f;
    f.purge().Run();
    ASSERT_TRUE(fs::exists(f.session()));
    EXPECT_EQ(fs::file_size(f.session()), 0u);
}

TEST(CachePurge, SessionFileIsEmptied)
{
    Fixture f;
    lftest::WriteText(f.session(), "UPLOADED=1\r\nLOGIN=me\r\nPASS=secret\r\n");
    f.purge().Run();
    EXPECT_EQ(fs::file_size(f.session()), 0u);
}

TEST(CachePurge, RemovesCacheFoldersAndIndexButNotStrayFiles)
{
    Fixture f;
    MakeCache(f.cache());
    f.purge().Run();
    EXPECT_EQ(Names(f.cache()), std::set<std::string>{"stray.txt"});
    EXPECT_EQ(lftest::ReadText(f.cache() / "stray.txt"), "mine");
}

TEST(CachePurge, NoCacheFolderRemovesNothing)
{
    Fixture f;
    lftest::WriteText(f.data / "other.txt", "x");
    f.purge().Run();
    EXPECT_FALSE(fs::exists(f.cache()));
    EXPECT_EQ(Names(f.data.path()), std::set<std::string>{"other.txt"});
}

TEST(CachePurge, SubFolderHoldingAFolderStays)
{
    Fixture f;
    fs::create_directories(f.cache() / "dir-1" / "nested");
    lftest::WriteText(f.cache() / "dir-1" / "a.bmp", "BM");
    f.purge().Run();
    EXPECT_TRUE(fs::exists(f.cache() / "dir-1" / "nested"));
    EXPECT_FALSE(fs::exists(f.cache() / "dir-1" / "a.bmp"));
}

TEST(CachePurge, LinksAreRemovedAsLinksAndNeverFollowed)
{
    Fixture f;
    lftest::TempDir outside;
    fs::create_directories(outside / "photos");
    lftest::WriteText(outside / "photos" / "precious.jpg", "jpeg");
    lftest::WriteText(outside / "notes.txt", "keep");
    MakeCache(f.cache());
    fs::create_directory_symlink(outside / "photos", f.cache() / "dir-3");
    fs::create_symlink(outside / "notes.txt", f.cache() / "link-to-file");
    // A link to an outside folder inside a cache sub-folder, and a link as the index.
    fs::create_directory_symlink(outside / "photos", f.cache() / "dir-1" / "deeper");
    fs::remove(f.cache() / "qkcache.xml");
    fs::create_symlink(outside / "notes.txt", f.cache() / "qkcache.xml");

    f.purge().Run();

    EXPECT_EQ(lftest::ReadText(outside / "photos" / "precious.jpg"), "jpeg");
    EXPECT_EQ(lftest::ReadText(outside / "notes.txt"), "keep");
    EXPECT_EQ(Names(f.cache()), std::set<std::string>{"stray.txt"});
}

TEST(CachePurge, LinkedCacheFolderIsNotEntered)
{
    Fixture f;
    lftest::TempDir outside;
    MakeCache(outside.path());
    fs::create_directory_symlink(outside.path(), f.cache());
    f.purge().Run();
    EXPECT_TRUE(fs::exists(outside / "dir-1" / "holiday~2026.bmp"));
    EXPECT_TRUE(fs::exists(outside / "qkcache.xml"));
}

TEST(CachePurge, FailedFrameworkStartWritesOnlyTheFatalLine)
{
    Fixture f;
    MakeCache(f.cache());
    FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    EXPECT_EQ(CachePurge::Main(false, f.purge(), err), 1);
    std::rewind(err);
    char text[128] = {};
    size_t n = std::fread(text, 1, sizeof text - 1, err);
    std::fclose(err);
    EXPECT_EQ(std::string(text, n), "Fatal Error: MFC initialization failed\n");
    EXPECT_FALSE(fs::exists(f.session()));
    EXPECT_TRUE(fs::exists(f.cache() / "qkcache.xml"));
}

TEST(CachePurge, ProgramPurgesItsWorkingFolderAndDataFolder)
{
    Fixture f;
    MakeCache(f.cache());
    lftest::WriteText(f.session(), "LOGIN=me\r\n");
    const std::string command = "cd '" + f.work.str() + "' && XDG_DATA_HOME='" + f.data.str() + "' '" +
                                std::string(LF_BIN_DIR) + "/purgetool' 2>err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(fs::file_size(f.session()), 0u);
    EXPECT_EQ(Names(f.cache()), std::set<std::string>{"stray.txt"});
    EXPECT_EQ(lftest::ReadText(f.work / "err.txt"), "");
}
