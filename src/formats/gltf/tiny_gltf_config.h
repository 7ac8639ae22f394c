#pragma once

// tinygltf as this program uses it: no image decoding of its own (pictures
// go through the program's decoders), no file access of its own (files are
// read through gltf_file.cpp, which keeps them inside the model's folder),
// and the JSON library Debian ships.
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#define TINYGLTF_NO_FS
#include <tiny_gltf.h>
