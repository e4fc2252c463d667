#include "platform/SingleInstanceLock.h"

#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace {

TEST(SingleInstanceLock, SecondTakerSeesTheFirstUntilItIsReleased)
{
    lftest::TempDir dir;
    auto first = std::make_unique<lfplat::SingleInstanceLock>("quorix", dir.str());
    EXPECT_TRUE(first->Held());
    EXPECT_FALSE(first->AnotherHolds());
    {
        lfplat::SingleInstanceLock second("quorix", dir.str());
        EXPECT_FALSE(second.Held());
        EXPECT_TRUE(second.AnotherHolds());
        lfplat::SingleInstanceLock otherName("pixoro", dir.str());
        EXPECT_TRUE(otherName.Held());
    }
    first.reset();
    lfplat::SingleInstanceLock third("quorix", dir.str());
    EXPECT_TRUE(third.Held());
}

TEST(SingleInstanceLock, AStartDuringTheHoldersCloseWaitsAndThenHolds)
{
    using namespace std::chrono_literals;
    lftest::TempDir dir;
    auto first = std::make_unique<lfplat::SingleInstanceLock>("quorix", dir.str());
    ASSERT_TRUE(first->Held());
    {
        // Running, not closing: a new start gives way at once.
        lfplat::SingleInstanceLock second("quorix", dir.str());
        EXPECT_TRUE(second.AnotherHolds());
        EXPECT_FALSE(second.AnotherIsClosing());
        EXPECT_FALSE(second.WaitWhileAnotherCloses(30s));
        EXPECT_FALSE(second.Held());
    }
    first->MarkClosing();
    lfplat::SingleInstanceLock third("quorix", dir.str());
    EXPECT_TRUE(third.AnotherHolds());
    EXPECT_TRUE(third.AnotherIsClosing());
    std::atomic<bool> released{false};
    std::thread closer([&] {
        std::this_thread::sleep_for(100ms);
        released = true;
        first.reset();
    });
    // A generous deadline: the wait ends when the holder goes, not when time runs out.
    EXPECT_TRUE(third.WaitWhileAnotherCloses(60s));
    closer.join();
    EXPECT_TRUE(released);
    EXPECT_TRUE(third.Held());
    EXPECT_FALSE(third.AnotherHolds());
}

TEST(SingleInstanceLock, AHolderThatNeverEndsLetsTheWaitEndAtItsDeadline)
{
    using namespace std::chrono_literals;
    lftest::TempDir dir;
    lfplat::SingleInstanceLock first("quorix", dir.str());
    first.MarkClosing();
    lfplat::SingleInstanceLock second("quorix", dir.str());
    EXPECT_FALSE(second.WaitWhileAnotherCloses(50ms));
    EXPECT_TRUE(second.AnotherHolds());
    EXPECT_TRUE(first.Held());
}

TEST(SingleInstanceLock, ADeadHolderLeavesNoStaleLock)
{
    lftest::TempDir dir;
    const pid_t child = fork();
    if (child == 0) {
        lfplat::SingleInstanceLock lock("quorix", dir.str());
        _exit(lock.Held() ? 0 : 1);  // ends without releasing anything itself
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    lfplat::SingleInstanceLock lock("quorix", dir.str());
    EXPECT_TRUE(lock.Held());
}

TEST(SingleInstanceLock, OfManyTakenAtOnceExactlyOneHolds)
{
    lftest::TempDir dir;
    constexpr int kCount = 8;
    std::vector<std::optional<lfplat::SingleInstanceLock>> locks(kCount);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < kCount; ++i)
        threads.emplace_back([&, i] {
            while (!go)
                std::this_thread::yield();
            locks[i].emplace("quorix", dir.str());
        });
    go = true;
    for (auto& t : threads)
        t.join();
    int held = 0, busy = 0;
    for (const auto& l : locks) {
        held += l->Held();
        busy += l->AnotherHolds();
    }
    EXPECT_EQ(held, 1);
    EXPECT_EQ(busy, kCount - 1);
}

TEST(SingleInstanceLock, AnUnusableFolderCountsAsFree)
{
    lftest::TempDir dir;
    lftest::WriteText(dir / "file", "x");
    lfplat::SingleInstanceLock inFile("quorix", (dir / "file").string());
    EXPECT_FALSE(inFile.Held());
    EXPECT_FALSE(inFile.AnotherHolds());
    lfplat::SingleInstanceLock nowhere("quorix", "");
    EXPECT_FALSE(nowhere.AnotherHolds());
}

TEST(SingleInstanceLock, RuntimeFolderFollowsXdgOrMakesAPrivateOne)
{
    {
        lftest::ScopedEnv env("XDG_RUNTIME_DIR", "/run/user/test");
        EXPECT_EQ(lfplat::RuntimeFolder(), "/run/user/test");
    }
    for (const std::optional<std::string>& value : {std::optional<std::string>{}, std::optional<std::string>{"relative"}}) {
        lftest::ScopedEnv env("XDG_RUNTIME_DIR", value);
        const std::string folder = lfplat::RuntimeFolder();
        ASSERT_EQ(folder, "/tmp/lanternfolio-" + std::to_string(getuid()));
        struct stat st {};
        ASSERT_EQ(lstat(folder.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 077, 0u);
    }
}

}  // namespace
