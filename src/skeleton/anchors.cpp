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

// Groups of faces as a union-find forest; the root of each group carries
// the group's label.
class FaceGroups {
public:
    explicit FaceGroups(std::size_t count) : parent_(count, kNone), label_(count, -1) {}

    bool assigned(std::size_t face) const { return parent_[face] != kNone; }
    void start(std::size_t face, int32_t label) {
        parent_[face] = face;
        label_[face] = label;
    }
    std::size_t root(std::size_t face) {
        while (parent_[face] != face) {
            parent_[face] = parent_[parent_[face]];
            face = parent_[face];
        }
        return face;
    }
    // The face (or the whole group it is in) joins the group whose root is
    // given and takes its label.
    void joinInto(std::size_t face, std::size_t groupRoot) {
        if (!assigned(face)) {
            parent_[face] = groupRoot;
            return;
        }
        const std::size_t other = root(face);
        if (other != groupRoot) {
            parent_[other] = groupRoot;
        }
    }
    int32_t label(std::size_t face) { return label_[root(face)]; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> parent_;
    std::vector<int32_t> label_;
};

// Labels faces so that faces sharing a vertex index, directly or through a
// chain, carry the same label: each face in turn gets a new label unless it
// has one, and every later face that shares a vertex with it, with the whole
// group of that face, takes its label. The first face to reach a vertex
// gathers every face at that vertex, so a vertex is looked at only once.
// Returns the number of labels handed out.
int32_t labelConnectedFaces(const std::vector<const Face*>& faces, std::size_t vertexCount,
                            std::vector<int32_t>& label) {
    std::vector<std::vector<std::size_t>> facesAt(vertexCount);
    for (std::size_t f = 0; f < faces.size(); ++f) {
        for (int32_t v : faces[f]->indices) {
            if (facesAt[v].empty() || facesAt[v].back() != f) {
                facesAt[v].push_back(f);
            }
        }
    }
    FaceGroups groups(faces.size());
    std::vector<uint8_t> vertexGathered(vertexCount, 0);
    int32_t next = 0;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        if (!groups.assigned(i)) {
            groups.start(i, next++);
        }
        const std::size_t group = groups.root(i);
        for (int32_t v : faces[i]->indices) {
            if (vertexGathered[v]) {
                continue;
            }
            vertexGathered[v] = 1;
            for (std::size_t j : facesAt[v]) {
                if (j > i) {
                    groups.joinInto(j, group);
                }
            }
        }
    }
    label.resize(faces.size());
    for (std::size_t f = 0; f < faces.size(); ++f) {
        label[f] = groups.label(f);
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
    const int32_t labelCount = labelConnectedFaces(faces, anchor.vertices.size(), label);
    std::vector<std::vector<const Face*>> byLabel(static_cast<std::size_t>(labelCount));
    for (std::size_t k = 0; k < faces.size(); ++k) {
        byLabel[label[k]].push_back(faces[k]);
    }
    std::vector<AnchorPiece> pieces;
    for (const std::vector<const Face*>& group : byLabel) {
        if (group.empty()) {
            continue;  // a label merged into another group
        }
        AnchorPiece piece;
        piece.name = anchor.name;
        piece.vertices = anchor.vertices;
        for (const Face* face : group) {
            piece.faces.push_back(*face);
        }
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
