#include "behaviour/mascot_size.h"

#include <algorithm>
#include <iterator>

namespace tavo {

bool isSizeChoice(int32_t percent) {
    return std::find(std::begin(kSizeChoices), std::end(kSizeChoices), percent) != std::end(kSizeChoices);
}

int32_t shownSize(int32_t chosen, int32_t monitorScalePercent) {
    if (isSizeChoice(chosen)) return chosen;
    return std::max(kSmallestSize, std::min(monitorScalePercent, kLargestSize));
}

int32_t scaledExtent(int32_t extent, int32_t percent) {
    const int64_t scaled = (int64_t{extent} * percent + 50) / 100;
    return static_cast<int32_t>(std::max<int64_t>(1, scaled));
}

}  // namespace tavo
