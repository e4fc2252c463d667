#include "platform/SettingsStore.h"
#include "tests/support/AsOrdinaryUser.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include <thread>
#include <vector>

namespace {
const std::string kKey = "Software\\Lanternfolio\\Version 1.0";
}

TEST(SettingsStore, MissingFileGivesFallbacks)
{
    lftest::TempDir dir;
    lfplat::SettingsStore store((dir / "Lanternfolio" / "settings.ini").string());
    EXPECT_FALSE(store.Get(kKey, "LeftViewWidth"));
    EXPECT_EQ(store.GetString(kKey, "LeftViewWidth", "200"), "200");
    EXPECT_EQ(store.GetInt(kKey, "LeftViewWidth", 200), 200);
}

TEST(SettingsStore, CreatesFolderAndKeepsValues)
{
    lftest::TempDir dir;
    lfplat::SettingsStore store((dir / "Lanternfolio" / "settings.ini").string());
    ASSERT_TRUE(store.Set(kKey, "LeftViewWidth", "250"));
    ASSERT_TRUE(store.SetInt("Lanternfolio Photo Editor\\Settings", "MainWndPos", -3));
    EXPECT_EQ(store.GetInt(kKey, "LeftViewWidth", 0), 250);
    EXPECT_EQ(store.GetInt("Lanternfolio Photo Editor\\Settings", "MainWndPos", 0), -3);
    ASSERT_TRUE(store.Remove(kKey, "LeftViewWidth"));
    EXPECT_FALSE(store.Get(kKey, "LeftViewWidth"));
}

TEST(SettingsStore, TwoWritersKeepEachOthersValues)
{
    lftest::TempDir dir;
    const std::string path = (dir / "settings.ini").string();
    lfplat::SettingsStore manager(path);
    lfplat::SettingsStore editor(path);
    ASSERT_TRUE(manager.Set(kKey, "LeftViewWidth", "210"));
    ASSERT_TRUE(editor.Set(kKey, "ImgQuality", "90"));
    ASSERT_TRUE(manager.Set(kKey, "WindowHeight", "700"));
    EXPECT_EQ(editor.GetString(kKey, "LeftViewWidth", ""), "210");
    EXPECT_EQ(manager.GetString(kKey, "ImgQuality", ""), "90");
    EXPECT_EQ(editor.GetString(kKey, "WindowHeight", ""), "700");
}

TEST(SettingsStore, UpdateMakesSeveralChangesInOneWriteAndKeepsOthers)
{
    lftest::TempDir dir;
    const std::string path = (dir / "settings.ini").string();
    lfplat::SettingsStore editor(path);
    ASSERT_TRUE(editor.Set(kKey, "ImgQuality", "90"));
    lfplat::SettingsStore manager(path);
    ASSERT_TRUE(manager.Set("Recent", "File3", "/old.jpg"));
    ASSERT_TRUE(manager.Update([](lfplat::SettingsStore::Content& all) {
        all["Recent"]["File1"] = "/a.jpg";
        all["Recent"]["File2"] = "/b.png";
        all["Recent"].erase("File3");
    }));
    auto all = editor.ReadAll();
    EXPECT_EQ(all["Recent"], (lfplat::SettingsStore::Section{{"File1", "/a.jpg"}, {"File2", "/b.png"}}));
    EXPECT_EQ(all[kKey]["ImgQuality"], "90");
}

// prefix followed by n ("w3"); built in place, which the optimiser does not mistake for
// an overlapping copy as it does with "w" + std::to_string(n).
std::string Numbered(const char* prefix, int n)
{
    std::string name = prefix;
    name += std::to_string(n);
    return name;
}

TEST(SettingsStore, ConcurrentWritersLoseNothing)
{
    lftest::TempDir dir;
    const std::string path = (dir / "settings.ini").string();
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            lfplat::SettingsStore store(path);
            for (int i = 0; i < 10; ++i)
                store.SetInt(Numbered("w", w), Numbered("k", i), i);
        });
    }
    for (auto& t : writers)
        t.join();
    lfplat::SettingsStore store(path);
    auto all = store.ReadAll();
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(all[Numbered("w", w)].size(), 10u) << "writer " << w;
}

TEST(SettingsStore, ValuesWithLineBreaksCannotInjectKeys)
{
    lftest::TempDir dir;
    lfplat::SettingsStore store((dir / "settings.ini").string());
    ASSERT_TRUE(store.Set(kKey, "Recent", "a\nUploadType=1\r\\n"));
    EXPECT_EQ(store.GetString(kKey, "Recent", ""), "a\nUploadType=1\r\\n");
    EXPECT_FALSE(store.Get(kKey, "UploadType"));
}

