#pragma once

namespace tavo {

// One entry of the resource table generated at build time from data/resources.rc
// (used where the executable format has no resource section of its own).
struct EmbeddedResourceEntry {
    const char* name;
    const char* type;
    const unsigned char* data;
    int size;
};

extern const EmbeddedResourceEntry kEmbeddedResources[];
extern const int kEmbeddedResourceCount;

}  // namespace tavo
