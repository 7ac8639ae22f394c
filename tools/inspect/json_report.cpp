#include "json_report.h"

#include <algorithm>

#include "cp932_to_utf8.h"
#include "json_writer.h"
#include "model/model.h"
#include "resources/texture_manager.h"
#include "skeleton/skeleton.h"

namespace tavo::inspect {
namespace {

void writeMaterials(JsonWriter& json, const Model& model, const NameText& utf8) {
    json.beginArray();
    for (const Material& material : model.materials) {
        json.beginObject();
        json.key("name");
        json.string(utf8(material.name));
        json.key("texture");
        if (material.textureName.empty()) {
            json.null();
        } else {
            json.string(utf8(material.textureName));
        }
        json.key("textureIndex");
        json.integer(material.textureIndex);
        json.key("color");
        json.beginArray();
        for (float channel : material.color) {
            json.number(channel);
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
}

void writeTextures(JsonWriter& json, const TextureManager& textures, const NameText& utf8) {
    json.beginArray();
    for (int32_t i = 0; i < textures.textureCount(); ++i) {
        const Texture* texture = textures.texture(i);
        json.beginObject();
        json.key("name");
        json.string(utf8(textures.name(i)));
        json.key("width");
        json.integer(texture != nullptr ? texture->imageWidth : 0);
        json.key("height");
        json.integer(texture != nullptr ? texture->imageHeight : 0);
        json.endObject();
    }
    json.endArray();
}

template <typename Group>
void writeGroupMaterials(JsonWriter& json, const std::vector<Group>& groups) {
    json.beginArray();
    for (const Group& group : groups) {
        json.integer(group.empty() ? -1 : group.front().material);
    }
    json.endArray();
}

template <typename Group>
int64_t countItems(const std::vector<Group>& groups) {
    int64_t count = 0;
    for (const Group& group : groups) {
        count += static_cast<int64_t>(group.size());
    }
    return count;
}

void writeObjects(JsonWriter& json, const Model& model, const NameText& utf8) {
    json.beginArray();
    for (const ModelObject& object : model.objects) {
        json.beginObject();
        json.key("name");
        json.string(utf8(object.name));
        json.key("visible");
        json.integer(object.visible);
        json.key("vertices");
        json.integer(static_cast<int64_t>(object.vertices.size()));
        json.key("faces");
        json.integer(static_cast<int64_t>(object.faces.size()));
        json.key("triangles");
        json.integer(countItems(object.triangleGroups));
        json.key("lines");
        json.integer(countItems(object.lineGroups));
        json.key("triangleGroups");
        writeGroupMaterials(json, object.triangleGroups);
        json.key("lineGroups");
        writeGroupMaterials(json, object.lineGroups);
        json.endObject();
    }
    json.endArray();
}

void writeBone(JsonWriter& json, const Model& model, const Bone& bone, const NameText& utf8) {
    json.beginObject();
    json.key("name");
    json.string(utf8(bone.name));
    json.key("link");
    json.boolean(bone.isLink());
    json.key("parent");
    json.integer(bone.parent);
    json.key("children");
    json.integers(bone.children);
    json.key("head");
    json.integer(bone.headVertex);
    json.key("tip");
    json.integer(bone.tipVertex);
    json.key("side");
    json.integer(bone.sideVertex);
    json.key("rigidObjects");
    json.beginArray();
    for (int32_t object : bone.rigidObjects) {
        json.string(utf8(model.objects[object].name));
    }
    json.endArray();
    json.key("restHead");
    json.vec3(bone.restHead);
    json.key("restRotation");
    json.quaternion(bone.restRotation);
    json.key("localPosition");
    json.vec3(bone.localPosition);
    json.key("localRotation");
    json.quaternion(bone.localRotation);
    json.endObject();
}

void writeSkeleton(JsonWriter& json, const Model& model, const Skeleton* skeleton,
                   const NameText& utf8) {
    if (skeleton == nullptr) {
        json.null();
        return;
    }
    json.beginObject();
    json.key("records");
    json.beginArray();
    for (const Bone& bone : skeleton->bones) {
        writeBone(json, model, bone, utf8);
    }
    json.endArray();
    json.key("roots");
    json.integers(skeleton->rootBones);
    json.endObject();
}

void writeInfluences(JsonWriter& json, const ModelObject& object) {
    json.beginArray();
    for (const VertexInfluence& influence : object.vertexInfluences) {
        json.beginArray();
        const std::size_t count = std::min(influence.boneIndices.size(), influence.weights.size());
        for (std::size_t j = 0; j < count; ++j) {
            json.beginObject();
            json.key("bone");
            json.integer(influence.boneIndices[j]);
            json.key("weight");
            json.number(influence.weights[j]);
            json.endObject();
        }
        json.endArray();
    }
    json.endArray();
}

void writeSkinned(JsonWriter& json, const Model& model, const std::vector<SkinSummary>& skin,
                  const NameText& utf8) {
    json.beginArray();
    for (const SkinSummary& summary : skin) {
        const ModelObject& object = model.objects[summary.object];
        json.beginObject();
        json.key("object");
        json.string(utf8(object.name));
        json.key("pieces");
        json.beginArray();
        for (const PieceSummary& piece : summary.pieces) {
            json.beginObject();
            json.key("name");
            json.string(utf8(piece.name));
            json.key("bone");
            json.integer(piece.bone);
            json.endObject();
        }
        json.endArray();
        json.key("influences");
        writeInfluences(json, object);
        json.endObject();
    }
    json.endArray();
}

void writeMotion(JsonWriter& json, const Motion& motion, const NameText& utf8) {
    json.beginObject();
    json.key("name");
    json.string(utf8(motion.name));
    json.key("endFrame");
    json.integer(motion.endFrame);
    json.key("loop");
    json.integer(motion.loop);
    json.key("vectorTracks");
    json.beginArray();
    for (const VectorTrack& track : motion.vectorTracks) {
        json.beginObject();
        json.key("name");
        json.string(utf8(track.name));
        json.key("keys");
        json.integer(track.keyCount);
        json.endObject();
    }
    json.endArray();
    json.key("quaternionTracks");
    json.beginArray();
    for (const QuaternionTrack& track : motion.quaternionTracks) {
        json.beginObject();
        json.key("name");
        json.string(utf8(track.name));
        json.key("bone");
        json.integer(track.boneIndex);
        json.key("keys");
        json.integer(track.keyCount);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

void writeMotions(JsonWriter& json, const Skeleton* skeleton, const NameText& utf8) {
    json.beginArray();
    if (skeleton != nullptr) {
        for (const Motion& motion : skeleton->motions) {
            writeMotion(json, motion, utf8);
        }
    }
    json.endArray();
}

void writePose(JsonWriter& json, const PoseSnapshot& pose) {
    json.beginObject();
    json.key("motion");
    json.integer(pose.motion);
    json.key("phase");
    json.number(pose.phase);
    json.key("frame");
    json.integer(pose.frame);
    json.key("bones");
    json.beginArray();
    for (const WorldTransform& world : pose.bones) {
        json.beginObject();
        json.key("position");
        json.vec3(world.position);
        json.key("rotation");
        json.quaternion(world.rotation);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

}  // namespace

std::string jsonReport(const ReportInput& input) {
    std::string out;
    JsonWriter json(out);
    const Model& model = *input.model;
    const NameText utf8(model.nameEncoding);
    json.beginObject();
    json.key("materials");
    writeMaterials(json, model, utf8);
    json.key("textures");
    writeTextures(json, *input.textures, utf8);
    json.key("objects");
    writeObjects(json, model, utf8);
    json.key("skeleton");
    writeSkeleton(json, model, input.skeleton, utf8);
    json.key("skinned");
    writeSkinned(json, model, input.skin, utf8);
    json.key("motions");
    writeMotions(json, input.skeleton, utf8);
    json.key("problems");
    json.beginArray();
    for (const std::string& problem : input.problems) {
        json.string(problem);
    }
    json.endArray();
    if (input.pose != nullptr) {
        json.key("pose");
        writePose(json, *input.pose);
    }
    json.endObject();
    out += '\n';
    return out;
}

std::string jsonErrorReport(const LoadError& error) {
    std::string out;
    JsonWriter json(out);
    json.beginObject();
    json.key("error");
    json.beginObject();
    json.key("file");
    json.string(checkedUtf8(error.file));
    json.key("line");
    if (error.line > 0) {
        json.integer(error.line);
    } else {
        json.null();
    }
    if (!error.element.empty()) {
        json.key("element");
        json.string(checkedUtf8(error.element));
    }
    json.key("message");
    json.string(checkedUtf8(error.message));
    json.endObject();
    json.endObject();
    out += '\n';
    return out;
}

}  // namespace tavo::inspect
