#pragma once

#include <cstdint>
#include <string>

namespace batch {

// The ImageType (1 to 9) of a file name's extension after its last ".", in any case; 0 when
// the name has none or no codec of those reads it.
uint32_t ImageTypeOfName(const std::string& name);

}  // namespace batch
