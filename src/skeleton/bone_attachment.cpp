#include "skeleton/bone_attachment.h"

#include <algorithm>
#include <utility>

namespace tavo {
namespace {

// Records sorted by tip vertex, and by index for equal tips, so that the
// records ending at one vertex are found without visiting all the others.
class TipIndex {
public:
    using Entry = std::pair<int32_t, int32_t>;  // tip vertex, record index
    using Range = std::pair<std::vector<Entry>::const_iterator, std::vector<Entry>::const_iterator>;

    TipIndex(const Skeleton& skeleton, bool bonesOnly) {
        for (int32_t k = 0; k < skeleton.boneCount(); ++k) {
            if (!bonesOnly || !skeleton.bones[k].isLink()) {
                entries_.emplace_back(skeleton.bones[k].tipVertex, k);
            }
        }
        std::sort(entries_.begin(), entries_.end());
    }

    Range at(int32_t vertex) const {
        const Entry low(vertex, INT32_MIN);
        const Entry high(vertex, INT32_MAX);
        return {std::lower_bound(entries_.begin(), entries_.end(), low),
                std::upper_bound(entries_.begin(), entries_.end(), high)};
    }

private:
    std::vector<Entry> entries_;
};

// The records of both ranges in ascending index order (each once).
std::vector<int32_t> mergedRecords(const TipIndex::Range& a, const TipIndex::Range& b) {
    std::vector<int32_t> records;
    for (auto it = a.first; it != a.second; ++it) {
        records.push_back(it->second);
    }
    for (auto it = b.first; it != b.second; ++it) {
        records.push_back(it->second);
    }
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    return records;
}

// The bone reached from record k by walking up through links, or -1 when the
// walk ends at a link without parent.
int32_t boneAbove(const Skeleton& skeleton, int32_t k) {
    int32_t index = k;
    for (int32_t steps = 0; steps <= skeleton.boneCount(); ++steps) {
        if (index < 0 || !skeleton.bones[index].isLink()) {
            return index;
        }
        index = skeleton.bones[index].parent;
    }
    return -1;
}

}  // namespace

void attachLinks(Skeleton& skeleton, const std::vector<Vec3>& vertices) {
    const TipIndex bonesByTip(skeleton, true);
    std::vector<Bone>& bones = skeleton.bones;
    for (std::size_t j = 0; j < bones.size(); ++j) {
        if (!bones[j].isLink()) {
            continue;
        }
        Bone& link = bones[j];
        // Turning the link round swaps its ends but not the set of them, so
        // the candidates are the bones whose tip is at either end.
        for (int32_t k : mergedRecords(bonesByTip.at(link.headVertex),
                                       bonesByTip.at(link.tipVertex))) {
            if (bones[k].tipVertex == link.headVertex) {
                link.parent = k;
                bones[k].children.push_back(static_cast<int32_t>(j));
            } else if (bones[k].tipVertex == link.tipVertex) {
                link.parent = k;
                std::swap(link.headVertex, link.tipVertex);
                bones[k].children.push_back(static_cast<int32_t>(j));
            }
        }
        link.localPosition = vertices[link.headVertex];
    }
}

void attachBones(Skeleton& skeleton) {
    const TipIndex recordsByTip(skeleton, false);
    std::vector<Bone>& bones = skeleton.bones;
    for (std::size_t j = 0; j < bones.size(); ++j) {
        if (bones[j].isLink()) {
            continue;
        }
        const TipIndex::Range matches = recordsByTip.at(bones[j].headVertex);
        for (auto it = matches.first; it != matches.second; ++it) {
            const int32_t k = it->second;
            if (k == static_cast<int32_t>(j)) {
                continue;
            }
            const int32_t parent = boneAbove(skeleton, k);
            if (parent < 0 || parent == static_cast<int32_t>(j)) {
                continue;
            }
            bones[j].parent = parent;
            bones[parent].children.push_back(static_cast<int32_t>(j));
        }
    }
}

}  // namespace tavo
