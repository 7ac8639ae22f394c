#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "avatar/avatar.h"
#include "avatar/gltf_writer.h"

namespace tavo::chara::avatar {

namespace {

using Json = nlohmann::json;

// VRM 0.x avatars face -Z: everything turned half round about Y.
Vec3 placed(const Vec3& v, AvatarForm form) { return form == AvatarForm::Vrm0 ? Vec3(-v.x, v.y, -v.z) : v; }

std::vector<float> flatten(const std::vector<Vec3>& list, AvatarForm form) {
    std::vector<float> out;
    for (const Vec3& v : list) {
        const Vec3 p = placed(v, form);
        out.insert(out.end(), {p.x, p.y, p.z});
    }
    return out;
}

struct MaterialLook {
    const char* name;
    const char* alphaMode;
    bool doubleSided;
};

const MaterialLook kLooks[] = {
    {"Body", "OPAQUE", false}, {"Skirt", "MASK", true}, {"Face", "OPAQUE", false},
    {"Hair", "MASK", false},   {"Fringe", "BLEND", true},
};

int32_t pictureIndex(const AvatarModel& model, const char* name) {
    for (size_t i = 0; i < model.pictures.size(); ++i) {
        if (model.pictures[i].name == name) return static_cast<int32_t>(i);
    }
    return 0;
}

int32_t materialIndex(const std::string& name) {
    for (size_t i = 0; i < sizeof kLooks / sizeof kLooks[0]; ++i) {
        if (name == kLooks[i].name) return static_cast<int32_t>(i);
    }
    return 0;
}

void addNodes(GltfWriter& writer, const AvatarModel& model, AvatarForm form) {
    Json& nodes = writer.json()["nodes"] = Json::array();
    for (size_t j = 0; j < model.joints.size(); ++j) {
        const AvatarJoint& joint = model.joints[j];
        const Vec3 parent = joint.parent >= 0 ? model.joints[static_cast<size_t>(joint.parent)].position : Vec3();
        const Vec3 t = placed(joint.position - parent, form);
        nodes.push_back({{"name", joint.name}, {"translation", {t.x, t.y, t.z}}});
    }
    for (size_t j = 0; j < model.joints.size(); ++j) {
        const int32_t parent = model.joints[j].parent;
        if (parent >= 0) nodes[static_cast<size_t>(parent)]["children"].push_back(j);
    }
    // Inverse binds: each joint's rest position taken away.
    std::vector<float> binds;
    std::vector<int32_t> jointNodes;
    for (size_t j = 0; j < model.joints.size(); ++j) {
        const Vec3 p = placed(model.joints[j].position, form);
        binds.insert(binds.end(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -p.x, -p.y, -p.z, 1});
        jointNodes.push_back(static_cast<int32_t>(j));
    }
    writer.json()["skins"] = Json::array({{{"joints", jointNodes}, {"skeleton", 0},
                                           {"inverseBindMatrices", writer.addFloats(binds, "MAT4", false, 0)}}});
}

void addMeshes(GltfWriter& writer, const AvatarModel& model, AvatarForm form, std::vector<int32_t>& meshNodes) {
    Json& meshes = writer.json()["meshes"] = Json::array();
    Json& nodes = writer.json()["nodes"];
    for (const AvatarMesh& mesh : model.meshes) {
        Json attributes = {{"POSITION", writer.addFloats(flatten(mesh.positions, form), "VEC3", true)},
                           {"NORMAL", writer.addFloats(flatten(mesh.normals, form), "VEC3")},
                           {"TEXCOORD_0", writer.addFloats(mesh.uvs, "VEC2")},
                           {"JOINTS_0", writer.addJoints(mesh.joints)},
                           {"WEIGHTS_0", writer.addFloats(mesh.weights, "VEC4")}};
        Json primitive = {{"attributes", attributes}, {"indices", writer.addIndices(mesh.indices)},
                          {"material", materialIndex(mesh.material)}};
        Json entry = {{"name", mesh.name}, {"primitives", Json::array()}};
        if (!mesh.blink.empty()) {
            primitive["targets"] = Json::array({{{"POSITION", writer.addFloats(flatten(mesh.blink, form), "VEC3", true)}}});
            entry["weights"] = {0.0};
            entry["extras"] = {{"targetNames", {"blink"}}};
        }
        entry["primitives"].push_back(primitive);
        meshes.push_back(entry);
        meshNodes.push_back(static_cast<int32_t>(nodes.size()));
        nodes.push_back({{"name", mesh.name}, {"mesh", meshes.size() - 1}, {"skin", 0}});
    }
    Json scene = {{"nodes", {0}}};
    for (int32_t node : meshNodes) scene["nodes"].push_back(node);
    writer.json()["scenes"] = Json::array({scene});
    writer.json()["scene"] = 0;
}

// Pictures and materials: lit ones for plain glTF, MToon for the VRM forms.
void addMaterials(GltfWriter& writer, const AvatarModel& model, AvatarForm form, const std::string& bodyUri) {
    Json& textures = writer.json()["textures"] = Json::array();
    writer.json()["samplers"] = Json::array({{{"magFilter", 9729}, {"minFilter", 9729}, {"wrapS", 10497}, {"wrapT", 10497}}});
    for (const AvatarPicture& picture : model.pictures) {
        if (!bodyUri.empty() && picture.name == "Body") {
            writer.json()["images"].push_back({{"uri", bodyUri}, {"name", picture.name}});
        } else {
            writer.addImage(picture.bytes, picture.mimeType.c_str(), picture.name);
        }
        textures.push_back({{"source", textures.size()}, {"sampler", 0}});
    }
    Json& materials = writer.json()["materials"] = Json::array();
    for (const MaterialLook& look : kLooks) {
        const int32_t texture = pictureIndex(model, look.name);
        Json material = {{"name", look.name},
                         {"pbrMetallicRoughness", {{"baseColorTexture", {{"index", texture}}}, {"metallicFactor", 0.0}, {"roughnessFactor", 1.0}}},
                         {"alphaMode", look.alphaMode}, {"doubleSided", look.doubleSided}};
        if (std::string(look.alphaMode) == "MASK") material["alphaCutoff"] = 0.5;
        if (form == AvatarForm::Vrm1) material["extensions"] = {{"VRMC_materials_mtoon", {{"specVersion", "1.0"}}}};
        materials.push_back(material);
    }
}

Json vrm0Extension(const AvatarModel& model) {
    Json bones = Json::array();
    for (size_t j = 0; j < model.joints.size(); ++j) {
        if (!model.joints[j].humanBone.empty()) bones.push_back({{"bone", model.joints[j].humanBone}, {"node", j}, {"useDefaultValues", true}});
    }
    Json properties = Json::array();
    for (size_t m = 0; m < sizeof kLooks / sizeof kLooks[0]; ++m) {
        const std::string mode = kLooks[m].alphaMode;
        const int blend = mode == "OPAQUE" ? 0 : mode == "MASK" ? 1 : 2;
        properties.push_back({{"name", kLooks[m].name}, {"shader", "VRM/MToon"}, {"renderQueue", blend == 2 ? 3000 : blend == 1 ? 2450 : 2000},
                              {"floatProperties", {{"_Cutoff", 0.5}, {"_BlendMode", blend}, {"_CullMode", kLooks[m].doubleSided ? 0 : 2}}},
                              {"vectorProperties", {{"_Color", {1.0, 1.0, 1.0, 1.0}}}},
                              {"textureProperties", {{"_MainTex", pictureIndex(model, kLooks[m].name)}}}, {"keywordMap", Json::object()}, {"tagMap", Json::object()}});
    }
    Json springs = Json::array();
    for (const std::vector<int32_t>& chain : model.springChains) springs.push_back(chain.front());
    return {
        {"exporterVersion", "tavo-make-character"},
        {"specVersion", "0.0"},
        {"meta", {{"title", "Hinata"}, {"version", "1.0"}, {"author", "Tavo_3D"}, {"contactInformation", ""}, {"reference", ""},
                  {"allowedUserName", "Everyone"}, {"violentUssageName", "Disallow"}, {"sexualUssageName", "Disallow"},
                  {"commercialUssageName", "Allow"}, {"otherPermissionUrl", ""}, {"licenseName", "CC_BY"}, {"otherLicenseUrl", ""}}},
        {"humanoid", {{"humanBones", bones}}},
        {"firstPerson", {{"firstPersonBone", 4}, {"firstPersonBoneOffset", {{"x", 0}, {"y", 0.06}, {"z", 0}}}, {"lookAtTypeName", "BlendShape"}}},
        {"blendShapeMaster", {{"blendShapeGroups", Json::array({{{"name", "Blink"}, {"presetName", "blink"},
                                                                  {"binds", Json::array({{{"mesh", 2}, {"index", 0}, {"weight", 100}}})},
                                                                  {"materialValues", Json::array()}}})}}},
        {"secondaryAnimation", {{"boneGroups", Json::array({{{"comment", "twin tails"}, {"stiffiness", 1.0}, {"gravityPower", 0.2},
                                                              {"gravityDir", {{"x", 0}, {"y", -1}, {"z", 0}}}, {"dragForce", 0.4},
                                                              {"center", -1}, {"hitRadius", 0.02}, {"bones", springs},
                                                              {"colliderGroups", {0}}}})},
                                {"colliderGroups", Json::array({{{"node", 4}, {"colliders", Json::array({{{"offset", {{"x", 0}, {"y", 0.175}, {"z", 0}}}, {"radius", 0.16}}})}}})}}},
        {"materialProperties", properties},
    };
}

Json vrm1Extensions(const AvatarModel& model, const std::vector<int32_t>& meshNodes) {
    Json bones = Json::object();
    for (size_t j = 0; j < model.joints.size(); ++j) {
        if (!model.joints[j].humanBone.empty()) bones[model.joints[j].humanBone] = {{"node", j}};
    }
    Json vrm = {
        {"specVersion", "1.0"},
        {"meta", {{"name", "Hinata"}, {"version", "1.0"}, {"authors", {"Tavo_3D"}}, {"copyrightInformation", "Tavo_3D"},
                  {"licenseUrl", "https://vrm.dev/licenses/1.0/"}, {"avatarPermission", "everyone"},
                  {"allowExcessivelyViolentUsage", false}, {"allowExcessivelySexualUsage", false}, {"commercialUsage", "corporation"},
                  {"allowPoliticalOrReligiousUsage", false}, {"allowAntisocialOrHateUsage", false}, {"creditNotation", "required"},
                  {"allowRedistribution", true}, {"modification", "allowModificationRedistribution"}}},
        {"humanoid", {{"humanBones", bones}}},
        // Her eyes are painted on: she looks round with her head alone.
        {"lookAt", {{"type", "expression"}, {"offsetFromHeadBone", {0.0, 0.06, 0.0}}}},
        {"expressions", {{"preset", {{"blink", {{"morphTargetBinds", Json::array({{{"node", meshNodes[2]}, {"index", 0}, {"weight", 1.0}}})},
                                                {"isBinary", false}}}}}}},
    };
    Json joints = Json::array();
    Json springs = Json::array();
    for (const std::vector<int32_t>& chain : model.springChains) {
        Json list = Json::array();
        for (int32_t node : chain) {
            list.push_back({{"node", node}, {"hitRadius", 0.02}, {"stiffness", 1.0}, {"gravityPower", 0.2},
                            {"gravityDir", {0, -1, 0}}, {"dragForce", 0.4}});
        }
        springs.push_back({{"name", model.joints[static_cast<size_t>(chain.front())].name}, {"joints", list}, {"colliderGroups", {0}}});
    }
    Json spring = {{"specVersion", "1.0"},
                   {"colliders", Json::array({{{"node", 4}, {"shape", {{"sphere", {{"offset", {0, 0.175, 0}}, {"radius", 0.16}}}}}}})},
                   {"colliderGroups", Json::array({{{"name", "head"}, {"colliders", {0}}}})},
                   {"springs", springs}};
    return {{"VRMC_vrm", vrm}, {"VRMC_springBone", spring}};
}

void jpegError(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    std::fprintf(stderr, "tavo-make-character: libjpeg: %s\n", message);
    std::exit(1);  // our own fixed pictures: a failure is a broken build
}

}  // namespace

std::string encodeJpeg(int32_t width, int32_t height, const std::vector<uint8_t>& rgba, int quality) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    errors.error_exit = jpegError;
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        const uint8_t* source = &rgba[static_cast<size_t>(info.next_scanline) * static_cast<size_t>(width) * 4];
        for (int32_t x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) row[static_cast<size_t>(x) * 3 + static_cast<size_t>(c)] = source[x * 4 + c];
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}

