#include <cstring>

#include "resources/embedded_resource.h"
#include "resources/embedded_resource_table.h"

namespace tavo {

bool findEmbeddedResource(const char* name, const char* type, EmbeddedResource& out) {
    if (name == nullptr || type == nullptr) {
        return false;
    }
    for (int i = 0; i < kEmbeddedResourceCount; ++i) {
        const EmbeddedResourceEntry& entry = kEmbeddedResources[i];
        if (std::strcmp(entry.name, name) == 0 && std::strcmp(entry.type, type) == 0) {
            out.data = entry.data;
            out.size = entry.size;
            return true;
        }
    }
    return false;
}

}  // namespace tavo
