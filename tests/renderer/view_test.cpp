// The world window fitted to the client area, and pixels turned into scene
// points with the same fitting.
#include <gtest/gtest.h>

#include "qmv/view.h"

namespace qmv {
namespace {

void expectShown(const ShownWindow& shown, double left, double right, double bottom,
                 double top) {
    EXPECT_DOUBLE_EQ(shown.left(), left);
    EXPECT_DOUBLE_EQ(shown.right(), right);
    EXPECT_DOUBLE_EQ(shown.bottom(), bottom);
    EXPECT_DOUBLE_EQ(shown.top(), top);
}

TEST(View, TheWindowGrowsToTheClientsProportionsAboutItsCentre) {
    expectShown(fitToClient({0, 0, 100, 50}, 200, 200), 0, 100, -25, 75);
    expectShown(fitToClient({0, 0, 100, 100}, 400, 200), -50, 150, 0, 100);
    expectShown(fitToClient({10, 20, 30, 60}, 100, 100), 0, 40, 20, 60);
    expectShown(fitToClient({-5, 0, 795, 600}, 800, 600), -5, 795, 0, 600);
}

TEST(View, PixelsBecomeScenePointsWithRowZeroAtTheTop) {
    const WorldWindow world{0, 0, 100, 100};
    const Point topLeft = pixelToWorld(world, 100, 100, 0, 0);
    EXPECT_DOUBLE_EQ(topLeft.x, 0);
    EXPECT_DOUBLE_EQ(topLeft.y, 100);
    const Point p = pixelToWorld(world, 100, 100, 25, 75);
    EXPECT_DOUBLE_EQ(p.x, 25);
    EXPECT_DOUBLE_EQ(p.y, 25);
    // A wide client shows more than the window: pixel 0 is left of xmin.
    const Point q = pixelToWorld(world, 400, 200, 0, 200);
    EXPECT_DOUBLE_EQ(q.x, -50);
    EXPECT_DOUBLE_EQ(q.y, 0);
}

TEST(View, WorldToPixelUndoesPixelToWorld) {
    const WorldWindow world{-3, 7, 41, 19};
    for (double px : {0.0, 13.5, 320.0}) {
        for (double py : {0.0, 77.25, 240.0}) {
            const Point back =
                worldToPixel(world, 320, 240, pixelToWorld(world, 320, 240, px, py));
            EXPECT_NEAR(back.x, px, 1e-9);
            EXPECT_NEAR(back.y, py, 1e-9);
        }
    }
}

}  // namespace
}  // namespace qmv
