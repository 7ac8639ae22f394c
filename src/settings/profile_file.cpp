#include "settings/profile_file.h"

#include <cstdio>

#include "resources/stdio_file.h"
#include "system/atomic_file_write.h"

namespace tavo {

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// "[Name]" (blanks allowed around and inside the brackets) gives Name.
std::optional<std::string> sectionName(const std::string& line) {
    const std::string text = trim(line);
    if (text.empty() || text.front() != '[') {
        return std::nullopt;
    }
    const size_t close = text.rfind(']');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    return trim(text.substr(1, close - 1));
}

bool isComment(const std::string& line) {
    const std::string text = trim(line);
    return !text.empty() && text.front() == ';';
}

bool isBlankLine(const std::string& line) { return trim(line).empty(); }

// "Key = Value" gives the trimmed key; comments and lines without '=' give nothing.
std::optional<std::string> keyName(const std::string& line) {
    if (isComment(line) || sectionName(line)) {
        return std::nullopt;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return std::nullopt;
    }
    return trim(line.substr(0, equals));
}

std::string keyValue(const std::string& line) {
    std::string value = trim(line.substr(line.find('=') + 1));
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

int32_t digitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return 99;
}

}  // namespace

int32_t parseProfileInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = text[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) {
            i += 2;
        }
    }
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int32_t digit = digitValue(text[i]);
        if (digit >= static_cast<int32_t>(base)) {
            break;
        }
        value = value * base + static_cast<uint32_t>(digit);
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<int32_t>(value);
}

ProfileFile ProfileFile::parse(const std::string& text) {
    ProfileFile profile;
    size_t start = 0;
    if (text.compare(0, 3, kByteOrderMark) == 0) {
        profile.byteOrderMark_ = true;
        start = 3;
    }
    bool firstLineEnd = true;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool hasLineEnd = end != std::string::npos;
        if (!hasLineEnd) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        const bool carriageReturn = !line.empty() && line.back() == '\r';
        if (carriageReturn) {
            line.pop_back();
        }
        if (hasLineEnd && firstLineEnd) {
            profile.lineEnd_ = carriageReturn ? "\r\n" : "\n";
            firstLineEnd = false;
        }
        profile.lines_.push_back(std::move(line));
        start = end + 1;
    }
    return profile;
}

// Opened through the platform's file function, so a UTF-8 path of any
// characters is read on Windows too.
ProfileFile ProfileFile::load(const std::string& path) {
    StdioFile file = openStdioFile(path.c_str());
    if (!file) {
        return ProfileFile();
    }
    std::string content;
    char buffer[4096];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        content.append(buffer, read);
    }
    return parse(content);
}

std::string ProfileFile::text() const {
    std::string out = byteOrderMark_ ? kByteOrderMark : "";
    for (const std::string& line : lines_) {
        out += line;
        out += lineEnd_;
    }
    return out;
}

bool ProfileFile::save(const std::string& path) const { return writeFileAtomically(path, text()); }

std::optional<ProfileFile::Position> ProfileFile::findSection(const std::string& section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::optional<std::string> name = sectionName(lines_[i]);
        if (!name || !equalsIgnoringCase(*name, section)) {
            continue;
        }
        size_t end = i + 1;
        while (end < lines_.size() && !sectionName(lines_[end])) {
            ++end;
        }
        return Position{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> ProfileFile::findKey(const Position& where, const std::string& key) const {
    for (size_t i = where.sectionLine + 1; i < where.endLine; ++i) {
        const std::optional<std::string> name = keyName(lines_[i]);
        if (name && equalsIgnoringCase(*name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::getString(const std::string& section, const std::string& key) const {
    const std::optional<Position> where = findSection(section);
    if (!where) {
        return std::nullopt;
    }
    const std::optional<size_t> line = findKey(*where, key);
    if (!line) {
        return std::nullopt;
    }
    return keyValue(lines_[*line]);
}

int32_t ProfileFile::getInt(const std::string& section, const std::string& key, int32_t defaultValue) const {
    const std::optional<std::string> value = getString(section, key);
    if (!value || value->empty()) {
        return defaultValue;
    }
    return parseProfileInt(*value);
}

void ProfileFile::setString(const std::string& section, const std::string& key, const std::string& value) {
    std::optional<Position> where = findSection(section);
    if (!where) {
        if (!lines_.empty() && !isBlankLine(lines_.back())) {
            lines_.emplace_back();
        }
        lines_.push_back("[" + section + "]");
        lines_.push_back(key + "=" + value);
        return;
    }
    if (const std::optional<size_t> line = findKey(*where, key)) {
        const std::string& old = lines_[*line];
        lines_[*line] = trim(old.substr(0, old.find('='))) + "=" + value;
        return;
    }
    // After the section's last non-blank line, so blank lines that separate
    // it from the next section stay where they are.
    size_t insertAt = where->endLine;
    while (insertAt > where->sectionLine + 1 && isBlankLine(lines_[insertAt - 1])) {
        --insertAt;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), key + "=" + value);
}

void ProfileFile::setInt(const std::string& section, const std::string& key, int32_t value) {
    setString(section, key, std::to_string(value));
}

}  // namespace tavo
