// Geometry commands reach the callbacks with their decoded coordinates, and a
// failing callback is named in the error text.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "qmv/format.h"
#include "qmv/opcodes.h"
#include "scene_support.h"
#include "qmv/packed_file.h"
#include "qmv/writer/scene_file.h"
#include "temp_file.h"

namespace qmv::test {
namespace {

std::vector<std::string> bodyEvents(const SceneWriter& w) {
    Parsed p = parseScene(w);
    EXPECT_EQ(p.error, "");
    // Drop the layer and end-of-layers events around the body.
    return std::vector<std::string>(p.events.begin() + 1, p.events.end() - 1);
}

SceneWriter& inLayer(SceneWriter& w) {
    w.layer("l");
    return w;
}

TEST(Paths, PolylineVerticesAreChainedFromTheStart) {
    SceneWriter w(plainHeader());
    inLayer(w).polylineSteps({10, 10}, std::vector<Point>{{1, 0}, {0, 2}});
    EXPECT_THAT(bodyEvents(w),
                ElementsAre("begin 0 10 10 0", "vertex 11 10", "vertex 11 12", "end"));
}

TEST(Paths, PolygonsAreClosedByTheirKind) {
    SceneWriter w(plainHeader());
    inLayer(w).drawPolygonSteps({0, 0}, std::vector<Point>{{5, 0}, {0, 5}});
    w.fillPolygonSteps({0, 0}, std::vector<Point>{{5, 0}});
    EXPECT_THAT(bodyEvents(w), ElementsAre("begin 1 0 0 0", "vertex 5 0", "vertex 5 5", "end",
                                           "begin 1 0 0 1", "vertex 5 0", "end"));
}

TEST(Paths, EmptyPolylineStillBeginsAndEnds) {
    SceneWriter w(plainHeader());
    inLayer(w).polylineSteps({3, 4}, std::vector<Point>{});
    EXPECT_THAT(bodyEvents(w), ElementsAre("begin 0 3 4 0", "end"));
}

TEST(Paths, BitPackedStepsEndOnAByte) {
    SceneWriter w(plainHeader());
    inLayer(w).setRelPointSize(3);
    w.polylineSteps({0, 0}, std::vector<Point>{{1, 0}, {0, 1}, {-1, -1}});
    w.setRelPointSize(6);
    w.polylineSteps({0, 0}, std::vector<Point>{{3, -4}});
    w.mark({7, 7});
    EXPECT_THAT(bodyEvents(w), ElementsAre("begin 0 0 0 0", "vertex 1 0", "vertex 1 1",
                                           "vertex 0 0", "end", "begin 0 0 0 0", "vertex 3 -4",
                                           "end", "mark 7 7"));
}

// Lists far longer than a read block, in every step size: the steps decoded
// in runs and those that straddle two blocks (at irregular places when the
// blocks come out of the inflater) chain as one list.
TEST(Paths, LongListsOfEveryStepSizeCrossReadBlocks) {
    std::mt19937 rng(11);
    for (int size : {3, 6, 8, 16, 24, 32, 64, 128}) {
        const int reach = size == 3 ? 1 : size == 6 ? 3 : size == 8 ? 7 : size == 16 ? 127 : 2047;
        // One block and a third of steps.
        const size_t count = kPackedBlockBytes * 8 * 4 / 3 / static_cast<size_t>(size);
        std::uniform_int_distribution<int> value(-reach - 1, reach);
        std::vector<Point> steps(count);
        std::vector<std::string> expected = {"begin 0 -3 5 0"};
        double x = -3, y = 5;
        for (Point& step : steps) {
            step = {static_cast<double>(value(rng)), static_cast<double>(value(rng))};
            if (size == 3) step = {static_cast<double>(value(rng) | 1), 0};  // (1, 0) or (-1, 0)
            x += step.x;
            y += step.y;
            expected.push_back("vertex " + std::to_string(static_cast<int>(x)) + " " +
                               std::to_string(static_cast<int>(y)));
        }
        expected.push_back("end");
        SceneWriter w(plainHeader());
        inLayer(w).setRelPointSize(size);
        w.polylineSteps({-3, 5}, steps);
        w.mark({7, 7});
        ASSERT_TRUE(w.ok()) << w.error();
        for (const char* suffix : {".qmv", ".qmvz"}) {
            TempFile file(std::vector<uint8_t>{}, suffix);
            std::string why;
            ASSERT_TRUE(saveSceneBytes(w.bytes(), file.path(), why)) << why;
            EventLog log;
            EXPECT_EQ(parseWithLog(file.path(), log), "") << size << suffix;
            ASSERT_EQ(log.events.size(), expected.size() + 3) << size << suffix;
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), log.events.begin() + 1))
                << size << suffix;
            EXPECT_EQ(log.events[expected.size() + 1], "mark 7 7") << size << suffix;
        }
    }
}

