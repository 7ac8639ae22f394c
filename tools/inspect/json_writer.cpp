#include "json_writer.h"

#include <cmath>
#include <cstdio>

namespace tavo::inspect {

std::string jsonQuoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': quoted += "\\\""; break;
            case '\\': quoted += "\\\\"; break;
            case '\n': quoted += "\\n"; break;
            case '\r': quoted += "\\r"; break;
            case '\t': quoted += "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char escape[8];
                    std::snprintf(escape, sizeof(escape), "\\u%04x", byte);
                    quoted += escape;
                } else {
                    quoted += c;
                }
        }
    }
    quoted += '"';
    return quoted;
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasItems_.empty()) {
        if (hasItems_.back()) {
            out_ += ',';
        }
        hasItems_.back() = true;
    }
}

void JsonWriter::open(char bracket) {
    beforeValue();
    out_ += bracket;
    hasItems_.push_back(false);
}

void JsonWriter::close(char bracket) {
    if (!hasItems_.empty()) {
        hasItems_.pop_back();
    }
    out_ += bracket;
}

void JsonWriter::beginObject() { open('{'); }
void JsonWriter::endObject() { close('}'); }
void JsonWriter::beginArray() { open('['); }
void JsonWriter::endArray() { close(']'); }

void JsonWriter::key(const char* name) {
    beforeValue();
    out_ += jsonQuoted(name);
    out_ += ':';
    afterKey_ = true;
}

void JsonWriter::string(const std::string& text) {
    beforeValue();
    out_ += jsonQuoted(text);
}

void JsonWriter::number(float value) {
    beforeValue();
    if (!std::isfinite(value)) {
        out_ += "null";
        return;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    out_ += text;
}

void JsonWriter::integer(int64_t value) {
    beforeValue();
    out_ += std::to_string(value);
}

void JsonWriter::boolean(bool value) {
    beforeValue();
    out_ += value ? "true" : "false";
}

void JsonWriter::null() {
    beforeValue();
    out_ += "null";
}

void JsonWriter::vec3(const Vec3& v) {
    beginArray();
    number(v.x);
    number(v.y);
    number(v.z);
    endArray();
}

void JsonWriter::quaternion(const Quaternion& q) {
    beginArray();
    number(q.x);
    number(q.y);
    number(q.z);
    number(q.w);
    endArray();
}

void JsonWriter::integers(const std::vector<int32_t>& values) {
    beginArray();
    for (int32_t value : values) {
        integer(value);
    }
    endArray();
}

}  // namespace tavo::inspect
