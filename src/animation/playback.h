#pragma once

#include <cstdint>

#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo {

struct Character;
class Model;
class ModelObject;
struct Skeleton;
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

void skinCharacter(Model& model, const Skeleton& skeleton);
void skinObject(Model& model, int32_t objectIndex, ModelObject& posed);
// Blends with the rest pose and world transforms that the last skinCharacter
// stored; influences on bones outside them are skipped.
Vec3 skinVertex(const Vec3& v, const VertexInfluence& influence);

}  // namespace tavo
