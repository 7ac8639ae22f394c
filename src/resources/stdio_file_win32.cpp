#include <cerrno>
#include <cstring>

#include "resources/stdio_file.h"
#include "resources/wide_text.h"

namespace tavo {

namespace {

// Paths that come from the command line, the settings or the disk are UTF-8
// and are opened through the wide API, so every file name works. Bytes that
// are not UTF-8 (a code-page-932 texture name from an old model) go to the
// ANSI API as before.
StdioFile openInMode(const char* path, const char* mode, const wchar_t* wideMode, std::string* whyNot) {
    if (path == nullptr) {
        if (whyNot != nullptr) *whyNot = "no file name";
        return StdioFile();
    }
    bool valid = false;
    const std::wstring wide = wideFromUtf8(path, &valid);
    StdioFile file(valid ? _wfopen(wide.c_str(), wideMode) : std::fopen(path, mode));
    if (!file && whyNot != nullptr) {
        *whyNot = std::strerror(errno);
    }
    return file;
}

}  // namespace

StdioFile openStdioFile(const char* path, std::string* whyNot) { return openInMode(path, "rb", L"rb", whyNot); }

StdioFile createStdioFile(const char* path, std::string* whyNot) {
    return openInMode(path, "wb", L"wb", whyNot);
}

}  // namespace tavo
