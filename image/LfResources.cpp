#include "image/LfResources.h"

#include <cstring>
#include <vector>

namespace lfimg {
namespace {

// Filled during static initialisation only, read-only afterwards.
std::vector<const Resource*>& Registry()
{
    static std::vector<const Resource*> resources;
    return resources;
}

}  // namespace

ResourceRegistration::ResourceRegistration(const Resource& resource)
{
    Registry().push_back(&resource);
}

const Resource* FindResource(const char* name, const char* type)
{
    if (!name || !type)
        return nullptr;
    for (const Resource* r : Registry())
        if (std::strcmp(r->name, name) == 0 && std::strcmp(r->type, type) == 0)
            return r;
    return nullptr;
}

}  // namespace lfimg
