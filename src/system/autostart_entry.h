#pragma once

#include <string>

namespace tavo {

// The desktop entry that a Linux session reads from its autostart folder to
// start the program at the given absolute path when the user logs in.
std::string autostartEntry(const std::string& program);

// The path as one argument of an Exec= line: quoted when it holds a space
// or a character the entry format reserves, with `"`, `` ` ``, `$` and `\`
// escaped inside the quotes, `%` doubled, and the string escapes of the
// entry format applied on top.
std::string execArgument(const std::string& path);

}  // namespace tavo
