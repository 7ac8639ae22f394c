#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "character_model.h"

namespace tavo::chara {

// A plain-coloured material (white diffuse and the common light terms).
MaterialDesign colourMaterial(const char* name, float r, float g, float b);

// Collects a character's parts while they are built and hands them to the
// model in the order they were made.
class PartBuilder {
public:
    // texturedMaterial names the material whose faces carry texture points.
    PartBuilder(CharacterModel& model, const char* texturedMaterial)
        : model_(model), texturedMaterial_(texturedMaterial) {}

    TubeStyle textured(const UvRect& area, int32_t segments, float phase = 0.0f) const;
    TubeStyle plain(const char* material, int32_t segments) const;

    // A new, empty part; the reference stays valid while more parts are added.
    Mesh& part(const std::string& name);
    void add(Mesh mesh);
    int32_t material(const char* name) const { return model_.materialIndex(name); }
    void finish();

private:
    CharacterModel& model_;
    std::string texturedMaterial_;
    std::deque<Mesh> parts_;
};

// One swept, smoothly bending part ("sdef:" + name): a path through the
// joints, its width and thickness along it, and its texture area.
struct SkinnedPart {
    const char* name;
    std::vector<Vec3> controls;
    float (*width)(float);
    float (*thickness)(float);
    Vec3 reference;
    UvRect area;
    int32_t segments;
    float capStart;
    float capEnd;
};

void addSkinnedPart(PartBuilder& builder, const SkinnedPart& part);

// The rig's joints as a path, the first pulled back by startBack and the last
// pushed on by endAhead along the path.
std::vector<Vec3> jointPath(const Rig& rig, std::initializer_list<int32_t> joints, float startBack,
                            float endAhead);

// A hidden box round one bone, grown past both ends so that neighbouring
// boxes overlap at the joint; its material names the bone.
void addAnchorBox(Mesh& mesh, const Vec3& head, const Vec3& tip, const Vec3& reference,
                  float backward, float forward, float halfX, float halfY, int32_t material);

}  // namespace tavo::chara
