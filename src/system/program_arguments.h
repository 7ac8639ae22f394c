#pragma once

#include <string>
#include <vector>

namespace tavo {

// The program's arguments after its name, in UTF-8, so that paths of any
// characters reach the program intact. argc and argv are what main was
// given; Windows reads its wide command line instead (argv there holds the
// ANSI code page, which loses every character outside it). One file per
// platform.
std::vector<std::string> programArguments(int argc, char** argv);

// Makes a console that shows the program's output read it as UTF-8 (Windows;
// nothing elsewhere, where terminals are UTF-8 already).
void useUtf8Console();

}  // namespace tavo
