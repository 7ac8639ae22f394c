#include "model/read_error.h"

namespace tavo {

std::string ReadError::describe() const {
    if (line <= 0) {
        return message;
    }
    return "line " + std::to_string(line) + ": " + message;
}

}  // namespace tavo