TEST(Beziers, DrawnSegmentsChain) {
    SceneWriter w(plainHeader());
    inLayer(w).drawCubicBezierSteps(
        {0, 0}, std::vector<Point>{{1, 0}, {1, 0}, {1, 0}, {0, 1}, {0, 1}, {0, 1}});
    EXPECT_THAT(bodyEvents(w),
                ElementsAre("begin 2 0 0 0", "vertex 1 0", "vertex 2 0", "vertex 3 0", "end",
                            "begin 2 3 0 0", "vertex 3 1", "vertex 3 2", "vertex 3 3", "end"));
}

TEST(Beziers, FilledFigureClosesOnItsStart) {
    SceneWriter one(plainHeader());
    inLayer(one).fillCubicBezierSteps(1, {5, 5}, std::vector<Point>{{1, 0}, {0, 1}});
    EXPECT_THAT(bodyEvents(one),
                ElementsAre("begin 2 5 5 1", "vertex 6 5", "vertex 6 6", "vertex 5 5", "end"));

    SceneWriter three(plainHeader());
    std::vector<Point> steps(8, Point{1, 1});
    inLayer(three).fillCubicBezierSteps(3, {0, 0}, steps);
    three.mark({9, 9});
    auto events = bodyEvents(three);
    ASSERT_EQ(events.size(), 16u);
    EXPECT_EQ(events[10], "begin 2 6 6 1");
    EXPECT_EQ(events[13], "vertex 0 0");
    EXPECT_EQ(events[15], "mark 9 9");  // exactly 3 + 3 + 2 steps were read
}

TEST(Arcs, AnglesComeFromDirections) {
    SceneWriter w(plainHeader());
    inLayer(w).drawArc({50, 50}, {10, 5}, {1, 0}, {0, -1});
    w.fillArc({50, 50}, {10, 5}, {0, 1}, {-1, 0});
    auto events = bodyEvents(w);
    char expected[128];
    std::snprintf(expected, sizeof expected, "arc 50 50 10 5 0 %.10g 0",
                  kFormatFullTurn - std::numbers::pi / 2);
    EXPECT_EQ(events[0], expected);
    std::snprintf(expected, sizeof expected, "arc 50 50 10 5 %.10g %.10g 1", std::numbers::pi / 2,
                  std::numbers::pi);
    EXPECT_EQ(events[1], expected);
}

TEST(Shapes, BoxesCirclesEllipsesLinesMarks) {
    SceneWriter w(plainHeader());
    inLayer(w).drawBox({10, 20}, {-5, 7});
    w.fillBox({1, 2}, {3, 4});
    w.drawCircle({40, 40}, 5);
    w.fillCircle({40, 40}, 300);
    w.drawEllipse({5, 5}, {3, 2});
    w.fillEllipse({5, 5}, {2, 3});
    w.line({0, 0}, {100, -100});
    w.mark({1, 2});
    EXPECT_THAT(bodyEvents(w),
                ElementsAre("box 10 20 -5 7 0", "box 1 2 3 4 1", "circle 40 40 5 0",
                            "circle 40 40 300 1", "ellipse 5 5 3 2 0", "ellipse 5 5 2 3 1",
                            "line 0 0 100 -100", "mark 1 2"));
}

