#include "problem_list.h"

#include "checked_utf8.h"
#include "cp932_to_utf8.h"
#include "model/model.h"
#include "resources/texture_manager.h"
#include "skeleton/skeleton.h"

namespace tavo::inspect {
namespace {

// A name in double quotes, in UTF-8.
class Quoted {
public:
    explicit Quoted(TextEncoding encoding) : utf8_(encoding) {}
    std::string operator()(const std::string& name) const { return "\"" + utf8_(name) + "\""; }

private:
    NameText utf8_;
};

void faceIndexProblems(const Model& model, const Quoted& quoted,
                       std::vector<std::string>& problems) {
    for (const ModelObject& object : model.objects) {
        const int64_t vertexCount = static_cast<int64_t>(object.vertices.size());
        for (std::size_t f = 0; f < object.faces.size(); ++f) {
            for (int32_t index : object.faces[f].indices) {
                if (index < 0 || index >= vertexCount) {
                    problems.push_back("object " + quoted(object.name) + ": face " +
                                       std::to_string(f) + " uses vertex " +
                                       std::to_string(index) + " of " +
                                       std::to_string(vertexCount));
                    break;
                }
            }
        }
    }
}

// A texture without a picture, with the reason the texture manager kept
// (the decoder's own message, or where the file was looked for).
void textureProblems(const Model& model, const TextureManager* textures, const Quoted& quoted,
                     std::vector<std::string>& problems) {
    for (const Material& material : model.materials) {
        if (material.textureName.empty()) {
            continue;
        }
        const TextureFailure* failure =
            textures != nullptr ? textures->failureFor(material.textureName) : nullptr;
        if (material.textureIndex < 0 || failure != nullptr) {
            problems.push_back("material " + quoted(material.name) + ": texture " +
                               quoted(material.textureName) + " failed to load" +
                               (failure != nullptr ? ": " + checkedUtf8(failure->reason) : ""));
        }
    }
}

void skinProblems(const Model& model, const std::vector<SkinSummary>& skin, const Quoted& quoted,
                  std::vector<std::string>& problems) {
    for (const SkinSummary& summary : skin) {
        const std::string object = quoted(model.objects[summary.object].name);
        if (summary.withoutInfluence > 0) {
            problems.push_back("skinned object " + object + ": " +
                               std::to_string(summary.withoutInfluence) +
                               " vertices lie in no anchor piece with a bone");
        }
        for (const PieceSummary& piece : summary.pieces) {
            if (piece.bone < 0) {
                problems.push_back("skinned object " + object + ": anchor piece " +
                                   quoted(piece.name) + " matches no bone");
            }
        }
    }
}

void motionProblems(const Skeleton& skeleton, const Quoted& quoted,
                    std::vector<std::string>& problems) {
    for (const Motion& motion : skeleton.motions) {
        for (const QuaternionTrack& track : motion.quaternionTracks) {
            if (track.boneIndex < 0) {
                problems.push_back("motion " + quoted(motion.name) + ": rotation track " +
                                   quoted(track.name) + " matches no bone");
            }
        }
    }
    if (skeleton.motionCount() < 4) {
        problems.push_back("only " + std::to_string(skeleton.motionCount()) +
                           " motions: the mascot plays the fourth");
    }
}

}  // namespace

std::vector<std::string> collectProblems(const Model& model, const Skeleton* skeleton,
                                         const std::vector<SkinSummary>& skin,
                                         bool motionsGiven, const TextureManager* textures) {
    std::vector<std::string> problems;
    if (skeleton == nullptr) {
        problems.push_back("no object named \"bone...\": the character has no skeleton");
    }
    const Quoted quoted(model.nameEncoding);
    faceIndexProblems(model, quoted, problems);
    textureProblems(model, textures, quoted, problems);
    skinProblems(model, skin, quoted, problems);
    if (skeleton != nullptr && motionsGiven) {
        motionProblems(*skeleton, quoted, problems);
    }
    return problems;
}

}  // namespace tavo::inspect
