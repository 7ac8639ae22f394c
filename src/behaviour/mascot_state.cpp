#include "behaviour/mascot_state.h"

#include "behaviour/shell_services.h"

namespace tavo {

namespace {

// Float to integer window coordinate: truncation toward zero.
int32_t toPixel(float value) { return static_cast<int32_t>(value); }

}  // namespace

WindowPosition MascotState::updateMovement(CursorPosition cursor, int32_t screenWidth,
                                           int32_t screenHeight) {
    const int32_t width = surfaceWidth;
    const int32_t height = surfaceHeight;
    const int32_t halfWidth = width / 2;
    const int32_t halfHeight = height / 2;
    WindowPosition at;

    // Walk; the turn comes one step past the edge.
    if (movingRight) {
        posX += walkStep;
        at = {toPixel(posX), toPixel(posY)};
        if (at.x + width > screenWidth) movingRight = 0;
    } else {
        posX -= walkStep;
        at = {toPixel(posX), toPixel(posY)};
        if (at.x < 0) movingRight = 1;
    }

    const bool cursorOver = at.x < cursor.x && cursor.x < at.x + width &&
                            at.y < cursor.y && cursor.y < at.y + height;
    if (cursorOver) {
        // Flee sideways, away from the half the cursor is in.
        if (cursor.x < at.x + halfWidth) {
            posX += escapeStep;
            at.x = toPixel(posX);
            movingRight = 1;
            if (at.x > screenWidth - halfWidth) {
                at.x = 0;
                posX = 0.0f;
                movingRight = 0;
            }
        } else {
            posX -= escapeStep;
            at.x = toPixel(posX);
            movingRight = 0;
            if (at.x < -halfWidth) {
                movingRight = 1;
                at.x = screenWidth - width;
                posX = static_cast<float>(at.x);
            }
        }
        // Flee vertically and tip over towards the way it runs.
        if (cursor.y < at.y + halfHeight) {
            posY += escapeStep;
            at.y = toPixel(posY);
            if (at.y > screenHeight - halfHeight) {
                at.y = 0;
                posY = 0.0f;
            }
            setPitchRate(tiltRate);
        } else {
            posY -= escapeStep;
            at.y = toPixel(posY);
            if (at.y < -halfHeight) {
                at.y = screenHeight - height;
                posY = static_cast<float>(at.y);
            }
            setPitchRate(-tiltRate);
        }
    }

    setYawRate(movingRight ? turnRate : -turnRate);
    return at;
}

void MascotState::applyFrameRate(int32_t fps, ShellServices& shell) {
    framesPerSecond = fps;
    walkStep = 20.0f / static_cast<float>(fps);
    frameIntervalMs = 1000 / fps;
    computeEscapeStep(escapeSpeed, shell);
    posX = 0.0f;
    posY = 0.0f;
    turnRate = 50.0f / static_cast<float>(fps);
    tiltRate = 100.0f / static_cast<float>(fps);
}

void MascotState::computeEscapeStep(int32_t choice, ShellServices& shell) {
    float pixelsPerSecond = 200.0f;
    switch (choice) {
    case 0:
        // The greyed choice: taken as the fastest, with a complaint.
        escapeSpeed = 3;
        shell.showErrorBox(TextId::FoulText, TextId::FoulCaption, std::string());
        pixelsPerSecond = 500.0f;
        break;
    case 2:
        pixelsPerSecond = 300.0f;
        break;
    case 3:
        pixelsPerSecond = 500.0f;
        break;
    default:
        break;
    }
    escapeStep = pixelsPerSecond / static_cast<float>(framesPerSecond);
}

int32_t startCoordinate(int32_t randomValue, int32_t screenExtent, int32_t surfaceExtent) {
    const int32_t range = screenExtent - surfaceExtent;
    if (range <= 0) return 0;
    return randomValue % range;
}

}  // namespace tavo
