#include "formats/gltf/vrm_parts.h"

#include <algorithm>

#include "formats/gltf/json_lookup.h"

namespace tavo {

namespace {

using Json = nlohmann::json;

const Json& extension(const Json& document, const char* name) { return jsonMember(jsonMember(document, "extensions"), name); }

float number(const Json& value, float otherwise) { return value.is_number() ? value.get<float>() : otherwise; }

int32_t indexWithin(const Json& value, size_t count) {
    if (!value.is_number_integer()) return -1;
    const int64_t index = value.get<int64_t>();
    return index >= 0 && static_cast<uint64_t>(index) < count ? static_cast<int32_t>(index) : -1;
}

// {"x":, "y":, "z":} (0.x) or [x, y, z] (1.0).
Vec3 vectorOf(const Json& value, const Vec3& otherwise) {
    if (value.is_array() && value.size() == 3) {
        return {number(value[0], otherwise.x), number(value[1], otherwise.y), number(value[2], otherwise.z)};
    }
    if (value.is_object()) {
        return {number(jsonMember(value, "x"), otherwise.x), number(jsonMember(value, "y"), otherwise.y),
                number(jsonMember(value, "z"), otherwise.z)};
    }
    return otherwise;
}

class PartsReader {
public:
    PartsReader(const Json& document, const VrmAvatar& avatar, const GltfNodeMap& nodes, float scale, CharacterData& data,
                std::vector<std::string>& problems)
        : document_(document), avatar_(avatar), nodes_(nodes), scale_(scale), data_(data), problems_(problems),
          vrm0_(avatar.flavour == GltfFlavour::Vrm0) {}

    void read() {
        data_.springs.metre = scale_;
        readHumanoid();
        if (vrm0_) {
            const Json& vrm = extension(document_, "VRM");
            readVrm0Expressions(jsonMember(jsonMember(vrm, "blendShapeMaster"), "blendShapeGroups"));
            readVrm0LookAt(jsonMember(vrm, "firstPerson"));
            readVrm0Springs(jsonMember(vrm, "secondaryAnimation"));
        } else {
            const Json& vrm = extension(document_, "VRMC_vrm");
            readVrm1Expressions(jsonMember(vrm, "expressions"));
            readVrm1LookAt(jsonMember(vrm, "lookAt"));
            readVrm1Springs(extension(document_, "VRMC_springBone"));
        }
    }

private:
    void readHumanoid() {
        for (const HumanBone& bone : avatar_.humanBones) {
            const int32_t index = humanBoneNamed(bone.bone, vrm0_);
            if (index < 0) {
                problems_.push_back("humanoid: \"" + bone.bone + "\" is no humanoid bone");
                continue;
            }
            data_.humanoid.joints[static_cast<size_t>(index)] = bone.node;
        }
    }

    // A VRM 0.x direction into the avatar's turned model space.
    Vec3 turned(const Vec3& v) const { return vrm0_ ? Vec3(-v.x, v.y, -v.z) : v; }

    // --- Expressions -----------------------------------------------------------

    // The morph target index of every object made of the node's mesh.
    void bindNode(int32_t node, const Json& index, float weight, const std::string& element, Expression& expression) {
        bool bound = false;
        for (int32_t object : nodes_.nodeObjects[static_cast<size_t>(node)]) {
            const size_t targets = data_.model.objects[static_cast<size_t>(object)].morphTargets.size();
            const int32_t target = indexWithin(index, targets);
            if (target < 0) continue;
            expression.binds.push_back({object, target, std::clamp(weight, 0.0f, 1.0f)});
            bound = true;
        }
        if (!bound) problems_.push_back(element + ": names a morph target that does not exist");
    }

    void addExpression(Expression expression) {
        if (findExpression(data_.expressions, expression.name) >= 0) return;  // the first of a name counts
        data_.expressions.push_back(std::move(expression));
    }

    static std::string vrm1Name(const std::string& preset) {
        static const char* const kNames[][2] = {
            {"a", "aa"},          {"i", "ih"},           {"u", "ou"},
            {"e", "ee"},          {"o", "oh"},           {"joy", "happy"},
            {"sorrow", "sad"},    {"fun", "relaxed"},    {"lookup", "lookUp"},
            {"lookdown", "lookDown"}, {"lookleft", "lookLeft"}, {"lookright", "lookRight"},
            {"blink_l", "blinkLeft"}, {"blink_r", "blinkRight"},
        };
        for (const auto& entry : kNames) {
            if (preset == entry[0]) return entry[1];
        }
        return preset;
    }

