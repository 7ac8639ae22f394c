#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A small JSON reader for the tool tests: enough of the grammar to read what
// tavo-inspect writes, failing (ok() false) on anything it does not expect.
namespace tavo::test {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    const JsonValue& operator[](const std::string& key) const {
        static const JsonValue missing;
        const auto found = members.find(key);
        return found == members.end() ? missing : found->second;
    }
    const JsonValue& operator[](std::size_t index) const {
        static const JsonValue missing;
        return index < items.size() ? items[index] : missing;
    }
    bool isNull() const { return kind == Kind::Null; }
};

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : text_(text) {}

    bool parse(JsonValue& value) {
        ok_ = true;
        value = parseValue();
        skipBlanks();
        return ok_ && pos_ == text_.size();
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                       text_[pos_] == '\r' || text_[pos_] == '\t')) {
            ++pos_;
        }
    }
    bool take(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool takeWord(const char* word) {
        const std::string w(word);
        if (text_.compare(pos_, w.size(), w) == 0) {
            pos_ += w.size();
            return true;
        }
        return false;
    }
    JsonValue fail() {
        ok_ = false;
        pos_ = text_.size();
        return JsonValue();
    }

    std::string parseString() {
        std::string out;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (c == '\\' && pos_ < text_.size()) {
                const char e = text_[pos_++];
                if (e == 'n') c = '\n';
                else if (e == 't') c = '\t';
                else if (e == 'r') c = '\r';
                else if (e == 'u' && pos_ + 4 <= text_.size()) {
                    c = static_cast<char>(std::strtol(text_.substr(pos_, 4).c_str(), nullptr, 16));
                    pos_ += 4;
                } else c = e;
            }
            out += c;
        }
        if (pos_ >= text_.size()) {
            ok_ = false;
            return out;
        }
        ++pos_;
        return out;
    }

    JsonValue parseValue() {
        skipBlanks();
        if (pos_ >= text_.size()) {
            return fail();
        }
        JsonValue v;
        const char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            v.kind = JsonValue::Kind::Object;
            if (take('}')) return v;
            do {
                if (!take('"')) return fail();
                const std::string key = parseString();
                if (!take(':')) return fail();
                v.members[key] = parseValue();
            } while (take(','));
            if (!take('}')) return fail();
        } else if (c == '[') {
            ++pos_;
            v.kind = JsonValue::Kind::Array;
            if (take(']')) return v;
            do {
                v.items.push_back(parseValue());
            } while (take(','));
            if (!take(']')) return fail();
        } else if (c == '"') {
            ++pos_;
            v.kind = JsonValue::Kind::String;
            v.text = parseString();
        } else if (takeWord("null")) {
        } else if (takeWord("true") || takeWord("false")) {
            v.kind = JsonValue::Kind::Bool;
            v.boolean = text_[pos_ - 1] == 'e' && text_[pos_ - 2] == 'u';
        } else {
            char* end = nullptr;
            v.kind = JsonValue::Kind::Number;
            v.number = std::strtod(text_.c_str() + pos_, &end);
            if (end == text_.c_str() + pos_) return fail();
            pos_ = static_cast<std::size_t>(end - text_.c_str());
        }
        return v;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace tavo::test
