#include "system/login_start.h"

#include <windows.h>

#include <vector>

#include "resources/wide_text.h"

namespace tavo {

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kValueName[] = L"Tavo_3D";
const char kRunKeyText[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The system's text for an error code, in UTF-8 like every text the
// behaviour shows.
std::string errorText(LONG error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result = length > 0 && text != nullptr ? utf8FromWide(std::wstring(text, length)) : std::string();
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\r' || result.back() == '\n' || result.back() == ' ')) {
        result.pop_back();
    }
    return result.empty() ? "error " + std::to_string(error) : result;
}

std::string failure(LONG error) { return std::string(kRunKeyText) + " (Tavo_3D): " + errorText(error); }

// The running executable's full path, however long.
std::wstring runningExecutable() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

bool startsAtLogin() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    const LONG status = RegQueryValueExW(key, kValueName, nullptr, &type, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
}

bool setStartAtLogin(bool enabled, std::string& reason) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr);
    if (status != ERROR_SUCCESS) {
        reason = failure(status);
        return false;
    }
    if (enabled) {
        const std::wstring program = runningExecutable();
        if (program.empty()) {
            RegCloseKey(key);
            reason = failure(static_cast<LONG>(GetLastError()));
            return false;
        }
        // Quoted, so that a path with spaces is one command.
        const std::wstring command = L"\"" + program + L"\"";
        status = RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    } else {
        status = RegDeleteValueW(key, kValueName);
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        reason = failure(status);
        return false;
    }
    return true;
}

}  // namespace tavo
