#include "batch/model/ImageTypeOfName.h"

#include "image/CLfImage.h"
#include "image/LfCodecTable.h"

namespace batch {

uint32_t ImageTypeOfName(const std::string& name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size())
        return lfimg::kTypeUnknown;
    return lfimg::ImageTypeFromExtension(std::string_view(name).substr(dot + 1), lfimg::kTypeWBMP);
}

}  // namespace batch