std::vector<std::pair<std::string, std::string>> writeAvatar(const AvatarModel& model, AvatarForm form,
                                                             const std::string& baseName) {
    GltfWriter writer;
    addNodes(writer, model, form);
    std::vector<int32_t> meshNodes;
    addMeshes(writer, model, form, meshNodes);
    const std::string bodyUri = form == AvatarForm::Gltf ? baseName + "_body.jpg" : std::string();
    addMaterials(writer, model, form, bodyUri);
    Json& json = writer.json();
    if (form == AvatarForm::Vrm0) {
        json["extensionsUsed"] = {"VRM"};
        json["extensions"] = {{"VRM", vrm0Extension(model)}};
    } else if (form == AvatarForm::Vrm1) {
        json["extensionsUsed"] = {"VRMC_vrm", "VRMC_springBone", "VRMC_materials_mtoon"};
        json["extensions"] = vrm1Extensions(model, meshNodes);
    }
    if (form != AvatarForm::Gltf) return {{baseName + ".vrm", writer.glb()}};
    std::string body;
    for (const AvatarPicture& picture : model.pictures) {
        if (picture.name == "Body") body = picture.bytes;
    }
    return {{baseName + ".gltf", writer.gltfJson(baseName + ".bin")}, {baseName + ".bin", writer.buffer()}, {bodyUri, body}};
}

}  // namespace tavo::chara::avatar
