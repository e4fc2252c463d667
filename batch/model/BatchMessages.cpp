#include "batch/model/BatchMessages.h"

namespace batch {

std::string NotFoundText(const std::string& path) { return "' " + path + " '\n Was not found, it has been Removed Or Renamed."; }

std::string FailureHeading(size_t count)
{
    return count == 1 ? "1 picture could not be processed:" : std::to_string(count) + " pictures could not be processed:";
}

std::string FailureListText(const std::vector<std::string>& failures)
{
    std::string text;
    for (const std::string& failure : failures) {
        if (!text.empty())
            text += "\n\n";
        text += failure;
    }
    return text;
}

}  // namespace batch
