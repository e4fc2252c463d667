#include "platform/MountedVolumes.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

namespace {

TEST(MountedVolumes, ParsesFieldsAndDecodesEscapes)
{
    const auto entries = lfplat::ParseMountTable("/dev/sdb1 /media/my\\040disk ext4 rw,relatime 0 0\n"
                                                 "\n"
                                                 "proc /proc proc rw 0 0\n"
                                                 "broken-line\n"
                                                 "srv:/x /mnt/back\\134slash nfs4 rw 0 0\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].device, "/dev/sdb1");
    EXPECT_EQ(entries[0].mountPoint, "/media/my disk");
    EXPECT_EQ(entries[0].type, "ext4");
    EXPECT_EQ(entries[1].mountPoint, "/proc");
    EXPECT_EQ(entries[2].mountPoint, "/mnt/back\\slash");
    EXPECT_EQ(entries[2].type, "nfs4");
}

TEST(MountedVolumes, PseudoFileSystems)
{
    for (const char* type : {"proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "cgroup", "cgroup2", "mqueue", "debugfs"})
        EXPECT_TRUE(lfplat::IsPseudoFileSystem(type)) << type;
    for (const char* type : {"ext4", "xfs", "btrfs", "vfat", "nfs4", "overlay", "fuseblk", "ntfs3"})
        EXPECT_FALSE(lfplat::IsPseudoFileSystem(type)) << type;
}

TEST(MountedVolumes, KeepsRealFoldersOnceWithRootFirst)
{
    lftest::TempDir dir;
    std::filesystem::create_directory(dir / "disk");
    lftest::WriteText(dir / "hosts", "bound file");
    const std::string disk = (dir / "disk").string();
    const std::string file = (dir / "hosts").string();
    lftest::WriteText(dir / "mounts",
                      "/dev/sdb1 " + disk + " ext4 rw 0 0\n"
                      "proc /proc proc rw 0 0\n"
                      "tmpfs /dev/shm tmpfs rw 0 0\n"
                      "cgroup /sys/fs/cgroup/cpu cgroup rw 0 0\n"
                      "/dev/vda " + file + " ext4 rw 0 0\n"
                      "/dev/vda / ext4 rw 0 0\n"
                      "/dev/sdb1 " + disk + " ext4 rw 0 0\n"
                      "/dev/sdc1 /no/such/folder ext4 rw 0 0\n");
    const auto volumes = lfplat::MountedVolumes((dir / "mounts").string());
    EXPECT_EQ(volumes, (std::vector<std::string>{"/", disk}));
}

TEST(MountedVolumes, MissingTableGivesNothing)
{
    EXPECT_TRUE(lfplat::MountedVolumes("/no/such/mounts").empty());
}

TEST(MountedVolumes, ThisMachineHasItsRoot)
{
    const auto volumes = lfplat::MountedVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front(), "/");
}

}  // namespace
