#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo::inspect {

// Appends one JSON document to a string, placing the commas itself. Strings
// are expected in UTF-8; floats are written with enough digits to round-trip
// (%.9g), and values that are not finite as null.
class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(const char* name);

    void string(const std::string& text);
    void number(float value);
    void integer(int64_t value);
    void boolean(bool value);
    void null();
    void vec3(const Vec3& v);
    void quaternion(const Quaternion& q);
    void integers(const std::vector<int32_t>& values);

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    std::string& out_;
    std::vector<bool> hasItems_;  // per open container: something written already
    bool afterKey_ = false;
};

// The text as a JSON string literal, quotes included.
std::string jsonQuoted(const std::string& text);

}  // namespace tavo::inspect
