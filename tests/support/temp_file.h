#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavo::test {

// A file in the temporary directory holding the given bytes, removed when
// the object goes out of scope.
class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t>& bytes, const std::string& suffix = "");
    explicit TempFile(const std::string& text, const std::string& suffix = "");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    const char* c_str() const { return path_.c_str(); }

private:
    std::string path_;
};

}  // namespace tavo::test
