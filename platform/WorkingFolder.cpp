#include "platform/WorkingFolder.h"

#include <filesystem>

namespace lfplat {

const std::string& CaptureWorkingFolder()
{
    // Captured exactly once per process, thread-safely.
    static const std::string folder = [] {
        std::error_code ec;
        auto cwd = std::filesystem::current_path(ec);
        return ec ? std::string(".") : cwd.string();
    }();
    return folder;
}

const std::string& WorkingFolder() { return CaptureWorkingFolder(); }

std::string WorkingPath(const std::string& bareName)
{
    const std::string& folder = WorkingFolder();
    if (!folder.empty() && folder.back() == '/')
        return folder + bareName;
    return folder + "/" + bareName;
}

}  // namespace lfplat