TEST(Shapes, AbsolutePointSizes) {
    SceneWriter w(plainHeader());
    inLayer(w).setPointSize(16);
    w.mark({-128, 127});
    w.setPointSize(24);
    w.mark({-2048, 2047});
    w.setPointSize(64);
    w.mark({0.5, -1e30});
    w.setPointSize(128);
    w.mark({0.1, 1e300});
    EXPECT_THAT(bodyEvents(w), ElementsAre("mark -128 127", "mark -2048 2047",
                                           "mark 0.5 -1.000000015e+30", "mark 0.1 1e+300"));
}

struct FailingCommand {
    int slot;
    void (*write)(SceneWriter&);
    const char* message;
};

TEST(Failures, EachCommandNamesItsEvent) {
    const std::vector<Point> steps{{1, 0}};
    static const std::vector<Point> kSteps{{1, 0}};
    static const std::vector<Point> kBezier{{1, 0}, {1, 0}, {1, 0}};
    const FailingCommand cases[] = {
        {QMVR_begin, [](SceneWriter& w) { w.polylineSteps({0, 0}, kSteps); },
         "Error returned by Callback called for QMVR_begin Polyline"},
        {QMVR_vertex, [](SceneWriter& w) { w.drawPolygonSteps({0, 0}, kSteps); },
         "Error returned by Callback called for QMVR_vertex Polygon"},
        {QMVR_end, [](SceneWriter& w) { w.fillPolygonSteps({0, 0}, kSteps); },
         "Error returned by Callback called for QMVR_end FillPolygon"},
        {QMVR_vertex, [](SceneWriter& w) { w.drawCubicBezierSteps({0, 0}, kBezier); },
         "Error returned by Callback called for QMVR_vertex CubicBezier"},
        {QMVR_begin, [](SceneWriter& w) { w.fillCubicBezierSteps(1, {0, 0}, std::vector<Point>{{1, 0}, {0, 1}}); },
         "Error returned by Callback called for QMVR_begin FillCubicBezier"},
        {QMVR_arc, [](SceneWriter& w) { w.drawArc({0, 0}, {1, 1}, {1, 0}, {0, 1}); },
         "Error returned by Callback called for QMVR_arc"},
        {QMVR_arc, [](SceneWriter& w) { w.fillArc({0, 0}, {1, 1}, {1, 0}, {0, 1}); },
         "Error returned by Callback called for QMVR_arc Fillarc"},
        {QMVR_box, [](SceneWriter& w) { w.fillBox({0, 0}, {1, 1}); },
         "Error returned by Callback called for QMVR_box Fillbox"},
        {QMVR_circle, [](SceneWriter& w) { w.fillCircle({0, 0}, 1); },
         "Error returned by Callback called for QMVR_circle Fillcircle"},
        {QMVR_ellipse, [](SceneWriter& w) { w.drawEllipse({0, 0}, {1, 1}); },
         "Error returned by Callback called for QMVR_ellipse"},
        {QMVR_ellipse, [](SceneWriter& w) { w.fillEllipse({0, 0}, {1, 1}); },
         "Error returned by Callback called for QMVR_ellipse Fillellipse"},
    };
    (void)steps;
    for (const FailingCommand& c : cases) {
        SceneWriter w(plainHeader());
        w.layer("l");
        c.write(w);
        EventLog log;
        log.failSlot = c.slot;
        Parsed p = parseScene(w, 1, &log);
        EXPECT_EQ(p.error, c.message);
        // The handler finishes its calls after a failure.
        if (c.slot == QMVR_begin) {
            EXPECT_EQ(std::count(p.events.begin(), p.events.end(), "end"), 1);
        }
    }
}

}  // namespace
}  // namespace qmv::test
