#include "formats/gltf/gltf_file.h"

#include <algorithm>
#include <cstring>

#include "resources/stdio_file.h"

namespace tavo {

namespace {

constexpr uint32_t kGlbMagic = 0x46546C67;  // "glTF"
constexpr uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr uint32_t kBinChunk = 0x004E4942;   // "BIN\0"

uint32_t readU32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

bool isGlb(const uint8_t* bytes, size_t size) { return size >= 4 && readU32(bytes) == kGlbMagic; }

// The binary container: a 12-byte header, the JSON chunk, an optional BIN
// chunk; every length inside what the file holds.
bool checkGlb(const uint8_t* bytes, size_t size, std::string& reason) {
    if (size < 20) {
        reason = "the binary container is cut short (" + std::to_string(size) + " bytes)";
        return false;
    }
    const uint32_t version = readU32(bytes + 4);
    const uint32_t length = readU32(bytes + 8);
    if (version != 2) {
        reason = "binary container version " + std::to_string(version) + " (only 2 is read)";
        return false;
    }
    if (length > size || length < 20) {
        reason = "the binary container says " + std::to_string(length) + " bytes but the file has " +
                 std::to_string(size);
        return false;
    }
    const uint32_t jsonLength = readU32(bytes + 12);
    if (readU32(bytes + 16) != kJsonChunk) {
        reason = "the first chunk is not JSON";
        return false;
    }
    if (jsonLength > length - 20) {
        reason = "the JSON chunk runs past the end of the file";
        return false;
    }
    const size_t binAt = 20 + size_t{jsonLength};
    if (binAt + 8 <= length) {
        const uint32_t binLength = readU32(bytes + binAt);
        if (readU32(bytes + binAt + 4) == kBinChunk && binLength > length - binAt - 8) {
            reason = "the BIN chunk runs past the end of the file";
            return false;
        }
    }
    return true;
}

// Nesting of arrays and objects, outside strings; deeper documents are
// refused before they are parsed (freeing them would recurse as deep).
int32_t jsonDepth(const char* text, size_t size) {
    int32_t depth = 0;
    int32_t deepest = 0;
    bool inString = false;
    for (size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return deepest;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isDataUri(const std::string& uri) { return uri.compare(0, 5, "data:") == 0; }

std::string indexed(const char* array, size_t index) { return std::string(array) + "[" + std::to_string(index) + "]"; }

LoadError elementError(const std::string& file, std::string element, std::string reason) {
    LoadError error = loadError(file, std::move(reason));
    error.element = std::move(element);
    return error;
}

uint64_t unsignedMember(const nlohmann::json& object, const char* key, uint64_t otherwise) {
    const auto found = object.find(key);
    return found != object.end() && found->is_number_unsigned() ? found->get<uint64_t>() : otherwise;
}

// What must hold of the JSON before the parser may touch buffers: the
// version, the required extensions, the URIs, the buffers' total size, and
// every image in a buffer view inside the bytes its buffer declares (the
// parser hands those bytes on without looking).
bool checkDocument(const nlohmann::json& json, const std::string& path, LoadError& error) {
    if (!json.is_object()) {
        error = loadError(path, "the document is not a JSON object");
        return false;
    }
    const auto asset = json.find("asset");
    const nlohmann::json version = asset != json.end() && asset->is_object() ? asset->value("version", nlohmann::json()) : nlohmann::json();
    if (!version.is_string() || version.get<std::string>().compare(0, 2, "2.") != 0) {
        error = elementError(path, "asset.version", "not a glTF 2.x document");
        return false;
    }
    const auto required = json.find("extensionsRequired");
    if (required != json.end() && required->is_array()) {
        for (size_t i = 0; i < required->size(); ++i) {
            const nlohmann::json& name = (*required)[i];
            if (!name.is_string() || !isKnownGltfExtension(name.get<std::string>())) {
                error = elementError(path, indexed("extensionsRequired", i),
                                     (name.is_string() ? name.get<std::string>() : std::string("a name")) +
                                         " is required but not supported (a compression or extension this program does not read)");
                return false;
            }
        }
    }
    std::vector<uint64_t> bufferBytes;
    uint64_t total = 0;
    const auto buffers = json.find("buffers");
    if (buffers != json.end() && buffers->is_array()) {
        for (size_t i = 0; i < buffers->size(); ++i) {
            const nlohmann::json& buffer = (*buffers)[i];
            const uint64_t bytes = buffer.is_object() ? unsignedMember(buffer, "byteLength", 0) : 0;
            total += bytes;
            if (total > kMaxGltfBufferBytes) {
                error = elementError(path, indexed("buffers", i), "the buffers hold more than 256 MB");
                return false;
            }
            bufferBytes.push_back(bytes);
            const auto uri = buffer.is_object() ? buffer.find("uri") : buffer.end();
            std::string ignored, reason;
            if (uri != buffer.end() && uri->is_string() && !isDataUri(uri->get<std::string>()) &&
                !relativeUriPath(uri->get<std::string>(), ignored, reason)) {
                error = elementError(path, indexed("buffers", i) + ".uri", reason);
                return false;
            }
        }
    }
    const auto views = json.find("bufferViews");
    const auto images = json.find("images");
    if (images == json.end() || !images->is_array()) return true;
    for (size_t i = 0; i < images->size(); ++i) {
        const nlohmann::json& image = (*images)[i];
        if (!image.is_object()) continue;
        const std::string element = indexed("images", i);
        const auto uri = image.find("uri");
        std::string ignored, reason;
        if (uri != image.end() && uri->is_string() && !isDataUri(uri->get<std::string>()) &&
            !relativeUriPath(uri->get<std::string>(), ignored, reason)) {
            error = elementError(path, element + ".uri", reason);
            return false;
        }
        const auto viewIndex = image.find("bufferView");
        if (viewIndex == image.end()) continue;
        const uint64_t v = viewIndex->is_number_unsigned() ? viewIndex->get<uint64_t>() : UINT64_MAX;
        if (views == json.end() || !views->is_array() || v >= views->size() || !(*views)[v].is_object()) {
            error = elementError(path, element + ".bufferView", "names no buffer view");
            return false;
        }
        const nlohmann::json& view = (*views)[v];
        const uint64_t b = unsignedMember(view, "buffer", UINT64_MAX);
        const uint64_t offset = unsignedMember(view, "byteOffset", 0);
        const uint64_t length = unsignedMember(view, "byteLength", UINT64_MAX);
        if (b >= bufferBytes.size() || length > bufferBytes[b] || offset > bufferBytes[b] - length) {
            error = elementError(path, element + ".bufferView",
                                 "buffer view " + std::to_string(v) + " lies outside its buffer");
            return false;
        }
    }
    return true;
}

// The parser's file access: only files inside the model's folder, and no
// more bytes than the limit all together.
struct FolderAccess {
    std::string folder;
    uint64_t bytesRead = 0;
};

bool insideFolder(const std::string& path, const FolderAccess& access) {
    if (access.folder.empty()) return false;
    const std::string prefix = access.folder + "/";
    if (path.compare(0, prefix.size(), prefix) != 0) return false;
    std::string ignored, reason;
    return relativeUriPath(path.substr(prefix.size()), ignored, reason);
}

bool fileExists(const std::string& path, void* user) {
    return insideFolder(path, *static_cast<FolderAccess*>(user)) && openStdioFile(path.c_str()) != nullptr;
}

std::string expandFilePath(const std::string& path, void*) { return path; }

bool readWholeFile(std::vector<unsigned char>* out, std::string* err, const std::string& path, void* user) {
    FolderAccess& access = *static_cast<FolderAccess*>(user);
    if (!insideFolder(path, access)) {
        if (err) *err += path + ": outside the model's folder\n";
        return false;
    }
    std::string reason;
    StdioFile file = openStdioFile(path.c_str(), &reason);
    const int32_t size = file ? measureFile(file.get()) : -1;
    if (size < 0 || access.bytesRead + static_cast<uint64_t>(size) > kMaxGltfBufferBytes) {
        if (err) *err += path + ": " + (file ? "more than 256 MB of buffers" : reason) + "\n";
        return false;
    }
    out->resize(static_cast<size_t>(size));
    if (size > 0 && std::fread(out->data(), 1, out->size(), file.get()) != out->size()) {
        if (err) *err += path + ": cannot be read to its end\n";
        return false;
    }
    access.bytesRead += static_cast<uint64_t>(size);
    return true;
}

bool writeWholeFile(std::string* err, const std::string&, const std::vector<unsigned char>&, void*) {
    if (err) *err += "the reader writes no files\n";
    return false;
}

// Pictures embedded in the document are kept as their bytes; the program's
// own decoders read them later.
bool keepImageBytes(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                    const unsigned char* bytes, int size, void*) {
    if (size > 0) image->image.assign(bytes, bytes + size);
    image->as_is = true;
    return true;
}

// The parser's messages end in newlines; the first line says enough.
std::string firstLine(const std::string& text) {
    const size_t end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace

bool isKnownGltfExtension(const std::string& name) {
    static const char* const kKnown[] = {"KHR_texture_transform", "KHR_materials_unlit", "KHR_mesh_quantization",
                                         "VRMC_vrm_animation"};
    for (const char* known : kKnown) {
        if (name == known) return true;
    }
    return false;
}

bool relativeUriPath(const std::string& uri, std::string& path, std::string& reason) {
    path.clear();
    for (size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && hexValue(uri[i + 1]) >= 0 && hexValue(uri[i + 2]) >= 0) {
            path += static_cast<char>(hexValue(uri[i + 1]) * 16 + hexValue(uri[i + 2]));
            i += 2;
        } else {
            path += uri[i];
        }
    }
    if (path.empty()) {
        reason = "an empty URI";
        return false;
    }
    if (path[0] == '/' || path[0] == '\\' || path.find(':') != std::string::npos || path.find('\0') != std::string::npos) {
        reason = "\"" + uri + "\" is not a file beside the model (absolute, a drive or a scheme)";
        return false;
    }
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find_first_of("/\\", start);
        const std::string segment = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (segment == "..") {
            reason = "\"" + uri + "\" leaves the model's folder";
            return false;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return true;
}

bool findGltfJson(const uint8_t* bytes, size_t size, const char*& json, size_t& jsonSize, std::string& reason) {
    if (!isGlb(bytes, size)) {
        json = reinterpret_cast<const char*>(bytes);
        jsonSize = size;
        return true;
    }
    if (!checkGlb(bytes, size, reason)) return false;
    json = reinterpret_cast<const char*>(bytes + 20);
    jsonSize = readU32(bytes + 12);
    return true;
}

bool loadGltfBytes(const std::string& path, const std::string& folder, const uint8_t* bytes, size_t size,
                   GltfFile& file, LoadError& error) {
    file = GltfFile();
    file.path = path;
    file.folder = folder;
    file.binary = isGlb(bytes, size);
    const char* json = nullptr;
    size_t jsonSize = 0;
    std::string reason;
    if (!findGltfJson(bytes, size, json, jsonSize, reason)) {
        error = loadError(path, reason);
        return false;
    }
    if (jsonSize > kMaxGltfJsonBytes) {
        error = loadError(path, "the JSON is larger than 64 MB");
        return false;
    }
    if (jsonDepth(json, jsonSize) > kMaxGltfJsonDepth) {
        error = loadError(path, "the JSON nests deeper than " + std::to_string(kMaxGltfJsonDepth) + " levels");
        return false;
    }
    try {
        file.json = nlohmann::json::parse(json, json + jsonSize);
    } catch (const nlohmann::json::exception& e) {
        error = loadError(path, std::string("the JSON does not parse: ") + e.what());
        return false;
    }
    if (!checkDocument(file.json, path, error)) return false;

    FolderAccess access{folder};
    tinygltf::FsCallbacks fs{fileExists, expandFilePath, readWholeFile, writeWholeFile, &access};
    tinygltf::TinyGLTF parser;
    parser.SetFsCallbacks(fs);
    parser.SetImageLoader(keepImageBytes, nullptr);
    std::string err, warn;
    bool parsed = false;
    try {
        parsed = file.binary ? parser.LoadBinaryFromMemory(&file.model, &err, &warn, bytes, static_cast<unsigned int>(size), folder)
                             : parser.LoadASCIIFromString(&file.model, &err, &warn, json, static_cast<unsigned int>(jsonSize), folder);
    } catch (const std::exception& e) {
        err = e.what();
        parsed = false;
    }
    if (!parsed) {
        error = loadError(path, err.empty() ? "the document cannot be read" : firstLine(err));
        return false;
    }
    return true;
}

bool loadGltfFile(const std::string& path, GltfFile& file, LoadError& error) {
    std::string reason;
    StdioFile stream = openStdioFile(path.c_str(), &reason);
    if (!stream) {
        error = loadError(path, reason);
        return false;
    }
    const int32_t size = measureFile(stream.get());
    if (size < 0 || static_cast<uint64_t>(size) > kMaxGltfBufferBytes + kMaxGltfJsonBytes) {
        error = loadError(path, "the file is larger than this program reads (320 MB)");
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), stream.get()) != bytes.size()) {
        error = loadError(path, "the file cannot be read to its end");
        return false;
    }
    const size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    return loadGltfBytes(path, folder, bytes.data(), bytes.size(), file, error);
}

}  // namespace tavo