    void readVrm0Expressions(const Json& groups) {
        if (!groups.is_array()) return;
        for (size_t g = 0; g < groups.size(); ++g) {
            const Json& group = groups[g];
            const std::string element = "extensions.VRM.blendShapeMaster.blendShapeGroups[" + std::to_string(g) + "]";
            Expression expression;
            const Json& preset = jsonMember(group, "presetName");
            const Json& name = jsonMember(group, "name");
            if (preset.is_string() && preset.get<std::string>() != "unknown" && !preset.get<std::string>().empty()) {
                expression.name = vrm1Name(preset.get<std::string>());
            } else if (name.is_string()) {
                expression.name = name.get<std::string>();
            } else {
                continue;
            }
            expression.binary = jsonMember(group, "isBinary").is_boolean() && jsonMember(group, "isBinary").get<bool>();
            const Json& binds = jsonMember(group, "binds");
            for (size_t b = 0; binds.is_array() && b < binds.size(); ++b) {
                const std::string place = element + ".binds[" + std::to_string(b) + "]";
                const int32_t mesh = jsonMember(binds[b], "mesh").is_number_integer() ? jsonMember(binds[b], "mesh").get<int32_t>() : -1;
                bool found = false;
                for (size_t n = 0; n < nodes_.nodeMesh.size(); ++n) {
                    if (mesh < 0 || nodes_.nodeMesh[n] != mesh) continue;
                    found = true;
                    bindNode(static_cast<int32_t>(n), jsonMember(binds[b], "index"), number(jsonMember(binds[b], "weight"), 100.0f) / 100.0f,
                             place, expression);
                }
                if (!found) problems_.push_back(place + ": names a mesh no node shows");
            }
            addExpression(std::move(expression));
        }
    }

    void readVrm1Expression(const std::string& name, const Json& entry, const std::string& element) {
        if (!entry.is_object()) return;
        Expression expression;
        expression.name = name;
        expression.binary = jsonMember(entry, "isBinary").is_boolean() && jsonMember(entry, "isBinary").get<bool>();
        const Json& binds = jsonMember(entry, "morphTargetBinds");
        for (size_t b = 0; binds.is_array() && b < binds.size(); ++b) {
            const std::string place = element + ".morphTargetBinds[" + std::to_string(b) + "]";
            const int32_t node = indexWithin(jsonMember(binds[b], "node"), nodes_.nodeObjects.size());
            if (node < 0) {
                problems_.push_back(place + ": names a node that does not exist");
                continue;
            }
            bindNode(node, jsonMember(binds[b], "index"), number(jsonMember(binds[b], "weight"), 1.0f), place, expression);
        }
        addExpression(std::move(expression));
    }

    void readVrm1Expressions(const Json& expressions) {
        for (const char* kind : {"preset", "custom"}) {
            const Json& list = jsonMember(expressions, kind);
            if (!list.is_object()) continue;
            for (auto it = list.begin(); it != list.end(); ++it) {
                readVrm1Expression(it.key(), it.value(), "extensions.VRMC_vrm.expressions." + std::string(kind) + "." + it.key());
            }
        }
    }

    // --- Look-at ---------------------------------------------------------------

    // How a version names its look-at settings.
    struct LookAtNames {
        const char* type;
        const char* bones;        // the type's value for eye bones
        const char* expressions;  // and for expressions
        const char* offset;
        const char* ranges[4];    // horizontal inner, outer, vertical down, up
        const char* input;
        const char* output;
    };

    static LookAtRange range(const Json& value, const LookAtNames& names, float defaultOutput) {
        LookAtRange r;
        r.inputMaxDegrees = std::clamp(number(jsonMember(value, names.input), 90.0f), 1.0f, 180.0f);
        r.outputScale = std::max(0.0f, number(jsonMember(value, names.output), defaultOutput));
        return r;
    }

    // offset is where the eyes are, in the file's axes, from the head (from
    // VRM 0.x's first-person bone, nearly always the head).
    void readLookAt(const Json& owner, const LookAtNames& names) {
        const Json& type = jsonMember(owner, names.type);
        if (!type.is_string()) return;
        LookAt& look = data_.lookAt;
        const std::string kind = type.get<std::string>();
        look.kind = kind == names.bones ? LookAt::Kind::Bones : kind == names.expressions ? LookAt::Kind::Expressions : LookAt::Kind::None;
        look.offset = turned(vectorOf(jsonMember(owner, names.offset), Vec3(0.0f, 0.06f, 0.0f))) * scale_;
        const float output = look.kind == LookAt::Kind::Bones ? 10.0f : 1.0f;  // degrees, or a weight
        LookAtRange* ranges[4] = {&look.horizontalInner, &look.horizontalOuter, &look.verticalDown, &look.verticalUp};
        for (size_t r = 0; r < 4; ++r) *ranges[r] = range(jsonMember(owner, names.ranges[r]), names, output);
    }

