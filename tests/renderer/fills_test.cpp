// Solid, gradient, texture and stretched texture fills, on the primitives
// that compute them per vertex and on tessellated polygons and faces, which
// carry the fill attribute of each vertex too.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "render_support.h"

namespace qmv::test {
namespace {

const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};
const Rgba kBlue{0, 0, 255, 255};
const Rgba kYellow{255, 255, 0, 255};

Rgba grey(int v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v), static_cast<uint8_t>(v), 255}; }

// The whole view covered by one filled figure of each kind that fills with
// the current fill attribute.
using Figure = std::function<void(SceneWriter&)>;
const std::pair<const char*, Figure> kCoveringFigures[] = {
    {"box", [](SceneWriter& w) { w.fillBox({0, 0}, {100, 100}); }},
    {"polygon", [](SceneWriter& w) { w.fillPolygon({{0, 0}, {100, 0}, {100, 100}, {0, 100}}); }},
    {"circle", [](SceneWriter& w) { w.fillCircle({50, 50}, 72); }},
};

// A black-to-white gradient along x from 0 to 100. Colours are computed at
// the vertices and interpolated between them, so the figures keep their
// vertices inside the gradient's span.
TEST(Fills, GradientsFollowTheAxisOnEveryFigure) {
    const std::pair<const char*, Figure> figures[] = {
        kCoveringFigures[0], kCoveringFigures[1],
        {"circle", [](SceneWriter& w) { w.fillCircle({50, 50}, 50); }},
        {"sector", [](SceneWriter& w) {
             w.fillArc({50, 50}, {50, 50}, w.directionFor(-1.4), w.directionFor(1.4));
         }},
    };
    for (const auto& [name, figure] : figures) {
        SCOPED_TRACE(name);
        SceneWriter w(squareHeader());
        w.layer("l");
        w.setGradientFill({0, 0}, rgb(0, 0, 0), {100, 0}, rgb(255, 255, 255));
        figure(w);
        w.finish();
        const Painted p = paint(w);
        EXPECT_TRUE(near(p.at(75, 40), grey(191), 4));
        EXPECT_TRUE(near(p.at(90, 55), grey(230), 4));
        if (std::string(name) != "sector") {
            EXPECT_TRUE(near(p.at(25, 50), grey(64), 4));
            EXPECT_TRUE(near(p.at(50, 90), grey(128), 4));
        }
    }
}

TEST(Fills, SolidFillsUseTheFillColourToTheLastPixel) {
    for (const auto& [name, figure] : kCoveringFigures) {
        SCOPED_TRACE(name);
        SceneWriter w(squareHeader());
        w.layer("l");
        w.setLineColor(rgb(255, 0, 0));
        w.setFillColor(rgb(0, 0, 255));
        figure(w);
        w.finish();
        const Painted p = paint(w);
        for (Point q : std::vector<Point>{{0.5, 0.5}, {99.5, 99.5}, {50, 50}, {0.5, 99.5}}) {
            EXPECT_TRUE(near(p.at(q.x, q.y), kBlue)) << q.x << ", " << q.y;
        }
    }
}

// A 32 x 32 image in four colours: red bottom left, green bottom right,
// blue top left, yellow top right.
int defineQuadrants(SceneWriter& w) {
    std::vector<Color> pixels;  // top row first
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
            const bool top = row < 16, right = column >= 16;
            pixels.push_back(top ? (right ? rgb(255, 255, 0) : rgb(0, 0, 255))
                                 : (right ? rgb(0, 255, 0) : rgb(255, 0, 0)));
        }
    }
    return w.setImage(32, 32, pixels);
}

// A repeated texture: one copy every 32 units from the origin (10, 10).
TEST(Fills, TexturesRepeatFromTheirOriginOnEveryFigure) {
    for (const auto& [name, figure] : kCoveringFigures) {
        SCOPED_TRACE(name);
        SceneWriter w(squareHeader());
        const int image = defineQuadrants(w);
        w.layer("l");
        w.setTextureFill({10, 10}, image);
        figure(w);
        w.finish();
        const Painted p = paint(w);
        EXPECT_TRUE(near(p.at(15, 15), kRed));
        EXPECT_TRUE(near(p.at(35, 15), kGreen));
        EXPECT_TRUE(near(p.at(15, 35), kBlue));
        EXPECT_TRUE(near(p.at(35, 35), kYellow));
        EXPECT_TRUE(near(p.at(47, 47), kRed));   // the next copy
        EXPECT_TRUE(near(p.at(5, 5), kYellow));  // and the one before
    }
}

// A stretched texture: one copy over the rectangle (0, 0)..(100, 50),
// repeated beyond it.
TEST(Fills, StretchedTexturesCoverTheirRectangle) {
    for (const auto& [name, figure] : kCoveringFigures) {
        SCOPED_TRACE(name);
        SceneWriter w(squareHeader());
        const int image = defineQuadrants(w);
        w.layer("l");
        w.setStretchedTextureFill({0, 0}, {100, 50}, image);
        figure(w);
        w.finish();
        const Painted p = paint(w);
        EXPECT_TRUE(near(p.at(20, 10), kRed));
        EXPECT_TRUE(near(p.at(80, 10), kGreen));
        EXPECT_TRUE(near(p.at(20, 40), kBlue));
        EXPECT_TRUE(near(p.at(80, 40), kYellow));
        EXPECT_TRUE(near(p.at(20, 60), kRed));
    }
}

