#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tavo {

struct StdioFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A runtime-library file that is closed when it goes out of scope.
using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;

// Opens path for binary reading; empty on failure or a null path, with the
// system's reason in whyNot when given. Paths are UTF-8 (on Windows a path
// that is not valid UTF-8 is taken as the ANSI code page). One file per
// platform.
StdioFile openStdioFile(const char* path, std::string* whyNot = nullptr);
// The same for binary writing: the file is made, or emptied when it exists.
StdioFile createStdioFile(const char* path, std::string* whyNot = nullptr);

// Size of an open file in bytes, leaving it positioned at the start; -1 when
// the size cannot be taken or does not fit a 32-bit count.
int32_t measureFile(std::FILE* file);

// A picture file's failure as the texture list shows it: "cannot read
// <path>: <reason>", in UTF-8 (the path shown by readablePath).
std::string unreadableFileMessage(const char* path, const std::string& reason);

}  // namespace tavo
