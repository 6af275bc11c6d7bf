// Pixels of the primitives, the blend modes, the dash pattern and placed
// shapes. Scenes are 100 x 100 units painted at 100 x 100 pixels, so a unit
// is a pixel and pixel column i covers x from i to i + 1.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "render_support.h"

namespace qmv::test {
namespace {

const Rgba kRed{255, 0, 0, 255};

TEST(Primitives, BoxesAndCirclesOutlinedAndFilled) {
    SceneWriter w(squareHeader());
    w.layer("l");
    w.setLineColor(rgb(255, 0, 0));
    w.drawBox({10, 10}, {30, 30});
    w.setFillColor(rgb(0, 0, 255));
    w.fillBox({60, 10}, {30, 30});
    w.drawCircle({25, 75}, 15);
    w.fillCircle({75, 75}, 15);
    w.finish();
    const Painted p = paint(w, 100, 100, {}, kCentred);

    EXPECT_TRUE(near(p.at(10, 25), kRed));  // left side of the outline
    EXPECT_TRUE(near(p.at(40, 25), kRed));  // right side
    EXPECT_TRUE(near(p.at(25, 10), kRed));  // bottom
    EXPECT_TRUE(near(p.at(25, 25), kWhite));  // inside an outline
    EXPECT_TRUE(near(p.at(61, 11), {0, 0, 255, 255}));
    EXPECT_TRUE(near(p.at(89, 39), {0, 0, 255, 255}));
    EXPECT_TRUE(near(p.at(91, 25), kWhite));
    EXPECT_TRUE(near(p.at(40, 75), kRed));  // rim of the outline at angle 0
    EXPECT_TRUE(near(p.at(25, 75), kWhite));
    EXPECT_TRUE(near(p.at(75, 75), {0, 0, 255, 255}));
    EXPECT_TRUE(near(p.at(75, 89), {0, 0, 255, 255}));
    EXPECT_TRUE(near(p.at(75, 91.5), kWhite));
}

// Line loops keep their closing edge when a Bézier segment follows them in
// the same layer (Mesa's list compiler breaks them if the segment's
// evaluator shares their list).
TEST(Primitives, OutlinesBeforeABezierStayClosed) {
    SceneWriter w(squareHeader());
    w.layer("l");
    w.setLineColor(rgb(255, 0, 0));
    w.drawPolygon({{20, 60}, {80, 60}, {80, 90}});
    w.drawBox({20, 20}, {20, 20});
    w.drawCubicBezier({50, 10}, {{{60, 30}, {70, 30}, {90, 10}}});
    w.finish();
    const Painted p = paint(w, 100, 100, {}, kCentred);
    EXPECT_TRUE(near(p.at(50, 75), kRed));  // the closing edge, (80, 90) to (20, 60)
    EXPECT_TRUE(near(p.at(20, 30), kRed));  // the box's left side
    // Nothing strays towards the origin.
    for (int i = 1; i < 10; ++i) EXPECT_TRUE(near(p.at(i * 2, i * 6), kWhite)) << i;
}

// Colours are given inside glBegin for most primitives but before it for a
// Bézier segment (Mesa's list replay drops a colour given between glBegin
// and evaluated points): each keeps its own colour, in any order.
TEST(Primitives, EveryKindKeepsItsColourBesideBezierSegments) {
    SceneWriter w(squareHeader());
    w.layer("l");
    w.setLineColor(rgb(255, 0, 0));
    w.setFillColor(rgb(0, 0, 255));
    w.fillBox({5, 5}, {10, 10});
    w.drawCubicBezier({20, 10}, {{{30, 30}, {40, 30}, {50, 10}}});
    w.fillCubicBezier({60, 10}, {{{65, 40}, {85, 40}, {90, 10}}, {{85, 8}, {65, 8}, {60, 10}}});
    w.setLineColor(rgb(0, 255, 0));
    w.setFillColor(rgb(255, 0, 255));
    w.drawBox({10, 60}, {20, 20});
    w.fillCircle({70, 70}, 10);
    w.finish();
    const Painted p = paint(w, 100, 100, {}, kCentred);
    EXPECT_TRUE(near(p.at(10, 10), {0, 0, 255, 255}));  // the box before the curves
    EXPECT_TRUE(near(p.at(75, 20), {0, 0, 255, 255}));  // inside the filled segment
    EXPECT_TRUE(near(p.at(10, 70), {0, 255, 0, 255}));  // the box outline after them
    EXPECT_TRUE(near(p.at(70, 70), {255, 0, 255, 255}));
    // The outline segment is red where it crosses x = 35 (its top, y 25).
    bool red = false;
    for (double y = 20; y <= 30; y += 0.5) red = red || near(p.at(35, y), kRed);
    EXPECT_TRUE(red);
}

// A mark is a circle of radius 4 in the line colour, whatever the mark colour.
TEST(Primitives, MarksTakeTheLineColour) {
    SceneWriter w(squareHeader());
    w.layer("l");
    w.setMarkColor(rgb(0, 255, 0));
    w.setLineColor(rgb(255, 0, 0));
    w.mark({50, 50});
    w.finish();
    const Painted p = paint(w);
    EXPECT_TRUE(near(p.at(53.9, 50.2), kRed));
    EXPECT_TRUE(near(p.at(50, 50), kWhite));
    const Painted::Box box = p.inkBox(kWhite);
    EXPECT_NEAR(box.xmax - box.xmin, 9, 1);
}

// 0x00FF: eight pixels drawn, eight left out, from the first pixel of the
// line; 0xFFFF draws solid.
TEST(Primitives, DashPatternsCountPixels) {
    SceneWriter w(squareHeader());
    w.setLineDashes(0x00FF);  // the global layer's pattern starts every layer
    w.layer("dashed");
    w.setLineColor(rgb(0, 0, 0));
    w.line({10, 30}, {80, 0});
    w.setLineDashes(0xFFFF);
    w.line({10, 60}, {80, 0});
    w.finish();
    const Painted p = paint(w, 100, 100, {}, kCentred);
    std::string dashed, solid;
    for (int x = 10; x < 90; ++x) {
        dashed += p.at(x, 30) == kBlack ? '#' : '.';
        solid += p.at(x, 60) == kBlack ? '#' : '.';
    }
    std::string expected;
    for (int i = 0; i < 80; ++i) expected += (i / 8) % 2 == 0 ? '#' : '.';
    EXPECT_EQ(dashed, expected);
    EXPECT_EQ(solid, std::string(80, '#'));
}

// Half-transparent red over white, in each blend mode. The colour buffer has
// no alpha, so the destination alpha reads as 1.
TEST(Primitives, BlendModesCombineSourceAndDestination) {
    SceneWriter w(squareHeader(80));
    w.setColorSize(7);
    w.layer("l");
    w.setFillColor(Color{1, 0, 0, 128 / 255.0});
    for (int mode = 0; mode < 8; ++mode) {
        w.setBlendMode(mode);
        w.fillBox({mode * 10.0, 0}, {10, 80});
    }
    w.finish();
    const Painted p = paint(w, 80, 80);
    const Rgba expected[8] = {
        {0, 0, 0, 255},        // zero, zero
        {255, 0, 0, 255},      // one, zero
        {255, 127, 127, 255},  // alpha blending
        {255, 255, 255, 255},  // 1 - dst alpha = 0: white stays
        {255, 0, 0, 255},      // dst alpha = 1
        {128, 128, 128, 255},  // white times the source alpha
        {0, 0, 0, 255},
        {127, 127, 127, 255},
    };
    for (int mode = 0; mode < 8; ++mode) {
        EXPECT_TRUE(near(p.at(mode * 10 + 5, 40), expected[mode])) << "mode " << mode;
    }
}

// The reader passes a mode above 7 to the layers' start as it stands.
TEST(Primitives, AnUnknownBlendModeKeepsThePreviousOne) {
    SceneWriter w(squareHeader());
    w.setColorSize(7);
    w.setFillColor(Color{1, 0, 0, 128 / 255.0});
    w.rawOpcode(static_cast<uint8_t>(QMVR_SetBlendMode));
    w.rawByte(9);
    w.layer("sets mode 5");
    w.setBlendMode(5);
    w.fillBox({0, 0}, {50, 100});
    w.layer("starts with mode 9");
    w.fillBox({50, 0}, {50, 100});
    w.finish();
    EXPECT_TRUE(near(paint(w).at(75, 50), {128, 128, 128, 255}));
}

// A shape whose reference point is (10, 10): a red box 10 wide, 5 high.
void writeBoxShape(SceneWriter& w) {
    w.beginShape({10, 10});
    w.setFillColor(rgb(255, 0, 0));
    w.fillBox({0, 0}, {10, 5});
    w.endShape();
}

TEST(Primitives, ShapesAreStampedAndPlacedScaledAndTurned) {
    struct Case {
        const char* name;
        double angle;
        Point scale;
        Painted::Box box;  // where the shape lands when placed at (50, 50)
    };
    const Case cases[] = {
        {"as stamped", 0, {10, 10}, {50, 50, 60, 55, false}},
        {"twice as large", 0, {20, 20}, {50, 50, 70, 60, false}},
        {"quarter turn", std::numbers::pi / 2, {20, 20}, {40, 50, 50, 70, false}},
        {"half turn, stretched", std::numbers::pi, {30, 10}, {20, 45, 50, 50, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SceneWriter w(squareHeader());
        writeBoxShape(w);
        w.layer("l");
        w.shape(0, {50, 50}, w.directionFor(c.angle), c.scale);
        w.finish();
        const Painted::Box box = paint(w).inkBox(kWhite);
        ASSERT_FALSE(box.empty);
        EXPECT_NEAR(box.xmin, c.box.xmin, 1);
        EXPECT_NEAR(box.xmax, c.box.xmax, 1);
        EXPECT_NEAR(box.ymin, c.box.ymin, 1);
        EXPECT_NEAR(box.ymax, c.box.ymax, 1);
    }
    SceneWriter w(squareHeader());
    writeBoxShape(w);
    w.layer("l");
    w.stampShape(0, {20, 30});
    w.repeatShape({70, 80});
    w.finish();
    const Painted p = paint(w);
    EXPECT_TRUE(near(p.at(25, 32), kRed));
    EXPECT_TRUE(near(p.at(75, 82), kRed));
    EXPECT_TRUE(near(p.at(25, 36), kWhite));
}

}  // namespace
}  // namespace qmv::test