    void readVrm0LookAt(const Json& firstPerson) {
        static const LookAtNames kNames = {"lookAtTypeName", "Bone", "BlendShape", "firstPersonBoneOffset",
                                           {"lookAtHorizontalInner", "lookAtHorizontalOuter", "lookAtVerticalDown", "lookAtVerticalUp"},
                                           "xRange", "yRange"};
        readLookAt(firstPerson, kNames);
    }

    void readVrm1LookAt(const Json& lookAt) {
        static const LookAtNames kNames = {"type", "bone", "expression", "offsetFromHeadBone",
                                           {"rangeMapHorizontalInner", "rangeMapHorizontalOuter", "rangeMapVerticalDown", "rangeMapVerticalUp"},
                                           "inputMaxValue", "outputScale"};
        readLookAt(lookAt, kNames);
    }

    // --- Spring bones ------------------------------------------------------------

    int32_t node(const Json& value) const { return indexWithin(value, nodes_.nodeObjects.size()); }

    void readVrm0Springs(const Json& secondary) {
        SpringBones& springs = data_.springs;
        const Json& groups = jsonMember(secondary, "colliderGroups");
        std::vector<std::vector<int32_t>> groupColliders;
        for (size_t g = 0; groups.is_array() && g < groups.size(); ++g) {
            groupColliders.emplace_back();
            const int32_t joint = node(jsonMember(groups[g], "node"));
            const Json& colliders = jsonMember(groups[g], "colliders");
            if (joint < 0) {
                problems_.push_back("extensions.VRM.secondaryAnimation.colliderGroups[" + std::to_string(g) + "]: names a node that does not exist");
                continue;
            }
            for (size_t c = 0; colliders.is_array() && c < colliders.size(); ++c) {
                SpringCollider collider;
                collider.joint = joint;
                // VRM 0.x writes the offset's z the other way round.
                const Vec3 offset = vectorOf(jsonMember(colliders[c], "offset"), Vec3());
                collider.offset = Vec3(offset.x, offset.y, -offset.z) * scale_;
                collider.radius = std::max(0.0f, number(jsonMember(colliders[c], "radius"), 0.0f)) * scale_;
                groupColliders.back().push_back(static_cast<int32_t>(springs.colliders.size()));
                springs.colliders.push_back(collider);
            }
        }
        const Json& boneGroups = jsonMember(secondary, "boneGroups");
        for (size_t g = 0; boneGroups.is_array() && g < boneGroups.size(); ++g) {
            const Json& group = boneGroups[g];
            SpringJoint settings;
            settings.stiffness = number(jsonMember(group, "stiffiness"), 1.0f);
            settings.gravityPower = number(jsonMember(group, "gravityPower"), 0.0f);
            settings.gravityDir = turned(vectorOf(jsonMember(group, "gravityDir"), Vec3(0.0f, -1.0f, 0.0f)));
            settings.dragForce = std::clamp(number(jsonMember(group, "dragForce"), 0.4f), 0.0f, 1.0f);
            settings.hitRadius = std::max(0.0f, number(jsonMember(group, "hitRadius"), 0.02f)) * scale_;
            std::vector<int32_t> colliders;
            const Json& used = jsonMember(group, "colliderGroups");
            for (size_t u = 0; used.is_array() && u < used.size(); ++u) {
                const int32_t index = indexWithin(used[u], groupColliders.size());
                if (index >= 0) colliders.insert(colliders.end(), groupColliders[static_cast<size_t>(index)].begin(), groupColliders[static_cast<size_t>(index)].end());
            }
            const int32_t center = node(jsonMember(group, "center"));
            const Json& bones = jsonMember(group, "bones");
            for (size_t b = 0; bones.is_array() && b < bones.size(); ++b) {
                const int32_t root = node(bones[b]);
                if (root < 0) {
                    problems_.push_back("extensions.VRM.secondaryAnimation.boneGroups[" + std::to_string(g) + "].bones: names a node that does not exist");
                    continue;
                }
                addVrm0Chains(root, settings, colliders, center);
            }
        }
    }

    // A 0.x bone swings with everything below it: one chain down the first
    // children, and one more from each other child.
    void addVrm0Chains(int32_t root, const SpringJoint& settings, const std::vector<int32_t>& colliders, int32_t center) {
        std::vector<int32_t> starts{root};
        size_t guard = 0;
        while (!starts.empty() && guard++ < data_.rig.joints.size()) {
            SpringChain chain;
            chain.colliders = colliders;
            chain.center = center;
            chain.name = data_.rig.joints[static_cast<size_t>(starts.back())].name;
            int32_t joint = starts.back();
            starts.pop_back();
            while (joint >= 0 && chain.joints.size() < data_.rig.joints.size()) {
                SpringJoint entry = settings;
                entry.joint = joint;
                chain.joints.push_back(entry);
                const std::vector<int32_t>& children = data_.rig.joints[static_cast<size_t>(joint)].children;
                for (size_t c = 1; c < children.size(); ++c) starts.push_back(children[c]);
                joint = children.empty() ? -1 : children[0];
            }
            data_.springs.chains.push_back(std::move(chain));
        }
    }

