#include "platform/SpecialFolders.h"
#include "platform/WorkingFolder.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

TEST(SpecialFolders, FollowXdgVariablesWithHomeFallbacks)
{
    struct Case {
        std::optional<std::string> dataHome;
        std::optional<std::string> configHome;
        std::string appData;
        std::string config;
    };
    const Case cases[] = {
        {"/x/data", "/x/config", "/x/data", "/x/config"},
        {std::nullopt, std::nullopt, "/home/u/.local/share", "/home/u/.config"},
        {"", "", "/home/u/.local/share", "/home/u/.config"},
        // Relative values are invalid by the XDG rules and ignored.
        {"rel/data", "rel/config", "/home/u/.local/share", "/home/u/.config"},
    };
    lftest::ScopedEnv home("HOME", "/home/u");
    for (const Case& c : cases) {
        lftest::ScopedEnv data("XDG_DATA_HOME", c.dataHome);
        lftest::ScopedEnv config("XDG_CONFIG_HOME", c.configHome);
        EXPECT_EQ(lfplat::AppDataFolder(), c.appData);
        EXPECT_EQ(lfplat::ConfigFolder(), c.config);
        EXPECT_EQ(lfplat::CacheFolder(), c.appData + "/Lanternfolio");
    }
}

TEST(WorkingFolder, StaysWhereTheProgramStarted)
{
    const std::string started = lfplat::CaptureWorkingFolder();
    lftest::TempDir elsewhere;
    lftest::ScopedCwd cwd(elsewhere.path());
    EXPECT_EQ(lfplat::WorkingFolder(), started);
    EXPECT_EQ(lfplat::WorkingPath("qkvex.sess"), started + "/qkvex.sess");
}
