#pragma once

#include <cstdint>

#include "behaviour/desktop_layout.h"

namespace tavo {

class ShellServices;

// The size of the off-screen surface and of the window at 100 %, in pixels.
constexpr int32_t kSurfaceWidth = 400;
constexpr int32_t kSurfaceHeight = 360;

struct CursorPosition {
    int32_t x = 0;
    int32_t y = 0;
};

struct WindowPosition {
    int32_t x = 0;
    int32_t y = 0;
};

// The one record of the mascot's choices, per-frame amounts, position,
// rotations and motion clock. One instance per running program.
struct MascotState {
    int32_t frameSpeed = 0;
    int32_t escapeSpeed = 1;
    int32_t actionSpeed = 0;
    int32_t hideForFullScreen = 1;  // 1: hidden while a full-screen program is in front
    int32_t sizeChoice = 0;  // a size of the menu, or 0: the monitor's scale

    int32_t framesPerSecond = 10;
    int32_t frameIntervalMs = 100;
    float walkStep = 2.0f;
    float escapeStep = 20.0f;
    float turnRate = 5.0f;
    float tiltRate = 10.0f;

    float posX = 0.0f;
    float posY = 0.0f;
    int32_t movingRight = 0;

    float pitch = 0.0f;
    float yaw = 0.0f;
    float pitchRate = 0.0f;
    float yawRate = 0.0f;

    float phase = 0.0f;
    float phaseRate = 1.0f;
    // The time the last frame advanced the figure by, the cursor it was
    // given and whether it fled from it (an avatar's blink, gaze, surprise
    // and swinging hair follow them).
    uint32_t frameElapsedMs = 0;
    CursorPosition cursor;
    int32_t fleeing = 0;
    float actionFactor = 0.5f;
    int32_t motionIndex = 3;

    // The size shown (per cent) and the surface and window at that size.
    int32_t sizePercent = 100;
    int32_t surfaceWidth = kSurfaceWidth;
    int32_t surfaceHeight = kSurfaceHeight;

    void setPitchRate(float value) { pitchRate = value; }
    void setYawRate(float value) { yawRate = value; }
    void setActionFactor(float value) { actionFactor = value; }

    // One frame of walking, fleeing from the cursor and wrapping; returns the
    // window position for this frame and sets the turn and tilt rates. The
    // window walks on where a monitor touches the edge it reaches, turns at
    // an outer edge, wraps past the desktop's outermost edges (and jumps
    // gaps when it flees), and is brought onto the nearest monitor when none
    // shows it. On one monitor of the given size it is the screen's own
    // walk, wrap and flight.
    WindowPosition updateMovement(CursorPosition cursor, const DesktopLayout& desktop);
    WindowPosition updateMovement(CursorPosition cursor, int32_t screenWidth, int32_t screenHeight);

    void bringOntoDesktop(WindowPosition& at, const DesktopLayout& desktop);
    // Moves the window wholly onto its monitor where it fits there (after it
    // grew).
    void fitOntoMonitor(const DesktopLayout& desktop);

    // Per-frame amounts for a frame rate; puts the window at (0, 0).
    void applyFrameRate(int32_t fps, ShellServices& shell);
    // The surface's extent and the walking and fleeing distances at a size
    // (per cent); the window keeps its centre. At 100 they are the
    // original ones exactly.
    void applySize(int32_t percent);
    // Escape step for a choice; choice 0 stores 3 and shows the error box.
    void computeEscapeStep(int32_t choice, ShellServices& shell);
};

// Start position drawn at start-up: a random value modulo (screen - surface)
// on each axis, or 0 when the screen is not larger than the surface.
int32_t startCoordinate(int32_t randomValue, int32_t screenExtent, int32_t surfaceExtent);

}  // namespace tavo
