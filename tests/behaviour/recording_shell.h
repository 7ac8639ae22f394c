#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "behaviour/shell_services.h"

namespace tavo {

// Stands in for a window system: keeps the check mark of every known menu
// command and keeps the error boxes.
class RecordingShell : public ShellServices {
public:
    RecordingShell() {
        for (int32_t command : {0x1000, 0x1010, 0x1011, 0x1012, 0x1013, 0x1020, 0x1021, 0x1022, 0x1023,
                                0x1030, 0x1031, 0x1032, 0x1040, 0x1041, 0x1042, 0x1043, 0x1044}) {
            checks[command] = false;
        }
    }
    void checkMenuItem(int32_t command, bool checked) override {
        auto item = checks.find(command);
        if (item != checks.end()) item->second = checked;
    }
    // Boxes are kept as the Japanese table writes them.
    void showErrorBox(TextId text, TextId caption, const std::string& detail) override {
        const std::string shown = kJapaneseTexts.raw(text);
        boxes.push_back({detail.empty() ? shown : shown + "\n" + detail, kJapaneseTexts.raw(caption)});
    }
    // Checked commands in the group starting at base.
    std::vector<int32_t> checkedIn(int32_t base) const {
        std::vector<int32_t> result;
        for (const auto& [command, checked] : checks) {
            if (checked && command >= base && command < base + 16) result.push_back(command);
        }
        return result;
    }

    std::map<int32_t, bool> checks;
    std::vector<std::pair<std::string, std::string>> boxes;
};

}  // namespace tavo
