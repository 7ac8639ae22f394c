// The whole character path on one input: the bytes before the first line
// "@@MKM@@" are the model, the bytes after it the motion set. The character
// is built, its motions loaded, posed at several phases of two motions and
// drawn into a small off-screen OSMesa context after each pose, as the frame
// renderer does, then released. Drawing must leave the model-view stack as
// it was and make no GL error.

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "animation/posing.h"
#include "formats/metasequoia/metasequoia_format.h"
#include "drawing/mesh_renderer.h"
#include "render/program_objects.h"
#include "resources/gl_api.h"
#include "resources/image_loaders.h"
#include "resources/memory_stream.h"
#include "skeleton/character.h"
#include "support/offscreen_gl_context.h"
#include "two_part_input.h"

namespace {

void require(bool condition) {
    if (!condition) {
        abort();
    }
}

bool validRecord(const tavo::Skeleton& skeleton, int32_t index) {
    return index >= 0 && index < skeleton.boneCount();
}

// The bone tree is a forest: every parent chain ends at a root within as
// many steps as there are records, the roots are exactly the records
// without a parent, and a bone is a child of its parent.
void checkSkeleton(const tavo::Skeleton& skeleton, const tavo::Model& model) {
    const int32_t count = skeleton.boneCount();
    std::vector<int32_t> roots;
    for (int32_t i = 0; i < count; ++i) {
        const tavo::Bone& bone = skeleton.bones[i];
        require(bone.parent == -1 || validRecord(skeleton, bone.parent));
        int32_t steps = 0;
        for (int32_t up = bone.parent; up != -1; up = skeleton.bones[up].parent) {
            require(++steps <= count);
        }
        if (bone.parent == -1) {
            roots.push_back(i);
        }
        for (int32_t child : bone.children) {
            require(validRecord(skeleton, child));
            if (!skeleton.bones[child].isLink()) {
                require(skeleton.bones[child].parent == i);
            }
        }
        for (int32_t object : bone.rigidObjects) {
            require(object >= 0 && static_cast<size_t>(object) < model.objects.size());
        }
    }
    require(roots == skeleton.rootBones);
}

// Every influence names a bone (not a link), and the weights of a vertex
// add up to one.
void checkInfluences(const tavo::Skeleton& skeleton, const tavo::Model& model) {
    for (int32_t index : model.skinnedObjects) {
        require(index >= 0 && static_cast<size_t>(index) < model.objects.size());
        const tavo::ModelObject& object = model.objects[index];
        require(object.vertexInfluences.size() == object.vertices.size());
        for (const tavo::VertexInfluence& influence : object.vertexInfluences) {
            require(influence.boneIndices.size() == influence.weights.size());
            double sum = 0.0;
            for (size_t j = 0; j < influence.weights.size(); ++j) {
                const int32_t bone = influence.boneIndices[j];
                require(validRecord(skeleton, bone) && !skeleton.bones[bone].isLink());
                sum += influence.weights[j];
            }
            if (!influence.weights.empty() && std::isfinite(sum)) {
                require(std::fabs(sum - 1.0) < 1e-3);
            }
        }
    }
}

// The program-lifetime objects with the program's one image loader. The
// texture manager keeps every name it was asked for, so the objects are
// renewed once it holds many, instead of growing for the whole campaign.
class Scene {
public:
    Scene() : context_(64, 64) {
        if (!context_.valid()) {
            abort();
        }
        renew();
    }

    tavo::ProgramObjects& objects() {
        if (objects_->textureManager.textureCount() > 64) {
            renew();
        }
        return *objects_;
    }

private:
    void renew() {
        objects_.reset();
        objects_ = std::make_unique<tavo::ProgramObjects>();
        objects_->registerImageLoaders();
    }

    tavo::test::OffscreenGlContext context_;
    std::unique_ptr<tavo::ProgramObjects> objects_;
};

Scene& scene() {
    static Scene* instance = new Scene;
    return *instance;
}

// The state that the frame renderer leaves for the mesh renderer, with a
// camera that sees the character's size range.
void beginFrame() {
    while (glGetError() != GL_NO_ERROR) {
    }
    glViewport(0, 0, 64, 64);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-150.0, 150.0, -50.0, 250.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// Drawing leaves the model-view stack as it found it and makes no GL error
// (a stack overflow on a deep bone chain would show here).
class ModelViewGuard {
public:
    ModelViewGuard() {
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_);
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix_);
    }
    void check() const {
        GLint depth = 0;
        GLfloat matrix[16];
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        require(depth == depth_);
        require(memcmp(matrix, matrix_, sizeof matrix) == 0);
        require(glGetError() == GL_NO_ERROR);
    }

private:
    GLint depth_ = 0;
    GLfloat matrix_[16] = {};
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scene();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) {
        return 0;
    }
    const tavo::fuzz::TwoPartInput input = tavo::fuzz::splitTwoPartInput(data, size);
    tavo::ProgramObjects& objects = scene().objects();

    std::unique_ptr<tavo::Character> character;
    tavo::MemoryStream stream;
    stream.attach(input.model, static_cast<int32_t>(input.modelSize));
    if (!tavo::buildCharacter(character, &stream, objects.textureManager, 1.0f)) {
        return 0;
    }
    stream.attach(input.motions, static_cast<int32_t>(input.motionsSize));
    if (tavo::loadCharacterMotions(character.get(), &stream)) {
        checkSkeleton(*character->skeleton, *character->model);
        checkInfluences(*character->skeleton, *character->model);
    }

    // The program plays motion 3; motion 0 sets its timing.
    const tavo::CharacterData records = tavo::characterDataOf(*character);
    tavo::CharacterPose pose;
    pose.reset(records);
    static const int32_t kMotions[] = {3, 0};
    static const float kPhases[] = {0.0f, 0.4f, 0.999f, 1.0f};
    for (int32_t motion : kMotions) {
        for (float phase : kPhases) {
            tavo::poseCharacter(records, motion, phase, tavo::drawingNeedsNormals(records), pose);
            beginFrame();
            const ModelViewGuard guard;
            objects.meshRenderer.drawCharacter(records, pose);
            guard.check();
        }
    }
    glFinish();
    tavo::releaseCharacter(character);
    return 0;
}
