#include "system/atomic_file_write.h"

#include <windows.h>

#include "resources/wide_text.h"

namespace tavo {

namespace {

bool writeAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x40000000u ? 0x40000000u : bytes.size() - done);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

// The path is UTF-8 and goes to the wide API, so a folder of any name works;
// bytes that are not UTF-8 go to the ANSI API as before.
bool writeFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
    bool valid = false;
    const std::wstring wideTemporary = wideFromUtf8(temporary, &valid);
    const std::wstring widePath = wideFromUtf8(path);
    HANDLE file = valid ? CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr)
                        : CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = writeAll(file, bytes) && FlushFileBuffers(file);
    const bool closed = CloseHandle(file) != 0;
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    // Only a temporary file written whole replaces the target.
    const bool moved = written && closed &&
                       (valid ? MoveFileExW(wideTemporary.c_str(), widePath.c_str(), flags) != 0
                              : MoveFileExA(temporary.c_str(), path.c_str(), flags) != 0);
    if (!moved) {
        if (valid) {
            DeleteFileW(wideTemporary.c_str());
        } else {
            DeleteFileA(temporary.c_str());
        }
        return false;
    }
    return true;
}

}  // namespace tavo
