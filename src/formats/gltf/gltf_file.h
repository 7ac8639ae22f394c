#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "formats/gltf/tiny_gltf_config.h"
#include "resources/load_error.h"

namespace tavo {

// Limits of what the reader takes, so that a forged file cannot ask for
// gigabytes or for a stack that overflows.
constexpr uint64_t kMaxGltfBufferBytes = uint64_t{256} << 20;  // all buffers together
constexpr size_t kMaxGltfJsonBytes = size_t{64} << 20;
constexpr int32_t kMaxGltfJsonDepth = 64;

// A glTF document (.gltf, or .glb and .vrm in the binary container) with its
// buffers loaded: the parsed model, and the JSON itself for the extensions
// that the parser leaves as they are (VRM). Nothing in it is checked against
// anything else yet (see validateGltf): only what reading needed.
struct GltfFile {
    std::string path;    // UTF-8, as given
    std::string folder;  // where its relative URIs point: the file's folder
    tinygltf::Model model;
    nlohmann::json json;
    bool binary = false;
};

// Reads path: the container, the JSON (nesting at most kMaxGltfJsonDepth),
// buffers from data: URIs, the binary chunk or files beside it. A URI that
// would leave the model's folder (an absolute path, a drive, a scheme other
// than data:, a ".." segment) is refused, as is a document that requires an
// extension this program does not know. False with the file, the element
// and the reason.
bool loadGltfFile(const std::string& path, GltfFile& file, LoadError& error);
// The same for a document already in memory, its relative URIs in folder
// ("" for none: then only data: URIs and the binary chunk are read).
bool loadGltfBytes(const std::string& path, const std::string& folder, const uint8_t* bytes, size_t size,
                   GltfFile& file, LoadError& error);

// The JSON chunk of a document in memory, without parsing it (GLB: its first
// chunk; text: the whole). False with the reason when the container is bad.
bool findGltfJson(const uint8_t* bytes, size_t size, const char*& json, size_t& jsonSize, std::string& reason);

// Extensions whose absence from a file changes nothing this reader draws
// wrongly, or that it reads.
bool isKnownGltfExtension(const std::string& name);

// A relative URI decoded (%XX) and checked to stay inside the model's
// folder; false with the reason. data: URIs are not paths and fail here.
bool relativeUriPath(const std::string& uri, std::string& path, std::string& reason);

}  // namespace tavo
