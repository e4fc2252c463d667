#include "batch/model/OutputFolder.h"

#include "platform/FolderPaths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace batch {

bool SameFolder(const std::string& a, const std::string& b)
{
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

std::string OutputFolderError(const std::string& folder)
{
    if (IsAbsoluteLocalPath(folder))
        return {};
    return "The output folder must be a full path, starting with \"/\":\n" + folder;
}

}  // namespace batch
