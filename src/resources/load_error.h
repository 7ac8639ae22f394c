#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

// Why a file could not be loaded, or what loading it had to pass over: the
// file, the place in it and the reason. It is filled where the fault is met
// (an open error carries the system's reason at the open) and carried up to
// the user unchanged. Readers keep their plain true/false results; this
// record says the rest.
struct LoadError {
    std::string file;     // the path as given (UTF-8); empty for built-in data
    int32_t line = 0;     // 1-based line of a text document; 0 when none applies
    std::string element;  // element of a structured document, e.g. "accessors[3]"
    std::string message;  // the reason (UTF-8); empty when nothing went wrong

    bool empty() const { return message.empty(); }
    // "line 17: reason", "accessors[3]: reason" or the bare reason.
    std::string describePlace() const;
    // The same behind the file: "model.mqo: line 17: reason".
    std::string describe() const;
};

inline LoadError loadError(std::string file, std::string message) {
    LoadError error;
    error.file = std::move(file);
    error.message = std::move(message);
    return error;
}

// Warnings of one load: what was passed over, each with its place. A
// hostile document could hold millions, so the list stops at kMaxWarnings
// with one last entry that says more were passed over.
class LoadWarnings {
public:
    static constexpr size_t kMaxWarnings = 100;

    void add(LoadError warning);
    void append(const LoadWarnings& other);
    // Gives every warning without a file this one.
    void setFile(const std::string& file);
    const std::vector<LoadError>& list() const { return list_; }
    bool empty() const { return list_.empty(); }
    void clear() { list_.clear(); }

private:
    std::vector<LoadError> list_;
};

}  // namespace tavo
