#include "platform/MountedVolumes.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace lfplat {

namespace {

// The kernel writes blanks, tabs, line feeds and backslashes of a field as \ooo.
std::string DecodeField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.size() == 3 && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out.push_back(static_cast<char>(((digits[0] - '0') << 6) | ((digits[1] - '0') << 3) | (digits[2] - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::vector<MountEntry> ParseMountTable(std::string_view text)
{
    std::vector<MountEntry> entries;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type))
            continue;
        entries.push_back({DecodeField(device), DecodeField(mountPoint), DecodeField(type)});
    }
    return entries;
}

bool IsPseudoFileSystem(std::string_view type)
{
    static constexpr std::array<std::string_view, 27> kPseudo = {
        "proc",      "sysfs",     "devtmpfs", "devpts",    "tmpfs",      "ramfs",       "cgroup",
        "cgroup2",   "securityfs", "debugfs", "tracefs",   "pstore",     "bpf",         "mqueue",
        "hugetlbfs", "configfs",  "fusectl",  "autofs",    "binfmt_misc", "rpc_pipefs", "nsfs",
        "efivarfs",  "selinuxfs", "rootfs",   "fuse.gvfsd-fuse", "fuse.portal", "squashfs"};
    return std::find(kPseudo.begin(), kPseudo.end(), type) != kPseudo.end();
}

std::vector<std::string> MountedVolumes(const std::string& mountTable)
{
    std::ifstream in(mountTable);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> volumes;
    for (const MountEntry& entry : ParseMountTable(text.str())) {
        if (IsPseudoFileSystem(entry.type) || entry.mountPoint.empty() || entry.mountPoint[0] != '/')
            continue;
        if (std::find(volumes.begin(), volumes.end(), entry.mountPoint) != volumes.end())
            continue;
        // Containers bind single files (resolv.conf, hosts) over the tree: not volumes.
        if (!IsFolder(entry.mountPoint))
            continue;
        volumes.push_back(entry.mountPoint);
    }
    const auto root = std::find(volumes.begin(), volumes.end(), "/");
    if (root != volumes.end())
        std::rotate(volumes.begin(), root, root + 1);
    return volumes;
}

}  // namespace lfplat
