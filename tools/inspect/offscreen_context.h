#pragma once

#include <cstdint>
#include <vector>

namespace tavo::inspect {

// A small OSMesa context, current while the object lives, so that textures
// can be made exactly as the mascot makes them.
class OffscreenContext {
public:
    OffscreenContext(int32_t width, int32_t height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool valid() const { return context_ != nullptr; }

private:
    void* context_ = nullptr;
    std::vector<uint8_t> pixels_;
};

}  // namespace tavo::inspect