// Self-intersecting outlines are filled by the odd winding rule: a
// pentagram leaves its centre open.
TEST(Fills, SelfIntersectingPolygonsFillByTheOddRule) {
    std::vector<Point> star;
    for (int i = 0; i < 5; ++i) {
        const double a = std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        star.push_back({std::round(50 + 45 * std::cos(a)), std::round(50 + 45 * std::sin(a))});
    }
    SceneWriter w(squareHeader());
    w.layer("l");
    w.setGradientFill({0, 0}, rgb(255, 0, 0), {0, 100}, rgb(0, 0, 255));
    w.fillPolygon(star);
    w.fillPolygon({{5, 5}, {25, 25}, {25, 5}, {5, 25}});  // a bow tie
    w.finish();
    const Painted p = paint(w);
    EXPECT_TRUE(near(p.at(50, 50), kWhite));             // inside twice
    EXPECT_FALSE(near(p.at(50, 88), kWhite, 30));        // a tip, inside once
    EXPECT_FALSE(near(p.at(8, 15), kWhite, 30));         // left wing of the bow tie
    EXPECT_TRUE(near(p.at(15, 8), kWhite));              // between the wings
    // The vertices made at the crossings blend the gradient, no stray colour.
    const Rgba tip = p.at(50, 88);
    EXPECT_GT(tip.b, tip.r);

    // A solid star turns one way only, as a convex outline does, but winds
    // twice: it must not be fanned as one.
    SceneWriter solid(squareHeader());
    solid.layer("l");
    solid.setFillColor(rgb(255, 0, 0));
    solid.fillPolygon(star);
    solid.finish();
    const Painted s = paint(solid);
    EXPECT_TRUE(near(s.at(50, 50), kWhite));
    EXPECT_TRUE(near(s.at(50, 88), kRed));
}

// A lake face bounded by two edge sets, gradient filled, and one of the
// edges drawn on top.
TEST(Fills, FacesAreFilledPerVertexAndEdgesDrawnAsStrips) {
    SceneWriter w(squareHeader());
    w.setEdge({{10, 10}, {{24, {{80, 0}, {0, 40}}}}});   // (10,10) (90,10) (90,50)
    w.setEdge({{90, 50}, {{24, {{0, 40}, {-80, 0}}}}});  // (90,50) (90,90) (10,90)
    w.setFace({1, 2}, {});
    w.layer("l");
    w.setGradientFill({10, 0}, rgb(0, 0, 0), {90, 0}, rgb(255, 255, 255));
    w.fillFace(0);
    w.setLineColor(rgb(255, 0, 0));
    w.setFillColor(rgb(255, 0, 0));
    w.drawEdge(2);
    w.finish();
    const Painted p = paint(w);
    ASSERT_EQ(p.error, "");
    EXPECT_TRUE(near(p.at(30, 50), grey(64), 6));
    EXPECT_TRUE(near(p.at(70, 30), grey(191), 6));
    EXPECT_TRUE(near(p.at(5, 50), kWhite));
    EXPECT_TRUE(near(p.at(50, 89.5), kRed));  // the drawn edge along the top
}

// Outlines of many points are tessellated in slabs: the pieces must meet
// without a gap or a doubly blended seam, and every part must be drawn.
TEST(Fills, LargeOutlinesAreFilledWholeWithoutSeams) {
    std::vector<Point> ring;
    for (int i = 0; i < 3000; ++i) {
        const double a = 2.0 * std::numbers::pi * i / 3000;
        ring.push_back({std::round(500 + 400 * std::cos(a)), std::round(500 + 400 * std::sin(a))});
    }
    SceneWriter w(squareHeader(1000));
    w.setColorSize(7);
    w.layer("l");
    w.setFillColor(Color{0, 0, 1, 128 / 255.0});
    w.fillPolygon(ring);
    w.finish();
    const Painted p = paint(w, 400, 400);
    ASSERT_EQ(p.error, "");
    const Rgba half{127, 127, 255, 255};
    ASSERT_TRUE(near(p.at(500, 500), half, 1));
    int wrong = 0;
    for (int row = 0; row < 400; ++row) {
        for (int col = 0; col < 400; ++col) {
            const double x = (col + 0.5) * 2.5, y = (row + 0.5) * 2.5;
            const double r = std::hypot(x - 500, y - 500);
            const Rgba seen = p.image.at(col, 399 - row);
            if (r < 396 && !(seen == p.at(500, 500))) ++wrong;
            if (r > 404 && !(seen == kWhite)) ++wrong;
            if (!(seen == kWhite) && !(seen == p.at(500, 500))) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(Fills, CombsAreFilledToothByTooth) {
    std::vector<Point> comb;
    for (int i = 0; i < 400; ++i) {
        const double x = 10.0 * i;
        comb.insert(comb.end(), {{x, 0}, {x, 1000}, {x + 5, 1000}, {x + 5, 0}});
    }
    comb.insert(comb.end(), {{4000, -100}, {2000, -100}, {0, -100}});
    SceneWriter w(squareHeader(4000));
    w.layer("l");
    w.setFillColor(rgb(0, 0, 255));
    w.fillPolygon(comb);
    w.finish();
    for (double left : {0.0, 1900.0, 3800.0}) {
        SCOPED_TRACE(left);
        const Painted p = paint(w, 400, 400, {}, WorldWindow{left, -100, left + 200, 100});
        ASSERT_EQ(p.error, "");
        for (int i = 0; i < 20; ++i) {
            const double x = left + 10.0 * i;
            EXPECT_TRUE(near(p.at(x + 2.5, 50), kBlue)) << "tooth at " << x;
            EXPECT_TRUE(near(p.at(x + 7.5, 50), kWhite)) << "gap after " << x;
            EXPECT_TRUE(near(p.at(x + 7.5, -80), kBlue)) << "bar below " << x;
        }
    }
}

}  // namespace
}  // namespace qmv::test
