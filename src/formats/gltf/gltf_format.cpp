#include "formats/gltf/gltf_format.h"

#include "formats/gltf/gltf_validation.h"
#include "formats/gltf/humanoid_motions.h"
#include "resources/stdio_file.h"
#include "resources/texture_manager.h"

namespace tavo {

namespace {

// Sets what a glTF read needs of the texture manager for its duration.
class GltfTextureScope {
public:
    GltfTextureScope(TextureManager& textures, const std::string& folder)
        : textures_(textures), folder_(textures, folder), encoding_(textures.nameEncoding()) {
        textures.setNameEncoding(TextEncoding::Utf8);
        textures.setLargestSide(kGltfLargestTextureSide);
    }
    ~GltfTextureScope() {
        textures_.setLargestSide(0);
        textures_.setNameEncoding(encoding_);
    }
    GltfTextureScope(const GltfTextureScope&) = delete;
    GltfTextureScope& operator=(const GltfTextureScope&) = delete;

private:
    TextureManager& textures_;
    TextureFolderScope folder_;
    TextEncoding encoding_;
};

}  // namespace

const std::vector<std::string>& GltfFormat::modelExtensions() const {
    static const std::vector<std::string> endings = {".vrm", ".glb", ".gltf"};
    return endings;
}

const std::vector<std::string>& GltfFormat::motionExtensions() const {
    static const std::vector<std::string> endings = {".vrma"};
    return endings;
}

// The binary container's magic, or JSON that opens an object.
bool GltfFormat::recognizes(const uint8_t* head, size_t count) const {
    if (count >= 4 && head[0] == 'g' && head[1] == 'l' && head[2] == 'T' && head[3] == 'F') return true;
    size_t i = 0;
    if (count >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) i = 3;
    while (i < count && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    return i < count && head[i] == '{';
}

bool readGltfCharacter(const std::string& path, float scale, TextureManager& textures, CharacterData& data,
                       GltfReport& report, LoadError& error) {
    GltfFile file;
    if (!loadGltfFile(path, file, error) || !validateGltf(file, error)) return false;
    GltfTextureScope scope(textures, file.folder);
    return buildGltfCharacter(file, scale, textures, data, report, error);
}

bool GltfFormat::read(const CharacterSource& source, TextureManager& textures, CharacterData& data, LoadError& error,
                      LoadWarnings* warnings) const {
    GltfReport report;
    CharacterData read;
    if (!readGltfCharacter(source.modelPath, source.scale, textures, read, report, error) ||
        !giveHumanoidMotions(source.modelPath, source.motionPath, read, error)) {
        return false;
    }
    data = std::move(read);
    if (warnings != nullptr) {
        for (const std::string& problem : report.problems) warnings->add(loadError(source.modelPath, problem));
    }
    return true;
}

bool GltfFormat::readStreams(ByteStream&, ByteStream*, TextureManager&, CharacterData&, LoadError& error,
                             LoadWarnings*) const {
    error = loadError("", "glTF characters are read from their files");
    return false;
}

// Only the JSON is read (its chunk, for a binary file).
std::string GltfFormat::title(const std::string& path) const {
    StdioFile file = openStdioFile(path.c_str());
    const int32_t size = file ? measureFile(file.get()) : -1;
    if (size <= 0) return std::string();
    std::vector<uint8_t> head(20);
    if (std::fread(head.data(), 1, head.size(), file.get()) != head.size()) return std::string();
    size_t jsonSize = static_cast<size_t>(size);
    size_t start = 0;
    if (head[0] == 'g' && head[1] == 'l' && head[2] == 'T' && head[3] == 'F') {
        jsonSize = uint32_t{head[12]} | uint32_t{head[13]} << 8 | uint32_t{head[14]} << 16 | uint32_t{head[15]} << 24;
        start = 20;
    }
    if (jsonSize > kMaxGltfJsonBytes || start + jsonSize > static_cast<size_t>(size)) return std::string();
    std::vector<char> json(jsonSize);
    std::fseek(file.get(), static_cast<long>(start), SEEK_SET);
    if (std::fread(json.data(), 1, json.size(), file.get()) != json.size()) return std::string();
    const nlohmann::json document = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
    return document.is_discarded() ? std::string() : vrmTitle(document);
}

}  // namespace tavo
