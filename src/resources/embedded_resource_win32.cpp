#include <windows.h>

#include "resources/embedded_resource.h"

namespace tavo {

bool findEmbeddedResource(const char* name, const char* type, EmbeddedResource& out) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, name, type);
    if (resource == nullptr) {
        return false;
    }
    HGLOBAL loaded = LoadResource(module, resource);
    const void* locked = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (locked == nullptr) {
        return false;
    }
    out.data = locked;
    out.size = static_cast<int32_t>(SizeofResource(module, resource));
    return true;
}

}  // namespace tavo
