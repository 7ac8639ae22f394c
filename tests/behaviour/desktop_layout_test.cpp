#include "behaviour/desktop_layout.h"
#include "behaviour/desktop_layout_watch.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "behaviour/mascot_state.h"
#include "placed_state.h"
#include "recording_shell.h"

namespace tavo {
namespace {

const CursorPosition kFarCursor{-50000, -50000};

DesktopLayout layoutOf(std::initializer_list<ScreenRect> monitors) {
    DesktopLayout layout;
    for (const ScreenRect& monitor : monitors) layout.add(monitor);
    return layout;
}

// Frames of walking until the direction turns; the x where it turned.
int32_t walkUntilTurn(MascotState& state, const DesktopLayout& desktop) {
    const int32_t direction = state.movingRight;
    WindowPosition at{};
    for (int frame = 0; frame < 100000 && state.movingRight == direction; ++frame) {
        at = state.updateMovement(kFarCursor, desktop);
    }
    return at.x;
}

// Frames with the cursor just inside the window's left (or right) half
// until it jumps (wraps or crosses a gap); the position after the jump.
WindowPosition fleeUntilWrap(MascotState& state, const DesktopLayout& desktop, bool rightwards) {
    WindowPosition at{static_cast<int32_t>(state.posX), static_cast<int32_t>(state.posY)};
    for (int frame = 0; frame < 10000; ++frame) {
        // The lower half, so the window also climbs; put it back on its row.
        const CursorPosition cursor{at.x + (rightwards ? 100 : 300), at.y + 300};
        const float before = state.posX;
        state.posY = 300.0f;
        at = state.updateMovement(cursor, desktop);
        const float moved = state.posX - before;
        if (moved > 30.0f || moved < -30.0f) return at;  // more than a step of 20: it wrapped
    }
    return at;
}

const ScreenRect kPrimary{0, 0, 1280, 1024};

TEST(DesktopLayoutTest, WalksOntoTouchingMonitorsAndTurnsAtOuterEdges) {
    // A second monitor to the right, and one to the left of the primary
    // (negative coordinates), both shorter.
    const DesktopLayout desktop = layoutOf({kPrimary, {1280, 0, 1024, 768}, {-1024, 200, 1024, 768}});
    MascotState right = stateAt(800.0f, 300.0f, true);
    EXPECT_EQ(walkUntilTurn(right, desktop), 1280 + 1024 - 400 + 2) << "turns only at the right monitor's edge";
    MascotState left = stateAt(10.0f, 300.0f, false);
    EXPECT_EQ(walkUntilTurn(left, desktop), -1024 - 2) << "walks on into negative coordinates";

    // Below the right monitor's bottom the edge is an outer one.
    MascotState low = stateAt(800.0f, 700.0f, true);
    EXPECT_EQ(walkUntilTurn(low, desktop), 1280 - 400 + 2);
}

TEST(DesktopLayoutTest, FleeingWrapsRoundTheDesktopAndJumpsGaps) {
    const DesktopLayout touching = layoutOf({kPrimary, {1280, 0, 1280, 1024}});
    MascotState right = stateAt(2000.0f, 300.0f, true);
    EXPECT_EQ(fleeUntilWrap(right, touching, true).x, 0) << "past the outermost right edge: the leftmost";
    MascotState left = stateAt(100.0f, 300.0f, false);
    EXPECT_EQ(fleeUntilWrap(left, touching, false).x, 2560 - 400) << "past the leftmost: the outermost right";

    // A 100-pixel gap: fleeing jumps it, walking turns before it.
    const DesktopLayout gap = layoutOf({kPrimary, {1380, 0, 1280, 1024}});
    MascotState jumper = stateAt(700.0f, 300.0f, true);
    EXPECT_EQ(fleeUntilWrap(jumper, gap, true).x, 1380);
    MascotState walker = stateAt(800.0f, 300.0f, true);
    EXPECT_EQ(walkUntilTurn(walker, gap), 882);

    // Vertically: a monitor below; past its bottom the window comes back on top.
    const DesktopLayout stacked = layoutOf({kPrimary, {0, 1024, 1280, 1024}});
    MascotState falling = stateAt(400.0f, 900.0f, true);
    int32_t wrappedAt = -1;
    for (int frame = 0; frame < 200 && wrappedAt < 0; ++frame) {
        const float before = falling.posY;
        const WindowPosition at = falling.updateMovement({static_cast<int32_t>(falling.posX) + 150,
                                                          static_cast<int32_t>(falling.posY) + 100}, stacked);
        if (falling.posY < before) wrappedAt = at.y;
        EXPECT_TRUE(falling.posY < before || falling.posY < 2048 - 180 + 20) << falling.posY;
    }
    EXPECT_EQ(wrappedAt, 0) << "it passed the lower monitor and came back at the top";
}

TEST(DesktopLayoutTest, OneMonitorIsTheScreenAndARemovedMonitorsWindowMovesOn) {
    // One monitor: the layout and the screen size give the same frames.
    MascotState byLayout = stateAt(850.0f, 600.0f, true);
    MascotState bySize = byLayout;
    const DesktopLayout single = DesktopLayout::singleScreen(1280, 1035);
    for (int frame = 0; frame < 3000; ++frame) {
        const CursorPosition cursor{(frame * 37) % 1400, (frame * 53) % 1100};
        const WindowPosition a = byLayout.updateMovement(cursor, single);
        const WindowPosition b = bySize.updateMovement(cursor, 1280, 1035);
        ASSERT_TRUE(a.x == b.x && a.y == b.y && byLayout.movingRight == bySize.movingRight) << frame;
    }

    // The window stands on the right monitor, which goes away.
    MascotState state = stateAt(1600.0f, 500.0f, true);
    const DesktopLayout both = layoutOf({kPrimary, {1280, 0, 1280, 1024}});
    EXPECT_EQ(state.updateMovement(kFarCursor, both).x, 1602);
    const WindowPosition moved = state.updateMovement(kFarCursor, layoutOf({kPrimary}));
    EXPECT_EQ(moved.x, 1280 - 400);
    EXPECT_EQ(moved.y, 500);
    EXPECT_EQ(state.posX, 880.0f);

    // An empty layout (no monitor answered) leaves the window where it is.
    EXPECT_EQ(state.updateMovement(kFarCursor, DesktopLayout()).x, 880);
    EXPECT_FALSE(DesktopLayout().add({0, 0, 0, 10}));
}

TEST(DesktopLayoutTest, AChangedLayoutCountsOnceItHasSettled) {
    DesktopLayoutWatch watch;
    const DesktopLayout one = layoutOf({kPrimary});
    const DesktopLayout two = layoutOf({kPrimary, {1280, 0, 1024, 768}});
    const DesktopLayout odd = layoutOf({kPrimary, {1280, 0, 1024, 40}});
    EXPECT_TRUE(watch.pollDue(5));
    watch.offer(one, 5);
    EXPECT_EQ(watch.current(), one) << "the first reading counts at once";
    EXPECT_FALSE(watch.pollDue(200));
    EXPECT_TRUE(watch.pollDue(255));

    watch.offer(odd, 255);  // a moment mid-change
    watch.offer(two, 505);
    EXPECT_EQ(watch.current(), one) << "neither has held yet";
    watch.offer(two, 755);
    EXPECT_EQ(watch.current(), two) << "read twice 250 ms apart";
    watch.offer(odd, 1005);
    watch.offer(two, 1255);
    watch.offer(odd, 1505);
    EXPECT_EQ(watch.current(), two) << "a flicker is never taken";
}

}  // namespace
}  // namespace tavo
