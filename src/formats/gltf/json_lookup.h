#pragma once

#include <cstddef>

#include <nlohmann/json.hpp>

namespace tavo {

// A member of a JSON object, or null when the value is no object or lacks it.
inline const nlohmann::json& jsonMember(const nlohmann::json& object, const char* key) {
    static const nlohmann::json kNull;
    if (!object.is_object()) return kNull;
    const auto found = object.find(key);
    return found != object.end() ? *found : kNull;
}

// An element of a JSON array, or null when there is none.
inline const nlohmann::json& jsonItem(const nlohmann::json& array, size_t index) {
    static const nlohmann::json kNull;
    return array.is_array() && index < array.size() ? array[index] : kNull;
}

}  // namespace tavo
