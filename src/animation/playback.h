#pragma once

#include <cstdint>

#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo {

struct Character;
class Model;
class ModelObject;
struct Skeleton;
struct SkinningPose;
struct VertexInfluence;

// Poses the character for one frame: samples the motion at the phase into
// the bones, evaluates the bone tree and re-poses the skinned objects.
// Does nothing without a character, a skeleton or a valid motion index.
void animateCharacter(Character* character, int32_t motionIndex, float phase);

void applyMotion(Skeleton& skeleton, int32_t motionIndex, float phase);
// Frame that a phase designates: phase clamped to [0, 1] times the end frame.
int32_t phaseToFrame(float phase, int32_t endFrame);

struct WorldTransform {
    Vec3 position;
    Quaternion rotation;
};
WorldTransform computeWorldTransform(const Skeleton& skeleton, int32_t boneIndex);

// Stores the world transforms in skeleton.pose, then re-poses every skinned
// object. The faces and groups are copied into a posed object only once.
void skinCharacter(Model& model, Skeleton& skeleton);
void skinObject(Model& model, const SkinningPose& pose, int32_t objectIndex, ModelObject& posed);
// Blends with the rest pose and world transforms of a pose that
// skinCharacter stored; influences on bones outside them are skipped.
Vec3 skinVertex(const SkinningPose& pose, const Vec3& v, const VertexInfluence& influence);

}  // namespace tavo
