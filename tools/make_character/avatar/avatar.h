#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "math/vec3.h"

// Hinata: a small humanoid avatar in a hooded dress, with twin tails, a
// feathered fringe and a scalloped skirt hem, written as a VRM 0.x, a
// VRM 1.0 or a plain glTF file by tavo-make-character --avatar.
namespace tavo::chara::avatar {

// One joint of the humanoid rig, in the rest pose: every rotation is the
// identity, so the world axes are every bone's axes (the normalised rest
// pose of VRM).
struct AvatarJoint {
    std::string name;
    std::string humanBone;  // empty for joints outside the humanoid (hair)
    int32_t parent = -1;
    Vec3 position;  // in metres, the avatar facing +Z
};

// A skinned mesh of one material: vertices with their UVs, normals and up to
// four joint influences, triangles wound counter-clockwise from outside.
struct AvatarMesh {
    std::string name;
    std::string material;
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<float> uvs;  // u, v a vertex; v = 0 is the top of the picture
    std::vector<uint16_t> joints;  // 4 a vertex
    std::vector<float> weights;    // 4 a vertex, adding up to 1
    std::vector<uint32_t> indices;
    // Offsets of the blink morph target (empty for none).
    std::vector<Vec3> blink;
};

struct AvatarPicture {
    std::string name;      // the material that uses it
    std::string mimeType;  // image/png or image/jpeg
    std::string bytes;
};

struct AvatarModel {
    std::vector<AvatarJoint> joints;
    std::vector<AvatarMesh> meshes;
    std::vector<AvatarPicture> pictures;
    // The joints of each hair chain that swings (for spring bones), root first.
    std::vector<std::vector<int32_t>> springChains;
};

AvatarModel buildAvatar();

enum class AvatarForm { Vrm0, Vrm1, Gltf };

// The files of one form, name and bytes: one .vrm for the VRM forms; for
// glTF a .gltf, its .bin and a JPEG picture beside it.
std::vector<std::pair<std::string, std::string>> writeAvatar(const AvatarModel& model, AvatarForm form,
                                                             const std::string& baseName);

// The humanoid motions the program ships, as VRM Animation (.vrma) files on
// the avatar's humanoid bones in the normalised rest pose.
enum class HumanoidMotionKind { Walk, Idle };
std::string writeHumanoidMotion(const AvatarModel& model, HumanoidMotionKind kind);

// Encoders for the pictures (JPEG through libjpeg, PNG our own).
std::string encodeJpeg(int32_t width, int32_t height, const std::vector<uint8_t>& rgba, int quality);

}  // namespace tavo::chara::avatar
