#pragma once

#include <string>

#include "resources/cp932_text.h"

namespace tavo {

// Where the texture names of a model are looked up. A model read from a file
// names its textures relative to the file's folder, with "/" or "\" between
// the parts; files made on Windows often differ from the name in letter
// case, and may carry an absolute path from the author's machine.

// The folder of a model file as the texture lookup wants it: the path up to
// its last separator, "." for a bare file name.
std::string modelFolderOf(const std::string& modelPath);

// The file to read for a texture name of a model in modelFolder:
// - the name with every "\" made "/" (code page 932 aware: a trail byte
//   0x5C stays), relative to the folder unless it is absolute; a name in
//   code page 932 is tried in UTF-8 first (as every current system names
//   files) and then, on Linux, as its raw bytes (an archive unpacked without
//   conversion); a name with bytes that are no code page 932 is only tried
//   as it is, so no other file is ever opened in its place;
// - where that does not exist, the same path matched without regard to
//   letter case where the file system minds it (lookupFileIgnoringCase);
// - where a name with folders is not found, its last part in the model's
//   folder.
// When nothing is found the first candidate is returned, so a failure names
// where the file was expected. An empty modelFolder (a model with no folder,
// such as the embedded one) leaves a name that is not found as written.
std::string locateTextureFile(const std::string& modelFolder, const char* name,
                              TextEncoding encoding = TextEncoding::Cp932);

// A code-page-932 name in UTF-8, false (and out empty) when some byte starts
// no character of the code page.
bool cp932NameInUtf8(const std::string& name, std::string& out);

// Platform part: true with the path of an existing regular file in found
// when path names one, its parts compared without regard to ASCII letter
// case where the exact path does not exist (a case-insensitive file system
// needs only the exact check).
bool lookupFileIgnoringCase(const std::string& path, std::string& found);

}  // namespace tavo
