#pragma once

#include <cstdint>

namespace tavo {

// The sizes the menu offers, in per cent of the 400 x 360 window; the window,
// the picture drawn and the distances walked all scale with the size shown.
constexpr int32_t kSizeChoices[] = {50, 75, 100, 150, 200};
constexpr int32_t kSizeChoiceCount = static_cast<int32_t>(sizeof kSizeChoices / sizeof kSizeChoices[0]);
// The size a monitor's scale may give, so that a scale reported wrongly
// (0, 10000 %) neither hides the figure nor fills the desktop.
constexpr int32_t kSmallestSize = 50;
constexpr int32_t kLargestSize = 400;

bool isSizeChoice(int32_t percent);
// The size shown: the chosen one when there is one, else the scale of the
// monitor the window is on, within kSmallestSize and kLargestSize.
int32_t shownSize(int32_t chosen, int32_t monitorScalePercent);
// An extent in pixels at a size, to the nearest pixel (at least 1).
int32_t scaledExtent(int32_t extent, int32_t percent);

}  // namespace tavo
