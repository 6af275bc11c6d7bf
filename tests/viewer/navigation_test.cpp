// Moving around: the world window's arithmetic, the drag gestures with the
// band they keep on the screen, Ctrl+click and the keys.
#include <gtest/gtest.h>

#include <cmath>

#include "qmv/viewer/commands.h"
#include "qmv/viewer/navigation.h"
#include "viewer_support.h"

namespace qmv::viewer::test {
namespace {

void expectWindow(const WorldWindow& w, double xmin, double ymin, double xmax, double ymax) {
    EXPECT_DOUBLE_EQ(w.xmin, xmin);
    EXPECT_DOUBLE_EQ(w.ymin, ymin);
    EXPECT_DOUBLE_EQ(w.xmax, xmax);
    EXPECT_DOUBLE_EQ(w.ymax, ymax);
}

RubberBand rectangle(int x0, int y0, int x1, int y1) { return {RubberBand::Kind::Rectangle, x0, y0, x1, y1}; }

using Navigation = ViewerTest;

TEST_F(Navigation, StepsWorkOnTheRequestedWindowAndKeepItsOrder) {
    zoomIn(state);
    expectWindow(state.worldWindow, 20, 20, 80, 80);
    zoomOut(state);  // not the inverse: 0.84 of the size is left
    expectWindow(state.worldWindow, 8, 8, 92, 92);

    // A tenth of the requested window, whatever the client's proportions.
    state.worldWindow = {0, 0, 100, 50};
    state.clientWidth = 400;
    moveStep(state, Direction::Right);
    expectWindow(state.worldWindow, 10, 0, 110, 50);
    moveStep(state, Direction::Up);
    expectWindow(state.worldWindow, 10, 5, 110, 55);

    // A reversed window stays reversed.
    state.worldWindow = {100, 50, 0, 0};
    zoomIn(state);
    moveStep(state, Direction::Right);
    expectWindow(state.worldWindow, 74, 40, 14, 10);
}

TEST_F(Navigation, ZoomDragShowsOneBandThroughoutAndZoomsIntoIt) {
    onButtonDown(state, false, 75, 75);
    EXPECT_TRUE(window.captured);
    EXPECT_EQ(window.cursor, CursorShape::Cross);
    for (int xy = 70; xy >= 25; xy -= 5) {
        onMouseMove(state, xy, xy);
        ASSERT_EQ(window.bandsShown, std::vector{rectangle(75, 75, xy, xy)});
    }
    onButtonUp(state);
    EXPECT_TRUE(window.bandsShown.empty());
    EXPECT_FALSE(window.captured);
    EXPECT_EQ(window.cursor, CursorShape::Arrow);
    // Dragged up and left: the same rectangle as the other way round.
    expectWindow(state.worldWindow, 25, 25, 75, 75);
    EXPECT_TRUE(state.redrawPending);
    EXPECT_EQ(window.invalidations, 1);

    // A drag with no area changes nothing and asks for no paint.
    state.redrawPending = false;
    onButtonDown(state, false, 30, 10);
    onMouseMove(state, 30, 90);
    onButtonUp(state);
    expectWindow(state.worldWindow, 25, 25, 75, 75);
    EXPECT_FALSE(state.redrawPending);
    EXPECT_EQ(window.invalidations, 1);
}

TEST_F(Navigation, MoveDragDrawsALineAndKeepsThePointUnderThePointer) {
    chooseNavigationMode(state, kMoveMode);
    onButtonDown(state, false, 25, 25);
    onMouseMove(state, 75, 75);
    ASSERT_EQ(window.bandsShown.size(), 1u);
    EXPECT_EQ(window.bandsShown[0].kind, RubberBand::Kind::Line);
    onButtonUp(state);
    expectWindow(state.worldWindow, -50, 50, 50, 150);

    // In a flat window too: the scene point under the start ends under the end.
    state.worldWindow = {0, 0, 100, 50};
    state.clientWidth = 300;
    const Point before = pixelToWorld(state, 10, 90);
    onButtonDown(state, false, 10, 90);
    onMouseMove(state, 250, 5);
    onButtonUp(state);
    const Point after = pixelToWorld(state, 250, 5);
    EXPECT_NEAR(after.x, before.x, 1e-9);
    EXPECT_NEAR(after.y, before.y, 1e-9);

    // A click moves nothing but still redraws.
    state.redrawPending = false;
    onButtonDown(state, false, 40, 40);
    onButtonUp(state);
    EXPECT_TRUE(state.redrawPending);
    EXPECT_NEAR(pixelToWorld(state, 250, 5).x, before.x, 1e-9);
}

TEST_F(Navigation, TheBandEndStaysInTheClientArea) {
    onButtonDown(state, false, 50, 50);
    // While captured, positions left of and above the window are negative.
    onMouseMove(state, -30, -5);
    EXPECT_EQ(window.bandsShown, std::vector{rectangle(50, 50, 0, 0)});
    onMouseMove(state, 250, 180);
    EXPECT_EQ(window.bandsShown, std::vector{rectangle(50, 50, 100, 100)});
    // The client shrinking under the band: the drawn band is what is erased.
    resizeViewport(state, 80, 80);
    onMouseMove(state, 90, 90);
    EXPECT_EQ(window.bandsShown, std::vector{rectangle(50, 50, 80, 80)});
    onButtonUp(state);
    EXPECT_TRUE(window.bandsShown.empty());
}

TEST_F(Navigation, EscapeAndALostCaptureEndTheDragWithoutEffect) {
    onButtonDown(state, false, 10, 10);
    onMouseMove(state, 60, 70);
    cancelDrag(state);
    EXPECT_TRUE(window.bandsShown.empty());
    EXPECT_FALSE(window.captured);
    EXPECT_EQ(window.cursor, CursorShape::Arrow);
    onButtonUp(state);  // finds no drag
    expectWindow(state.worldWindow, 0, 0, 100, 100);
    EXPECT_FALSE(state.redrawPending);

    onButtonDown(state, false, 10, 10);
    onMouseMove(state, 60, 70);
    onCaptureLost(state);
    onMouseMove(state, 80, 80);
    onButtonUp(state);
    EXPECT_TRUE(window.bandsShown.empty());
    expectWindow(state.worldWindow, 0, 0, 100, 100);
}

TEST_F(Navigation, CtrlClickZoomsOutAndSwallowsOnlyItsOwnRelease) {
    onButtonDown(state, true, 50, 50);
    expectWindow(state.worldWindow, -20, -20, 120, 120);
    EXPECT_TRUE(state.redrawPending);
    EXPECT_EQ(window.inversions, 0);
    onButtonUp(state);

    state.worldWindow = {0, 0, 100, 100};
    onButtonDown(state, false, 25, 25);
    onMouseMove(state, 75, 75);
    onButtonUp(state);
    expectWindow(state.worldWindow, 25, 25, 75, 75);
}

TEST_F(Navigation, KeysStepTheViewAndHomeNeedsADocument) {
    onKeyDown(state, NavigationKey::ZoomIn);
    onKeyDown(state, NavigationKey::ZoomOut);
    onKeyDown(state, NavigationKey::Right);
    onKeyDown(state, NavigationKey::Up);
    expectWindow(state.worldWindow, 16.4, 16.4, 100.4, 100.4);
    EXPECT_EQ(window.invalidations, 4);
    onKeyDown(state, NavigationKey::Home);  // no document: no change
    EXPECT_DOUBLE_EQ(state.worldWindow.xmin, 16.4);
    state.redrawPending = false;
    const int invalidations = window.invalidations;
    onKeyDown(state, NavigationKey::Other);
    EXPECT_FALSE(state.redrawPending);
    EXPECT_EQ(window.invalidations, invalidations);

    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    onKeyDown(state, NavigationKey::ZoomIn);
    onKeyDown(state, NavigationKey::Home);
    expectWindow(state.worldWindow, 0, 0, 100, 50);
}

// The wheel zooms about the point under the pointer, which stays under it
// in a client of other proportions than the window, for whole and
// fractional notches.
TEST_F(Navigation, TheWheelKeepsThePointUnderThePointer) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    state.clientWidth = 300;
    state.clientHeight = 100;
    for (const double notches : {1.0, -1.0, 0.5, -2.5}) {
        const Point before = pixelToWorld(state, 70, 20);
        const double width = state.worldWindow.xmax - state.worldWindow.xmin;
        onWheel(state, 70, 20, notches);
        const Point after = pixelToWorld(state, 70, 20);
        EXPECT_NEAR(after.x, before.x, 1e-9) << notches;
        EXPECT_NEAR(after.y, before.y, 1e-9) << notches;
        EXPECT_NEAR(state.worldWindow.xmax - state.worldWindow.xmin, width * std::pow(0.8, notches), 1e-9);
    }
    EXPECT_TRUE(state.redrawPending);
    // Not during a drag.
    onButtonDown(state, false, 10, 10);
    const WorldWindow during = state.worldWindow;
    onWheel(state, 70, 20, 1.0);
    expectWindow(state.worldWindow, during.xmin, during.ymin, during.xmax, during.ymax);
    cancelDrag(state);
}

// The middle button moves the drawing with the pointer, drawing only the
// kept image until it is released, in either mode; the end is a move-mode
// drag's from the press to the release.
TEST_F(Navigation, TheMiddleButtonPansAsAMoveDragWould) {
    SceneFile file(twoLayerScene());
    openAndWait(state, file.path());
    window.makeGlCurrent();
    HeadlessSurface surface;
    paintWindow(state, surface);
    ASSERT_EQ(surface.draws, 1);
    const WorldWindow start = state.worldWindow;

    onMiddleButtonDown(state, 50, 40);
    EXPECT_TRUE(window.captured);
    EXPECT_EQ(window.cursor, CursorShape::Hand);
    onMouseMove(state, 30, 50);
    paintWindow(state, surface);
    EXPECT_EQ(surface.draws, 1);
    EXPECT_EQ(surface.movedShown, 2);
    onButtonDown(state, false, 10, 10);  // the left button waits
    EXPECT_TRUE(window.bandsShown.empty());
    onMiddleButtonUp(state, 20, 60);
    EXPECT_FALSE(window.captured);
    EXPECT_EQ(window.cursor, CursorShape::Arrow);
    paintWindow(state, surface);
    while (continueDrawing(state, surface)) {
    }
    EXPECT_EQ(surface.draws, 2);

    ViewerState byDrag;
    byDrag.clientWidth = state.clientWidth;
    byDrag.clientHeight = state.clientHeight;
    byDrag.worldWindow = start;
    byDrag.dragRect = {50, 40, 20, 60};
    moveByDrag(byDrag);
    expectWindow(state.worldWindow, byDrag.worldWindow.xmin, byDrag.worldWindow.ymin, byDrag.worldWindow.xmax,
                 byDrag.worldWindow.ymax);
}

}  // namespace
}  // namespace qmv::viewer::test
