#pragma once
// The mounted volumes a user browses: the mount table without the kernel's pseudo file
// systems. The folder trees show them under "My Computer".

#include <string>
#include <string_view>
#include <vector>

namespace lfplat {

struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string type;
};

// Parses mount-table text (/proc/self/mounts layout: device, mount point, type, options,
// two numbers per line); the octal escapes of blanks and backslashes are decoded.
std::vector<MountEntry> ParseMountTable(std::string_view text);

// True for file systems that hold no user files (proc, sysfs, cgroup, tmpfs and the like).
bool IsPseudoFileSystem(std::string_view type);

// The mount points of the real file systems of the table, in table order, each once, and
// only those that are folders. "/" comes first when it is mounted.
std::vector<std::string> MountedVolumes(const std::string& mountTable = "/proc/self/mounts");

}  // namespace lfplat