TEST(SettingsStore, NonNumbersFallBack)
{
    lftest::TempDir dir;
    lfplat::SettingsStore store((dir / "settings.ini").string());
    store.Set(kKey, "A", "abc");
    store.Set(kKey, "B", " 42");
    EXPECT_EQ(store.GetInt(kKey, "A", 7), 7);
    EXPECT_EQ(store.GetInt(kKey, "B", 7), 42);
}

TEST(SettingsStore, FileThatCannotBeReadGivesDefaultsAndIsNeverReplaced)
{
    // A folder or a pipe in place of the file: reading must neither throw nor block.
    struct Case {
        const char* name;
        void (*make)(const std::filesystem::path&);
    };
    const Case cases[] = {
        {"folder", [](const std::filesystem::path& p) { std::filesystem::create_directory(p); }},
        {"pipe", [](const std::filesystem::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        lftest::TempDir dir;
        const auto path = dir / "settings.ini";
        c.make(path);
        lfplat::SettingsStore store(path.string());
        EXPECT_TRUE(store.ReadAll().empty());
        EXPECT_EQ(store.GetInt(kKey, "LeftViewWidth", 200), 200);
        EXPECT_FALSE(store.Problem().empty());
        EXPECT_FALSE(store.Set(kKey, "LeftViewWidth", "250"));
        EXPECT_FALSE(store.LastError().empty());
        EXPECT_EQ(std::filesystem::status(path).type(), std::string(c.name) == "folder"
                                                           ? std::filesystem::file_type::directory
                                                           : std::filesystem::file_type::fifo);
    }
}

TEST(SettingsStore, UnreadableFileOfTheUserKeepsItsBytes)
{
    lftest::TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const auto path = dir / "settings.ini";
    const std::string bytes = "[" + kKey + "]\nLeftViewWidth=321\n";
    lftest::WriteText(path, bytes);
    std::filesystem::permissions(path, std::filesystem::perms::none);
    const auto status = lftest::RunAsOrdinaryUser([&] {
        lfplat::SettingsStore store(path.string());
        if (store.Problem() != std::strerror(EACCES))
            return 1;
        if (store.GetInt(kKey, "LeftViewWidth", 200) != 200)
            return 2;
        if (store.Set(kKey, "LeftViewHeigth", "220") || store.LastError() != std::strerror(EACCES))
            return 3;
        return 0;
    });
    if (!status)
        GTEST_SKIP() << "needs root to act as an ordinary user";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(lftest::ReadText(path), bytes);
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::none);
}

TEST(SettingsStore, FailedWriteGivesTheReason)
{
    lftest::TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const auto folder = dir / "Lanternfolio";
    std::filesystem::create_directory(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                             std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    const auto path = folder / "settings.ini";
    const auto status = lftest::RunAsOrdinaryUser([&] {
        lfplat::SettingsStore store(path.string());
        return !store.Set(kKey, "LeftViewWidth", "250") && store.LastError() == std::strerror(EACCES) ? 0 : 1;
    });
    if (!status)
        GTEST_SKIP() << "needs root to act as an ordinary user";
    EXPECT_EQ(*status, 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// A file larger than any settings file is left as it is and said to be unreadable: read
// only in part, written back, it would lose its last sections. One of the limit is read
// whole, and a change that would take it over the limit is refused.
TEST(SettingsStore, AFileOverTheSizeLimitIsNeverCut)
{
    constexpr size_t kLimit = 16u << 20;
    const struct {
        size_t size;
        bool readable, writable;
    } cases[] = {{kLimit - 4096, true, true}, {kLimit, true, false}, {kLimit + 1, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        lftest::TempDir dir;
        const auto path = dir / "settings.ini";
        const std::string last = "[Last]\nkey=1\n";
        const std::string head = "[Big]\nfill=";
        const std::string bytes = head + std::string(c.size - head.size() - 1 - last.size(), 'x') + "\n" + last;
        ASSERT_EQ(bytes.size(), c.size);
        lftest::WriteText(path, bytes);
        lfplat::SettingsStore store(path.string());
        EXPECT_EQ(store.Problem(), c.readable ? "" : "it is larger than 16 MB");
        EXPECT_EQ(store.GetInt("Last", "key", 0), c.readable ? 1 : 0);
        EXPECT_EQ(store.Set(kKey, "LeftViewWidth", "250"), c.writable);
        if (c.writable) {
            EXPECT_EQ(store.GetInt("Last", "key", 0), 1);
            EXPECT_EQ(store.GetInt(kKey, "LeftViewWidth", 0), 250);
            continue;
        }
        EXPECT_EQ(store.LastError(), c.readable ? "it would be larger than 16 MB" : "it is larger than 16 MB");
        EXPECT_TRUE(lftest::ReadText(path) == bytes) << "the file was changed";
    }
}
