#pragma once

#include <filesystem>
#include <string>

namespace tavo::test {

// A fresh directory in the temporary directory, removed with everything in
// it when the object goes out of scope. Throws when none can be made.
class TempDirectory {
public:
    explicit TempDirectory(const std::string& prefix = "tavo");
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace tavo::test
