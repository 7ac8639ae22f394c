#include "resources/load_error.h"

namespace tavo {

std::string LoadError::describePlace() const {
    if (line > 0) {
        return "line " + std::to_string(line) + ": " + message;
    }
    if (!element.empty()) {
        return element + ": " + message;
    }
    return message;
}

std::string LoadError::describe() const {
    return file.empty() ? describePlace() : file + ": " + describePlace();
}

void LoadWarnings::add(LoadError warning) {
    if (list_.size() < kMaxWarnings) {
        list_.push_back(std::move(warning));
    } else if (list_.size() == kMaxWarnings) {
        LoadError more;
        more.file = warning.file;
        more.message = "more warnings follow; they are not listed";
        list_.push_back(std::move(more));
    }
}

void LoadWarnings::append(const LoadWarnings& other) {
    for (const LoadError& warning : other.list_) {
        add(warning);
    }
}

void LoadWarnings::setFile(const std::string& file) {
    for (LoadError& warning : list_) {
        if (warning.file.empty()) {
            warning.file = file;
        }
    }
}

}  // namespace tavo
