#include <cmath>

#include "render/frame_renderer.h"

namespace tavo {

// The phase follows measured time: elapsed seconds times the motion's cycles
// per second. Only a result above 1.0 wraps, so exactly 1.0 is shown as the
// last frame; a long stall wraps by the remainder of the elapsed cycles.
void FrameRenderer::advancePhase(MascotState& state, uint32_t elapsedMs) {
    state.phase += static_cast<float>(elapsedMs) * 0.001f * (state.actionFactor * state.phaseRate);
    if (state.phase > 1.0f) {
        state.phase = std::fmod(state.phase, 1.0f);
    }
    if (!std::isfinite(state.phase)) {
        state.phase = 0.0f;
    }
}

}  // namespace tavo
