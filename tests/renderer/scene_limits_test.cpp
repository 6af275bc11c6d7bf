// What the scene's limits count: a layer's own drawing is stored but never
// counted as a replay; a placement counts what its shape replays,
// multiplied down the nesting, with line pixels scaled by the placement;
// an edge set counts again at every draw.
#include <gtest/gtest.h>

#include "render_scene.h"
#include "render_support.h"

namespace qmv::test {
namespace {

// The counts of a scene read whole.
struct Counts {
    double stored = 0.0, vertices = 0.0, linePixels = 0.0;
};

Counts countsOf(const SceneWriter& w) {
    Counts counts;
    if (!glContext().ok()) return counts;
    SceneFile file(w);
    SceneDocument document(file.path().c_str());
    EXPECT_EQ(document.error(), nullptr) << document.error();
    if (document.scene() == nullptr) return counts;
    const renderer::SceneLimits& limits = document.scene()->limits;
    return {limits.storedVertices(), limits.replayedVertices(), limits.replayedLinePixels()};
}

// The counts of a scene whose shape 0 is a polyline of 10 points, with
// `place` adding shapes and the layer.
template <typename Place>
Counts withPolylineShape(Place place) {
    SceneWriter w(squareHeader());
    w.beginShape({1, 1});
    w.polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 20}, {10, 20}, {10, 30}, {0, 30},
                {0, 40}, {10, 40}});
    w.endShape();
    place(w);
    w.finish();
    return countsOf(w);
}

TEST(SceneLimits, PlacementsCountTheirShapesMultipliedDownTheNesting) {
    SceneWriter own(squareHeader());
    own.layer("l");
    own.polyline({{0, 0}, {10, 0}, {10, 10}});
    own.finish();
    const Counts layerOnly = countsOf(own);
    EXPECT_GT(layerOnly.stored, 0.0);
    EXPECT_EQ(layerOnly.vertices, 0.0);

    const Counts once = withPolylineShape([](SceneWriter& w) {
        w.layer("l");
        w.stampShape(0, {50, 50});
    });
    EXPECT_GE(once.vertices, 10.0);
    // A shape placing shape 0 three times, placed twice: six replays of
    // shape 0, and a few primitives of the placements themselves.
    const Counts nested = withPolylineShape([](SceneWriter& w) {
        w.beginShape({1, 1});
        for (int i = 0; i < 3; ++i) w.stampShape(0, {20.0 * i, 0});
        w.endShape();
        w.layer("l");
        w.stampShape(1, {0, 0});
        w.stampShape(1, {0, 50});
    });
    EXPECT_GE(nested.vertices, 6 * once.vertices);
    EXPECT_LT(nested.vertices, 6 * once.vertices + 12);
    EXPECT_NEAR(nested.linePixels, 6 * once.linePixels, 1e-6);

    const Counts scaled = withPolylineShape([](SceneWriter& w) {
        w.layer("l");
        w.shape(0, {50, 50}, {1, 0}, {3, 3});
    });
    EXPECT_EQ(scaled.vertices, once.vertices);
    EXPECT_NEAR(scaled.linePixels, 3 * once.linePixels, 1e-6);
}

TEST(SceneLimits, EveryDrawOfAnEdgeSetCountsItsPoints) {
    auto drawn = [](int times) {
        SceneWriter w(squareHeader());
        w.setEdge({{0, 0}, {{24, {{10, 0}, {0, 10}, {-10, 0}}}}});
        w.layer("l");
        for (int i = 0; i < times; ++i) w.drawEdge(0);
        w.finish();
        return countsOf(w);
    };
    const Counts one = drawn(1), five = drawn(5);
    EXPECT_GE(one.vertices, 4.0);
    EXPECT_DOUBLE_EQ(five.vertices, 5 * one.vertices);
    EXPECT_DOUBLE_EQ(five.linePixels, 5 * one.linePixels);
}

}  // namespace
}  // namespace qmv::test
