#include <gtest/gtest.h>

#include "behaviour/mascot_state.h"
#include "placed_state.h"
#include "recording_shell.h"

namespace tavo {
namespace {

constexpr int32_t kScreenW = 1280;
constexpr int32_t kScreenH = 1024;
const CursorPosition kFarCursor{-5000, -5000};

TEST(CursorTest, EdgesAreOutsideAndMiddleColumnIsRightHalf) {
    // Walking left by 2 from 502 puts the window at x = 500, y = 300.
    struct Case {
        CursorPosition cursor;
        bool over;
    } cases[] = {
        {{500, 400}, false},  // on the left edge
        {{900, 400}, false},  // on the right edge (x + W)
        {{700, 300}, false},  // on the top edge
        {{700, 660}, false},  // on the bottom edge (y + H)
        {{501, 301}, true},
        {{899, 659}, true},
    };
    for (const Case& c : cases) {
        MascotState state = stateAt(502.0f, 300.0f, false);
        WindowPosition at = state.updateMovement(c.cursor, kScreenW, kScreenH);
        if (c.over) {
            EXPECT_NE(at.x, 500) << c.cursor.x << "," << c.cursor.y;
            EXPECT_NE(state.pitchRate, 0.0f);
        } else {
            EXPECT_EQ(at.x, 500) << c.cursor.x << "," << c.cursor.y;
            EXPECT_EQ(at.y, 300);
            EXPECT_EQ(state.pitchRate, 0.0f);
        }
    }
}

TEST(CursorTest, FleesAwayFromTheHalfTheCursorIsIn) {
    // Window at (500, 300): halves split at x 700 and y 480.
    MascotState state = stateAt(502.0f, 300.0f, false);
    WindowPosition at = state.updateMovement({700, 479}, kScreenW, kScreenH);
    EXPECT_EQ(at.x, 480);  // x + 200 is the right half: flees left
    EXPECT_EQ(at.y, 320);  // upper half: flees down the screen
    EXPECT_EQ(state.movingRight, 0);
    EXPECT_FLOAT_EQ(state.pitchRate, 10.0f);
    EXPECT_FLOAT_EQ(state.yawRate, -5.0f);

    state = stateAt(502.0f, 300.0f, false);
    at = state.updateMovement({699, 480}, kScreenW, kScreenH);
    EXPECT_EQ(at.x, 520);  // left half: flees right
    EXPECT_EQ(at.y, 280);  // lower half: flees up
    EXPECT_EQ(state.movingRight, 1);
    EXPECT_FLOAT_EQ(state.pitchRate, -10.0f);
    EXPECT_FLOAT_EQ(state.yawRate, 5.0f);
}

TEST(WalkTest, TurnsOneStepPastEitherEdge) {
    MascotState state = stateAt(kScreenW - 400 - 1, 0.0f, true);
    WindowPosition at = state.updateMovement(kFarCursor, kScreenW, kScreenH);
    EXPECT_EQ(at.x, kScreenW - 400 + 1);  // stands one step past the edge
    EXPECT_EQ(state.movingRight, 0);
    EXPECT_FLOAT_EQ(state.yawRate, -5.0f);
    at = state.updateMovement(kFarCursor, kScreenW, kScreenH);
    EXPECT_EQ(at.x, kScreenW - 400 - 1);

    state = stateAt(1.0f, 0.0f, false);
    at = state.updateMovement(kFarCursor, kScreenW, kScreenH);
    EXPECT_EQ(at.x, -1);
    EXPECT_EQ(state.movingRight, 1);
    EXPECT_FLOAT_EQ(state.yawRate, 5.0f);
    at = state.updateMovement(kFarCursor, kScreenW, kScreenH);
    EXPECT_EQ(at.x, 1);
}

TEST(WalkTest, TruncationTowardZeroDelaysTheTurnAtTheLeftEdge) {
    MascotState state;
    RecordingShell shell;
    state.applyFrameRate(30, shell);  // walk 0.6667
    state.posX = 0.5f;
    WindowPosition at = state.updateMovement(kFarCursor, kScreenW, kScreenH);
    EXPECT_EQ(at.x, 0);  // trunc(-0.17) is 0: not yet past the edge
    EXPECT_EQ(state.movingRight, 0);
    at = state.updateMovement(kFarCursor, kScreenW, kScreenH);
    EXPECT_EQ(at.x, 0);  // trunc(-0.83)
    at = state.updateMovement(kFarCursor, kScreenW, kScreenH);
    EXPECT_EQ(at.x, -1);
    EXPECT_EQ(state.movingRight, 1);
}

TEST(WrapTest, FleeingRightPastHalfTheWindowComesBackAtTheLeft) {
    // x = 1070 after the walk; fleeing right by 20 gives 1090 > 1280 - 200.
    MascotState state = stateAt(1072.0f, 100.0f, false);
    WindowPosition at = state.updateMovement({1100, 400}, kScreenW, kScreenH);
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(state.posX, 0.0f);
    EXPECT_EQ(state.movingRight, 0);
    EXPECT_FLOAT_EQ(state.yawRate, -5.0f);

    // Exactly at the limit it does not wrap.
    state = stateAt(1062.0f, 100.0f, false);
    at = state.updateMovement({1100, 400}, kScreenW, kScreenH);
    EXPECT_EQ(at.x, 1080);
    EXPECT_EQ(state.movingRight, 1);
}

TEST(WrapTest, AtTwiceTheSizeEveryDistanceDoubles) {
    MascotState state = stateAt(1000.0f, 100.0f, false);
    state.applySize(200);
    EXPECT_EQ(state.surfaceWidth, 800);
    EXPECT_EQ(state.surfaceHeight, 720);
    EXPECT_EQ(state.posX, 800.0f) << "the centre stays";
    EXPECT_EQ(state.walkStep, 4.0f);
    EXPECT_EQ(state.escapeStep, 40.0f);
    // x = 876 after the walk; fleeing right by 40 gives 916 > 1280 - 400:
    // past half the larger window it wraps.
    state.posX = 880.0f;
    EXPECT_EQ(state.updateMovement({900, 400}, kScreenW, kScreenH).x, 0);
    state.posX = 844.0f;  // 840 + 40 = 880: at the limit it does not
    EXPECT_EQ(state.updateMovement({900, 400}, kScreenW, kScreenH).x, 880);
    state.applySize(100);
    EXPECT_EQ(state.walkStep, 2.0f);
    EXPECT_EQ(state.escapeStep, 20.0f);
}

TEST(WrapTest, FleeingLeftPastHalfTheWindowComesBackAtTheRight) {
    // x = -190 after the walk; fleeing left by 20 gives -210 < -200.
    MascotState state = stateAt(-188.0f, 100.0f, false);
    WindowPosition at = state.updateMovement({100, 400}, kScreenW, kScreenH);
    EXPECT_EQ(at.x, kScreenW - 400);
    EXPECT_EQ(state.posX, static_cast<float>(kScreenW - 400));
    EXPECT_EQ(state.movingRight, 1);
    EXPECT_FLOAT_EQ(state.yawRate, 5.0f);
}

TEST(WrapTest, VerticalFleeWrapsAtBothEnds) {
    // Cursor in the upper half: down the screen, past height - 180 back to 0.
    MascotState state = stateAt(102.0f, 840.0f, false);
    WindowPosition at = state.updateMovement({150, 900}, kScreenW, kScreenH);
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(state.posY, 0.0f);
    EXPECT_FLOAT_EQ(state.pitchRate, 10.0f);

    state = stateAt(102.0f, 824.0f, false);
    at = state.updateMovement({150, 900}, kScreenW, kScreenH);
    EXPECT_EQ(at.y, 844);  // exactly height - 180: stays

    // Cursor in the lower half: up the screen, below -180 to height - 360.
    state = stateAt(102.0f, -170.0f, false);
    at = state.updateMovement({150, 100}, kScreenW, kScreenH);
    EXPECT_EQ(at.y, kScreenH - 360);
    EXPECT_EQ(state.posY, static_cast<float>(kScreenH - 360));
    EXPECT_FLOAT_EQ(state.pitchRate, -10.0f);
}

TEST(FrameRateTest, PerFrameAmountsAtEveryRate) {
    struct Row {
        int32_t fps, interval;
        float walk, turn, tilt, escape1, escape2, escape3;
    } rows[] = {
        {10, 100, 2.0f, 5.0f, 10.0f, 20.0f, 30.0f, 50.0f},
        {15, 66, 1.3333f, 3.3333f, 6.6667f, 13.3333f, 20.0f, 33.3333f},
        {20, 50, 1.0f, 2.5f, 5.0f, 10.0f, 15.0f, 25.0f},
        {30, 33, 0.6667f, 1.6667f, 3.3333f, 6.6667f, 10.0f, 16.6667f},
    };
    for (const Row& row : rows) {
        const float escapes[] = {row.escape1, row.escape2, row.escape3};
        for (int32_t escape = 1; escape <= 3; ++escape) {
            MascotState state;
            RecordingShell shell;
            state.escapeSpeed = escape;
            state.applyFrameRate(row.fps, shell);
            EXPECT_EQ(state.framesPerSecond, row.fps);
            EXPECT_EQ(state.frameIntervalMs, row.interval);
            EXPECT_NEAR(state.walkStep, row.walk, 1e-4f);
            EXPECT_NEAR(state.turnRate, row.turn, 1e-4f);
            EXPECT_NEAR(state.tiltRate, row.tilt, 1e-4f);
            EXPECT_NEAR(state.escapeStep, escapes[escape - 1], 1e-4f) << row.fps << " " << escape;
            EXPECT_TRUE(shell.boxes.empty());
        }
    }
}

TEST(FrameRateTest, OutOfRangeEscapeChoicesTakeTheSlowestStep) {
    for (int32_t choice : {-1, 4, 12}) {
        MascotState state;
        RecordingShell shell;
        state.applyFrameRate(20, shell);
        state.computeEscapeStep(choice, shell);
        EXPECT_FLOAT_EQ(state.escapeStep, 10.0f) << choice;
        EXPECT_TRUE(shell.boxes.empty());
    }
}

TEST(FrameRateTest, EscapeChoiceZeroStoresThreeAndComplainsOnce) {
    MascotState state;
    RecordingShell shell;
    state.escapeSpeed = 0;
    state.applyFrameRate(20, shell);
    EXPECT_EQ(state.escapeSpeed, 3);
    EXPECT_FLOAT_EQ(state.escapeStep, 25.0f);
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0].first, "\x94\xBD\x91\xA5\x82\xBE\x81\x5B");  // 反則だー
    EXPECT_EQ(shell.boxes[0].second, "\x81\x49\x81\x49\x81\x49");        // ！！！
}

TEST(StartCoordinateTest, RandomWithinTheFreeRangeOrZero) {
    EXPECT_EQ(startCoordinate(12345, 1280, 400), 12345 % 880);
    EXPECT_EQ(startCoordinate(879, 1280, 400), 879);
    EXPECT_EQ(startCoordinate(880, 1280, 400), 0);
    EXPECT_EQ(startCoordinate(12345, 400, 400), 0);  // no room: would divide by zero
    EXPECT_EQ(startCoordinate(12345, 300, 360), 0);  // smaller than the window
}

}  // namespace
}  // namespace tavo
