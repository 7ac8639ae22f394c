#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tavo::fuzz {

// A model and a motion set in one fuzz input: the bytes before the first
// line "@@MKM@@" are the model, the bytes after it the motion set (none when
// the line is missing).
struct TwoPartInput {
    const uint8_t* model;
    size_t modelSize;
    const uint8_t* motions;
    size_t motionsSize;
};

inline TwoPartInput splitTwoPartInput(const uint8_t* data, size_t size) {
    static const char kSeparator[] = "\n@@MKM@@\n";
    const size_t separatorLength = sizeof(kSeparator) - 1;
    const void* found = memmem(data, size, kSeparator, separatorLength);
    if (found == nullptr) {
        return {data, size, nullptr, 0};
    }
    const size_t modelSize = static_cast<size_t>(static_cast<const uint8_t*>(found) - data);
    const size_t rest = modelSize + separatorLength;
    return {data, modelSize, data + rest, size - rest};
}

}  // namespace tavo::fuzz
