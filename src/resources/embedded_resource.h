#pragma once

#include <cstdint>

namespace tavo {

// Where an embedded resource lives in memory. The memory belongs to the
// executable and stays valid for the whole run.
struct EmbeddedResource {
    const void* data = nullptr;
    int32_t size = 0;
};

// Finds a resource compiled into the executable by name and type
// ("TAVO_MQO"/"MQO", ...). One implementation per platform.
bool findEmbeddedResource(const char* name, const char* type, EmbeddedResource& out);

}  // namespace tavo
