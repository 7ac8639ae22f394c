#include "skeleton/anchors.h"

#include <algorithm>

#include "skeleton/mirrored_name.h"
#include "skeleton/skeleton.h"

// Skin weights are not stored: hidden "anchor...|<object>" objects model
// closed volumes, one per bone, around the vertices of each "sdef:<object>".

namespace tavo {
namespace {

const char kSkinnedPrefix[] = "sdef:";
const std::size_t kSkinnedPrefixLength = sizeof(kSkinnedPrefix) - 1;

bool usableFace(const Face& face, std::size_t vertexCount) {
    if (face.indices.empty()) {
        return false;
    }
    for (int32_t index : face.indices) {
        if (index < 0 || static_cast<std::size_t>(index) >= vertexCount) {
            return false;
        }
    }
    return true;
}

bool shareVertex(const Face& a, const Face& b) {
    for (int32_t i : a.indices) {
        for (int32_t j : b.indices) {
            if (i == j) {
                return true;
            }
        }
    }
    return false;
}

// Labels faces so that faces sharing a vertex index, directly or through a
// chain, carry the same label. Returns the number of labels handed out.
int32_t labelConnectedFaces(const std::vector<const Face*>& faces, std::vector<int32_t>& label) {
    label.assign(faces.size(), -1);
    int32_t next = 0;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        if (label[i] == -1) {
            label[i] = next++;
        }
        const int32_t b = label[i];
        for (std::size_t j = i + 1; j < faces.size(); ++j) {
            if (!shareVertex(*faces[i], *faces[j])) {
                continue;
            }
            if (label[j] == -1) {
                label[j] = b;
                continue;
            }
            const int32_t e = label[j];
            for (int32_t& l : label) {
                if (l == e) {
                    l = b;
                }
            }
        }
    }
    return next;
}

// The piece takes the name of its first face's material (mirrored by the x of
// that face's first vertex) and the first bone of that name.
void nameAndBind(AnchorPiece& piece, const Model& model, const Skeleton& skeleton) {
    const Face& first = piece.faces.front();
    if (first.material >= 0 && static_cast<std::size_t>(first.material) < model.materials.size()) {
        piece.name = model.materials[first.material].name;
    }
    const float x = piece.vertices[first.indices[0]].x;
    piece.name = resolveMirroredName(piece.name, x).name;
    piece.boneIndex = -1;
    for (int32_t i = 0; i < skeleton.boneCount(); ++i) {
        if (skeleton.bones[i].name == piece.name) {
            piece.boneIndex = i;
            break;
        }
    }
    ModelObject shape;
    shape.faces = piece.faces;
    piece.triangles.clear();
    shape.triangulateFaces(piece.triangles);
}

}  // namespace

void collectSkinnedObjects(Model& model) {
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        if (model.objects[i].name.compare(0, kSkinnedPrefixLength, kSkinnedPrefix) == 0) {
            model.skinnedObjects.push_back(static_cast<int32_t>(i));
        }
    }
}

std::vector<int32_t> findAnchors(const Model& model, const std::string& name) {
    std::vector<int32_t> anchors;
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        const std::string& objectName = model.objects[i].name;
        if (objectName.compare(0, 6, "anchor") != 0) {
            continue;
        }
        const std::size_t bar = objectName.find('|');
        const std::string target = bar == std::string::npos ? objectName : objectName.substr(bar + 1);
        if (target == name) {
            anchors.push_back(static_cast<int32_t>(i));
        }
    }
    return anchors;
}

std::vector<AnchorPiece> splitIntoPieces(const ModelObject& anchor) {
    std::vector<const Face*> faces;
    for (const Face& face : anchor.faces) {
        if (usableFace(face, anchor.vertices.size())) {
            faces.push_back(&face);
        }
    }
    std::vector<int32_t> label;
    const int32_t labelCount = labelConnectedFaces(faces, label);
    std::vector<AnchorPiece> pieces;
    for (int32_t g = 0; g < labelCount; ++g) {
        AnchorPiece piece;
        for (std::size_t k = 0; k < faces.size(); ++k) {
            if (label[k] == g) {
                piece.faces.push_back(*faces[k]);
            }
        }
        if (piece.faces.empty()) {
            continue;
        }
        piece.name = anchor.name;
        piece.vertices = anchor.vertices;
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

void addInfluence(VertexInfluence& influence, int32_t boneIndex, float weight) {
    influence.boneIndices.push_back(boneIndex);
    influence.weights.push_back(weight);
}

void normalizeWeights(VertexInfluence& influence) {
    if (influence.weights.empty()) {
        return;
    }
    float sum = 0.0f;
    for (float w : influence.weights) {
        sum += w;
    }
    for (float& w : influence.weights) {
        w /= sum;
    }
}

std::vector<AnchorPiece> anchorPiecesOf(const Model& model, int32_t objectIndex,
                                        const Skeleton& skeleton) {
    std::vector<AnchorPiece> pieces;
    if (objectIndex < 0 || static_cast<std::size_t>(objectIndex) >= model.objects.size()) {
        return pieces;
    }
    const std::string& objectName = model.objects[objectIndex].name;
    const std::string name = objectName.substr(std::min(kSkinnedPrefixLength, objectName.size()));
    for (int32_t anchor : findAnchors(model, name)) {
        for (AnchorPiece& piece : splitIntoPieces(model.objects[anchor])) {
            pieces.push_back(std::move(piece));
        }
    }
    for (AnchorPiece& piece : pieces) {
        nameAndBind(piece, model, skeleton);
    }
    return pieces;
}

void bindSkinnedObject(Model& model, int32_t objectIndex, const Skeleton& skeleton) {
    if (objectIndex < 0 || static_cast<std::size_t>(objectIndex) >= model.objects.size()) {
        return;
    }
    const std::vector<AnchorPiece> pieces = anchorPiecesOf(model, objectIndex, skeleton);
    ModelObject& object = model.objects[objectIndex];
    object.vertexInfluences.assign(object.vertices.size(), VertexInfluence());
    CrossingRecord crossed;
    for (std::size_t v = 0; v < object.vertices.size(); ++v) {
        const Vec3& p = object.vertices[v];
        VertexInfluence& influence = object.vertexInfluences[v];
        for (const AnchorPiece& piece : pieces) {
            // A volume without a bone would make the pose read outside the bones.
            if (piece.boneIndex < 0) {
                continue;
            }
            if (containsPoint(piece, p, crossed)) {
                addInfluence(influence, piece.boneIndex, surfaceDistance(piece, p));
            }
        }
        normalizeWeights(influence);
    }
}

}  // namespace tavo
