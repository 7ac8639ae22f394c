// The one translation unit that holds tinygltf's code.
#include <fstream>

#define TINYGLTF_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include "formats/gltf/tiny_gltf_config.h"
#pragma GCC diagnostic pop
