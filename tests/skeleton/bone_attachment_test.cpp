#include <gtest/gtest.h>

#include <random>

#include "skeleton/bone_attachment.h"

namespace tavo {
namespace {

// The linking steps written the plain way, every record against every other.
void plainAttachLinks(Skeleton& skeleton, const std::vector<Vec3>& vertices) {
    std::vector<Bone>& bones = skeleton.bones;
    for (std::size_t j = 0; j < bones.size(); ++j) {
        if (!bones[j].isLink()) {
            continue;
        }
        for (std::size_t k = 0; k < bones.size(); ++k) {
            if (k == j || bones[k].isLink()) {
                continue;
            }
            Bone& link = bones[j];
            if (bones[k].tipVertex == link.headVertex) {
                link.parent = static_cast<int32_t>(k);
                bones[k].children.push_back(static_cast<int32_t>(j));
            } else if (bones[k].tipVertex == link.tipVertex) {
                link.parent = static_cast<int32_t>(k);
                std::swap(link.headVertex, link.tipVertex);
                bones[k].children.push_back(static_cast<int32_t>(j));
            }
            link.localPosition = vertices[link.headVertex];
        }
    }
}

void plainAttachBones(Skeleton& skeleton) {
    std::vector<Bone>& bones = skeleton.bones;
    for (std::size_t j = 0; j < bones.size(); ++j) {
        if (bones[j].isLink()) {
            continue;
        }
        for (std::size_t k = 0; k < bones.size(); ++k) {
            if (k == j || bones[j].headVertex != bones[k].tipVertex) {
                continue;
            }
            int32_t parent = static_cast<int32_t>(k);
            for (int32_t steps = 0; parent >= 0 && bones[parent].isLink(); ++steps) {
                parent = steps > skeleton.boneCount() ? -1 : bones[parent].parent;
            }
            if (parent < 0 || parent == static_cast<int32_t>(j)) {
                continue;
            }
            bones[j].parent = parent;
            bones[parent].children.push_back(static_cast<int32_t>(j));
        }
    }
}

// Random bones and links over a few shared vertices, so that tips meet heads
// often, several times over and in loops.
Skeleton randomRecords(std::mt19937& random, int32_t vertexCount) {
    Skeleton skeleton;
    const int count = 1 + static_cast<int>(random() % 25);
    for (int r = 0; r < count; ++r) {
        Bone record;
        record.headVertex = static_cast<int32_t>(random() % vertexCount);
        record.tipVertex = static_cast<int32_t>(random() % vertexCount);
        record.sideVertex = random() % 3 == 0 ? -1 : 0;
        record.localPosition = {-1, -1, -1};
        skeleton.bones.push_back(record);
    }
    return skeleton;
}

TEST(BoneAttachment, MatchesThePlainEveryRecordAgainstEveryOtherLinking) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 500; ++trial) {
        const int32_t vertexCount = 2 + static_cast<int32_t>(random() % 10);
        std::vector<Vec3> vertices;
        for (int32_t v = 0; v < vertexCount; ++v) {
            vertices.push_back({static_cast<float>(v), 0, 0});
        }
        Skeleton fast = randomRecords(random, vertexCount);
        for (Bone& record : fast.bones) {
            if (record.isLink()) {
                record.localPosition = vertices[record.headVertex];
            }
        }
        Skeleton plain = fast;
        attachLinks(fast, vertices);
        attachBones(fast);
        plainAttachLinks(plain, vertices);
        plainAttachBones(plain);
        for (int32_t i = 0; i < fast.boneCount(); ++i) {
            const Bone& a = fast.bones[i];
            const Bone& b = plain.bones[i];
            ASSERT_EQ(a.parent, b.parent) << "trial " << trial << " record " << i;
            ASSERT_EQ(a.children, b.children) << "trial " << trial << " record " << i;
            ASSERT_EQ(a.headVertex, b.headVertex) << "trial " << trial << " record " << i;
            ASSERT_EQ(a.tipVertex, b.tipVertex) << "trial " << trial << " record " << i;
            ASSERT_EQ(a.localPosition.x, b.localPosition.x) << "trial " << trial << " record " << i;
        }
    }
}

}  // namespace
}  // namespace tavo