    void readVrm1Springs(const Json& spring) {
        if (!spring.is_object()) return;
        SpringBones& springs = data_.springs;
        const Json& colliders = jsonMember(spring, "colliders");
        std::vector<int32_t> colliderIndex;
        for (size_t c = 0; colliders.is_array() && c < colliders.size(); ++c) {
            colliderIndex.push_back(-1);
            const int32_t joint = node(jsonMember(colliders[c], "node"));
            const Json& shape = jsonMember(colliders[c], "shape");
            const Json& sphere = jsonMember(shape, "sphere");
            const Json& capsule = jsonMember(shape, "capsule");
            if (joint < 0 || (!sphere.is_object() && !capsule.is_object())) {
                problems_.push_back("extensions.VRMC_springBone.colliders[" + std::to_string(c) + "]: no node or no shape");
                continue;
            }
            const Json& form = sphere.is_object() ? sphere : capsule;
            SpringCollider collider;
            collider.joint = joint;
            collider.capsule = !sphere.is_object();
            collider.offset = vectorOf(jsonMember(form, "offset"), Vec3()) * scale_;
            collider.tail = vectorOf(jsonMember(form, "tail"), Vec3()) * scale_;
            collider.radius = std::max(0.0f, number(jsonMember(form, "radius"), 0.0f)) * scale_;
            colliderIndex.back() = static_cast<int32_t>(springs.colliders.size());
            springs.colliders.push_back(collider);
        }
        const Json& groups = jsonMember(spring, "colliderGroups");
        std::vector<std::vector<int32_t>> groupColliders;
        for (size_t g = 0; groups.is_array() && g < groups.size(); ++g) {
            groupColliders.emplace_back();
            const Json& list = jsonMember(groups[g], "colliders");
            for (size_t i = 0; list.is_array() && i < list.size(); ++i) {
                const int32_t index = indexWithin(list[i], colliderIndex.size());
                if (index >= 0 && colliderIndex[static_cast<size_t>(index)] >= 0) groupColliders.back().push_back(colliderIndex[static_cast<size_t>(index)]);
            }
        }
        const Json& chains = jsonMember(spring, "springs");
        for (size_t s = 0; chains.is_array() && s < chains.size(); ++s) {
            SpringChain chain;
            const Json& name = jsonMember(chains[s], "name");
            chain.name = name.is_string() ? name.get<std::string>() : "springs[" + std::to_string(s) + "]";
            chain.center = node(jsonMember(chains[s], "center"));
            const Json& used = jsonMember(chains[s], "colliderGroups");
            for (size_t u = 0; used.is_array() && u < used.size(); ++u) {
                const int32_t index = indexWithin(used[u], groupColliders.size());
                if (index >= 0) chain.colliders.insert(chain.colliders.end(), groupColliders[static_cast<size_t>(index)].begin(), groupColliders[static_cast<size_t>(index)].end());
            }
            const Json& joints = jsonMember(chains[s], "joints");
            for (size_t j = 0; joints.is_array() && j < joints.size(); ++j) {
                SpringJoint joint;
                joint.joint = node(jsonMember(joints[j], "node"));
                if (joint.joint < 0) {
                    problems_.push_back("extensions.VRMC_springBone.springs[" + std::to_string(s) + "].joints[" + std::to_string(j) + "]: names a node that does not exist");
                    break;
                }
                joint.hitRadius = std::max(0.0f, number(jsonMember(joints[j], "hitRadius"), 0.0f)) * scale_;
                joint.stiffness = std::max(0.0f, number(jsonMember(joints[j], "stiffness"), 1.0f));
                joint.gravityPower = std::max(0.0f, number(jsonMember(joints[j], "gravityPower"), 0.0f));
                joint.gravityDir = vectorOf(jsonMember(joints[j], "gravityDir"), Vec3(0.0f, -1.0f, 0.0f));
                joint.dragForce = std::clamp(number(jsonMember(joints[j], "dragForce"), 0.5f), 0.0f, 1.0f);
                chain.joints.push_back(joint);
            }
            if (!chain.joints.empty()) springs.chains.push_back(std::move(chain));
        }
    }

    const Json& document_;
    const VrmAvatar& avatar_;
    const GltfNodeMap& nodes_;
    float scale_;
    CharacterData& data_;
    std::vector<std::string>& problems_;
    bool vrm0_;
};

}  // namespace

void readVrmParts(const Json& document, const VrmAvatar& avatar, const GltfNodeMap& nodes, float scale, CharacterData& data,
                  std::vector<std::string>& problems) {
    if (avatar.flavour == GltfFlavour::Gltf) return;
    PartsReader(document, avatar, nodes, scale, data, problems).read();
}

}  // namespace tavo
