#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavo {

// A settings file in the Windows profile syntax ("[Section]" lines followed by
// "Key=Value" lines), read and written the way the Windows profile functions
// do it, so that a file moves between the two programs unchanged:
// - section and key names compare case-insensitively (ASCII), names and
//   values are trimmed of blanks, and the first matching section and the
//   first matching key in it are the ones used;
// - lines starting with ';' are comments; they, other sections and other keys
//   are kept as they stand when the file is written back;
// - numbers read as GetPrivateProfileIntA reads them (parseProfileInt).
class ProfileFile {
public:
    // Parses text; anything that is neither a section line nor a key line is
    // kept as it stands and otherwise ignored.
    static ProfileFile parse(const std::string& text);
    // Reads a file; a missing or unreadable file gives an empty profile.
    static ProfileFile load(const std::string& path);

    // The file's content, with the line ending the original text used.
    std::string text() const;
    // Writes text() to path through a temporary file and a rename, so a
    // failed write leaves the previous file whole. False on failure.
    bool save(const std::string& path) const;

    // The trimmed value of a key (surrounding quotes removed), or nothing
    // when the section or key is missing.
    std::optional<std::string> getString(const std::string& section, const std::string& key) const;
    // The key's number; the default when the key is missing or its value empty.
    int32_t getInt(const std::string& section, const std::string& key, int32_t defaultValue) const;

    // Sets a key: an existing key line is rewritten (the key keeps its
    // spelling), a new key goes after the section's last entry, and a missing
    // section is appended at the end of the file.
    void setString(const std::string& section, const std::string& key, const std::string& value);
    void setInt(const std::string& section, const std::string& key, int32_t value);

private:
    struct Position {
        size_t sectionLine;  // index of the section's header line
        size_t endLine;      // one past the section's last line
    };
    std::optional<Position> findSection(const std::string& section) const;
    std::optional<size_t> findKey(const Position& where, const std::string& key) const;

    std::vector<std::string> lines_;
    std::string lineEnd_ = "\n";
    bool byteOrderMark_ = false;
};

// A number as GetPrivateProfileIntA reads it: leading blanks, an optional sign,
// then the digits up to the first byte that is not a digit of the base: "0x"
// introduces hexadecimal, "0o" octal and "0b" binary digits, anything else is
// decimal; no digits gives 0. The value wraps modulo 2^32.
int32_t parseProfileInt(const std::string& text);

}  // namespace tavo
