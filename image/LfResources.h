#pragma once
// Program resources: byte blocks embedded in the executable (by lf_embed_resource
// in CMake), found by name and resource type, as pictures that
// CLfImage::LoadResource decodes. Blocks register themselves while the program
// starts; afterwards the registry is only read.

#include <cstddef>
#include <cstdint>

namespace lfimg {

struct Resource {
    const char* name;  // "#130"
    const char* type;  // "JPG"
    const uint8_t* data;
    size_t size;
};

// The block of that name and type (names and types compare exactly), or null.
const Resource* FindResource(const char* name, const char* type);

// A static object of this class registers one embedded block.
class ResourceRegistration {
public:
    explicit ResourceRegistration(const Resource& resource);
};

}  // namespace lfimg
