#include "formats/metasequoia/metasequoia_format.h"

#include <cstring>

#include "skeleton/character_files.h"
#include "skeleton/skeleton.h"

namespace tavo {
namespace {

constexpr char kSignature[] = "Metasequoia Document";

Joint jointOf(const Bone& bone) {
    Joint joint;
    joint.name = bone.name;
    joint.parent = bone.parent;
    joint.children = bone.children;
    joint.rest.translation = bone.localPosition;
    joint.rest.rotation = bone.localRotation;
    // The skin is bound in the bone's rest frame: its head, its rest rotation.
    joint.inverseBind.rigid = true;
    joint.inverseBind.origin = bone.restHead;
    joint.inverseBind.rotation = bone.restRotation.inverse();
    joint.inverseBind.matrix =
        multiply(joint.inverseBind.rotation.toMatrix4(),
                 composeTransform(bone.restHead.scale(-1.0f), Quaternion(), Vec3(1.0f, 1.0f, 1.0f)));
    joint.rigidObjects = bone.rigidObjects;
    joint.carriesMeshes = !bone.isLink();
    return joint;
}

}  // namespace

Rig rigOf(const Skeleton& skeleton) {
    Rig rig;
    rig.joints.reserve(skeleton.bones.size());
    for (const Bone& bone : skeleton.bones) {
        rig.joints.push_back(jointOf(bone));
    }
    rig.roots = skeleton.rootBones;
    rig.rigid = true;
    return rig;
}

Clip clipOf(const Motion& motion, const Skeleton& skeleton) {
    Clip clip;
    clip.name = motion.name;
    clip.frameBased = true;
    clip.endFrame = motion.endFrame;
    clip.loop = motion.loop;
    clip.duration = static_cast<float>(motion.endFrame) / 60.0f;
    for (const QuaternionTrack& track : motion.quaternionTracks) {
        if (track.boneIndex < 0 || track.boneIndex >= skeleton.boneCount()) {
            continue;
        }
        Channel channel;
        channel.target = ChannelTarget::Rotation;
        channel.interpolation = Interpolation::KeyframeSpline;
        channel.joint = track.boneIndex;
        channel.rotationKeys = track;
        clip.channels.push_back(std::move(channel));
    }
    if (!motion.vectorTracks.empty()) {
        for (int32_t root : skeleton.rootBones) {
            Channel channel;
            channel.target = ChannelTarget::Translation;
            channel.interpolation = Interpolation::KeyframeSpline;
            channel.joint = root;
            channel.positionKeys = motion.vectorTracks.front();
            clip.channels.push_back(std::move(channel));
        }
    }
    return clip;
}

namespace {

void addRigAndClips(const Character& document, CharacterData& data) {
    if (!document.skeleton) {
        return;
    }
    data.rig = rigOf(*document.skeleton);
    for (const Motion& motion : document.skeleton->motions) {
        data.clips.push_back(clipOf(motion, *document.skeleton));
    }
}

bool refuse(LoadError& error, LoadError reason, const char* otherwise) {
    error = std::move(reason);
    if (error.message.empty()) {
        error.message = otherwise;
    }
    return false;
}

}  // namespace

const std::vector<std::string>& MetasequoiaFormat::modelExtensions() const {
    static const std::vector<std::string> extensions = {".mqo"};
    return extensions;
}

const std::vector<std::string>& MetasequoiaFormat::motionExtensions() const {
    static const std::vector<std::string> extensions = {".mkm"};
    return extensions;
}

bool MetasequoiaFormat::recognizes(const uint8_t* head, size_t count) const {
    const size_t length = sizeof kSignature - 1;
    return count >= length && std::memcmp(head, kSignature, length) == 0;
}

bool MetasequoiaFormat::read(const CharacterSource& source, TextureManager& textures,
                             CharacterData& data, LoadError& error, LoadWarnings* warnings) const {
    std::unique_ptr<Character> document;
    if (!loadCharacterFiles(source.modelPath, source.motionPath, textures, source.scale, document,
                            error, warnings)) {
        return false;
    }
    data = characterDataOf(std::move(*document));
    return true;
}

bool MetasequoiaFormat::readStreams(ByteStream& model, ByteStream* motions, TextureManager& textures,
                                    CharacterData& data, LoadError& error,
                                    LoadWarnings* warnings) const {
    std::unique_ptr<Character> document;
    LoadError reason;
    if (!buildCharacter(document, &model, textures, 1.0f, &reason, warnings)) {
        return refuse(error, reason, "not a Metasequoia text document");
    }
    if (motions != nullptr) {
        const bool loaded = loadCharacterMotions(document.get(), motions, &reason, warnings);
        if (!loaded) {
            return refuse(error, reason, "not a Mikoto motion text");
        }
        if (!reason.empty() && warnings != nullptr) {
            warnings->add(reason);  // cut short: the motions before the cut are kept
        }
    }
    data = characterDataOf(std::move(*document));
    return true;
}

CharacterData characterDataOf(Character&& document) {
    CharacterData data;
    addRigAndClips(document, data);
    if (document.model) {
        data.model = std::move(*document.model);
    }
    return data;
}

CharacterData characterDataOf(const Character& document) {
    CharacterData data;
    addRigAndClips(document, data);
    if (document.model) {
        data.model = *document.model;
    }
    return data;
}

}  // namespace tavo
