#include "character/humanoid.h"

namespace tavo {

namespace {

struct BoneEntry {
    const char* name;
    int32_t parent;
};

// Index, name, parent: the order keeps every parent first.
const BoneEntry kBones[kHumanBoneCount] = {
    {"hips", -1},             // 0
    {"spine", 0},             // 1
    {"chest", 1},             // 2
    {"upperChest", 2},        // 3
    {"neck", 3},              // 4
    {"head", 4},              // 5
    {"leftEye", 5},           // 6
    {"rightEye", 5},          // 7
    {"jaw", 5},               // 8
    {"leftUpperLeg", 0},      // 9
    {"leftLowerLeg", 9},      // 10
    {"leftFoot", 10},         // 11
    {"leftToes", 11},         // 12
    {"rightUpperLeg", 0},     // 13
    {"rightLowerLeg", 13},    // 14
    {"rightFoot", 14},        // 15
    {"rightToes", 15},        // 16
    {"leftShoulder", 3},      // 17
    {"leftUpperArm", 17},     // 18
    {"leftLowerArm", 18},     // 19
    {"leftHand", 19},         // 20
    {"rightShoulder", 3},     // 21
    {"rightUpperArm", 21},    // 22
    {"rightLowerArm", 22},    // 23
    {"rightHand", 23},        // 24
    {"leftThumbMetacarpal", 20},      // 25
    {"leftThumbProximal", 25},        // 26
    {"leftThumbDistal", 26},          // 27
    {"leftIndexProximal", 20},        // 28
    {"leftIndexIntermediate", 28},    // 29
    {"leftIndexDistal", 29},          // 30
    {"leftMiddleProximal", 20},       // 31
    {"leftMiddleIntermediate", 31},   // 32
    {"leftMiddleDistal", 32},         // 33
    {"leftRingProximal", 20},         // 34
    {"leftRingIntermediate", 34},     // 35
    {"leftRingDistal", 35},           // 36
    {"leftLittleProximal", 20},       // 37
    {"leftLittleIntermediate", 37},   // 38
    {"leftLittleDistal", 38},         // 39
    {"rightThumbMetacarpal", 24},     // 40
    {"rightThumbProximal", 40},       // 41
    {"rightThumbDistal", 41},         // 42
    {"rightIndexProximal", 24},       // 43
    {"rightIndexIntermediate", 43},   // 44
    {"rightIndexDistal", 44},         // 45
    {"rightMiddleProximal", 24},      // 46
    {"rightMiddleIntermediate", 46},  // 47
    {"rightMiddleDistal", 47},        // 48
    {"rightRingProximal", 24},        // 49
    {"rightRingIntermediate", 49},    // 50
    {"rightRingDistal", 50},          // 51
    {"rightLittleProximal", 24},      // 52
    {"rightLittleIntermediate", 52},  // 53
    {"rightLittleDistal", 53},        // 54
};

}  // namespace

const char* humanBoneName(int32_t bone) { return bone >= 0 && bone < kHumanBoneCount ? kBones[bone].name : ""; }

int32_t humanBoneParent(int32_t bone) { return bone >= 0 && bone < kHumanBoneCount ? kBones[bone].parent : -1; }

int32_t humanBoneNamed(const std::string& name, bool vrm0Names) {
    std::string wanted = name;
    if (vrm0Names) {
        // VRM 0.x counts the thumb's bones from the proximal one: its
        // proximal, intermediate and distal are 1.0's metacarpal, proximal
        // and distal.
        for (const std::string side : {"left", "right"}) {
            if (name == side + "ThumbProximal") wanted = side + "ThumbMetacarpal";
            if (name == side + "ThumbIntermediate") wanted = side + "ThumbProximal";
        }
    }
    for (int32_t b = 0; b < kHumanBoneCount; ++b) {
        if (wanted == kBones[b].name) return b;
    }
    return -1;
}

int32_t Humanoid::presentAncestor(int32_t bone) const {
    for (int32_t b = bone; b >= 0; b = humanBoneParent(b)) {
        if (joint(b) >= 0) return b;
    }
    return -1;
}

}  // namespace tavo
