#include <gtest/gtest.h>

#include "system/executable_directory.h"

namespace tavo {
namespace {

TEST(ExecutableDirectoryTest, KeepsTheDirectoryWithItsSeparator) {
    EXPECT_EQ(executableDirectory("C:\\Programs\\Tavo\\tavo_3d.exe"), "C:\\Programs\\Tavo\\");
    EXPECT_EQ(executableDirectory("C:\\tavo_3d.exe"), "C:\\");
    EXPECT_EQ(executableDirectory("tavo_3d.exe"), "tavo_3d.exe\\");  // no separator at all
    EXPECT_EQ(executableDirectory(""), "\\");
    EXPECT_EQ(executableDirectory("/opt/tavo/tavo_3d", '/'), "/opt/tavo/");
}

TEST(ExecutableDirectoryTest, TrailByteThatLooksLikeABackslashIsNoSeparator) {
    // A folder named with the katakana "so" (0x83 0x5C) as its last letter,
    // and a file name that ends in one.
    EXPECT_EQ(executableDirectory("C:\\\x83\x5C\\tavo_3d.exe"), "C:\\\x83\x5C\\");
    EXPECT_EQ(executableDirectory("C:\\dir\\\x83\x5C"), "C:\\dir\\");
    EXPECT_EQ(executableDirectory("\x83\x5C\x83\x5C"), "\x83\x5C\x83\x5C\\");
    // A lead byte at the very end does not swallow the terminator.
    EXPECT_EQ(executableDirectory("C:\\a\\\x83"), "C:\\a\\");
}

}  // namespace
}  // namespace tavo
