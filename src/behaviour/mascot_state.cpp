#include "behaviour/mascot_state.h"

#include <algorithm>

#include "behaviour/mascot_size.h"
#include "behaviour/shell_services.h"

namespace tavo {

namespace {

// Float to integer window coordinate: truncation toward zero.
int32_t toPixel(float value) { return static_cast<int32_t>(value); }

// Distances on the screen at a size: 1 at 100 %, so that those stay exact.
float sizeFactor(int32_t percent) { return static_cast<float>(percent) / 100.0f; }

// The choice 0 (greyed in the menu) is taken as the fastest.
float escapePixelsPerSecond(int32_t choice) {
    switch (choice) {
    case 0: return 500.0f;
    case 2: return 300.0f;
    case 3: return 500.0f;
    default: return 200.0f;
    }
}

}  // namespace

WindowPosition MascotState::updateMovement(CursorPosition cursor, int32_t screenWidth,
                                           int32_t screenHeight) {
    return updateMovement(cursor, DesktopLayout::singleScreen(screenWidth, screenHeight));
}

// On one monitor every test below reads as the screen's own edges: the
// monitor is the screen, it has no neighbours, and a wrap comes back on it.
WindowPosition MascotState::updateMovement(CursorPosition cursor, const DesktopLayout& desktop) {
    const int32_t width = surfaceWidth;
    const int32_t height = surfaceHeight;
    const int32_t halfWidth = width / 2;
    const int32_t halfHeight = height / 2;
    if (desktop.count() == 0) return {toPixel(posX), toPixel(posY)};
    WindowPosition at;
    const auto monitorOf = [&]() { return desktop.monitorOf({at.x, at.y, width, height}); };

    // Walk; the turn comes one step past an edge no monitor continues.
    if (movingRight) {
        posX += walkStep;
        at = {toPixel(posX), toPixel(posY)};
        const int32_t on = monitorOf();
        if (at.x + width > desktop.monitor(on).right() && desktop.neighbour(on, DesktopLayout::Side::Rightward, at.y + halfHeight) < 0) {
            movingRight = 0;
        }
    } else {
        posX -= walkStep;
        at = {toPixel(posX), toPixel(posY)};
        const int32_t on = monitorOf();
        if (at.x < desktop.monitor(on).x && desktop.neighbour(on, DesktopLayout::Side::Leftward, at.y + halfHeight) < 0) {
            movingRight = 1;
        }
    }

    const bool cursorOver = at.x < cursor.x && cursor.x < at.x + width &&
                            at.y < cursor.y && cursor.y < at.y + height;
    this->cursor = cursor;
    fleeing = cursorOver ? 1 : 0;
    if (cursorOver) {
        // Flee sideways, away from the half the cursor is in. More than half
        // past an edge that no monitor touches, the window comes back on the
        // next monitor that way, or round on the far side of the desktop.
        if (cursor.x < at.x + halfWidth) {
            posX += escapeStep;
            at.x = toPixel(posX);
            movingRight = 1;
            const int32_t on = monitorOf();
            if (at.x > desktop.monitor(on).right() - halfWidth) {
                at.x = desktop.monitor(desktop.nextMonitor(on, DesktopLayout::Side::Rightward, at.y + halfHeight)).x;
                posX = static_cast<float>(at.x);
                movingRight = 0;
            }
        } else {
            posX -= escapeStep;
            at.x = toPixel(posX);
            movingRight = 0;
            const int32_t on = monitorOf();
            if (at.x < desktop.monitor(on).x - halfWidth) {
                movingRight = 1;
                at.x = desktop.monitor(desktop.nextMonitor(on, DesktopLayout::Side::Leftward, at.y + halfHeight)).right() - width;
                posX = static_cast<float>(at.x);
            }
        }
        // Flee vertically and tip over towards the way it runs.
        if (cursor.y < at.y + halfHeight) {
            posY += escapeStep;
            at.y = toPixel(posY);
            const int32_t on = monitorOf();
            if (at.y > desktop.monitor(on).bottom() - halfHeight) {
                at.y = desktop.monitor(desktop.nextMonitor(on, DesktopLayout::Side::Downward, at.x + halfWidth)).y;
                posY = static_cast<float>(at.y);
            }
            setPitchRate(tiltRate);
        } else {
            posY -= escapeStep;
            at.y = toPixel(posY);
            const int32_t on = monitorOf();
            if (at.y < desktop.monitor(on).y - halfHeight) {
                at.y = desktop.monitor(desktop.nextMonitor(on, DesktopLayout::Side::Upward, at.x + halfWidth)).bottom() - height;
                posY = static_cast<float>(at.y);
            }
            setPitchRate(-tiltRate);
        }
    }

    bringOntoDesktop(at, desktop);
    setYawRate(movingRight ? turnRate : -turnRate);
    return at;
}

// A window that no monitor shows (its monitor went away, or it came off one
// monitor beside a gap) moves onto the nearest one, whole where it fits.
void MascotState::bringOntoDesktop(WindowPosition& at, const DesktopLayout& desktop) {
    const ScreenRect window{at.x, at.y, surfaceWidth, surfaceHeight};
    for (int32_t i = 0; i < desktop.count(); ++i) {
        if (desktop.monitor(i).overlaps(window)) return;
    }
    const ScreenRect& nearest = desktop.monitor(desktop.monitorOf(window));
    at.x = std::max(nearest.x, std::min(at.x, nearest.right() - surfaceWidth));
    at.y = std::max(nearest.y, std::min(at.y, nearest.bottom() - surfaceHeight));
    posX = static_cast<float>(at.x);
    posY = static_cast<float>(at.y);
}

void MascotState::fitOntoMonitor(const DesktopLayout& desktop) {
    const ScreenRect window{toPixel(posX), toPixel(posY), surfaceWidth, surfaceHeight};
    const int32_t on = desktop.monitorOf(window);
    if (on < 0) return;
    const ScreenRect& monitor = desktop.monitor(on);
    const int32_t x = std::max(monitor.x, std::min(window.x, monitor.right() - surfaceWidth));
    const int32_t y = std::max(monitor.y, std::min(window.y, monitor.bottom() - surfaceHeight));
    if (x != window.x) posX = static_cast<float>(x);
    if (y != window.y) posY = static_cast<float>(y);
}

void MascotState::applyFrameRate(int32_t fps, ShellServices& shell) {
    framesPerSecond = fps;
    walkStep = 20.0f / static_cast<float>(fps) * sizeFactor(sizePercent);
    frameIntervalMs = 1000 / fps;
    computeEscapeStep(escapeSpeed, shell);
    posX = 0.0f;
    posY = 0.0f;
    turnRate = 50.0f / static_cast<float>(fps);
    tiltRate = 100.0f / static_cast<float>(fps);
}

void MascotState::computeEscapeStep(int32_t choice, ShellServices& shell) {
    if (choice == 0) {
        // The greyed choice: taken as the fastest, with a complaint.
        escapeSpeed = 3;
        shell.showErrorBox(TextId::FoulText, TextId::FoulCaption, std::string());
    }
    escapeStep = escapePixelsPerSecond(choice) / static_cast<float>(framesPerSecond) * sizeFactor(sizePercent);
}

void MascotState::applySize(int32_t percent) {
    const int32_t width = scaledExtent(kSurfaceWidth, percent);
    const int32_t height = scaledExtent(kSurfaceHeight, percent);
    posX += static_cast<float>((surfaceWidth - width) / 2);
    posY += static_cast<float>((surfaceHeight - height) / 2);
    surfaceWidth = width;
    surfaceHeight = height;
    sizePercent = percent;
    walkStep = 20.0f / static_cast<float>(framesPerSecond) * sizeFactor(percent);
    escapeStep = escapePixelsPerSecond(escapeSpeed) / static_cast<float>(framesPerSecond) * sizeFactor(percent);
}

int32_t startCoordinate(int32_t randomValue, int32_t screenExtent, int32_t surfaceExtent) {
    const int32_t range = screenExtent - surfaceExtent;
    if (range <= 0) return 0;
    return randomValue % range;
}

}  // namespace tavo
