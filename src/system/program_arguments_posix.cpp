#include "system/program_arguments.h"

namespace tavo {

std::vector<std::string> programArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(argv[i]);
    return arguments;
}

void useUtf8Console() {}

}  // namespace tavo
