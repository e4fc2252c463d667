#include "platform/SettingsStore.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

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
