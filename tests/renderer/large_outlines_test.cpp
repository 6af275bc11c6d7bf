// Outlines and fills of many points, and many outlines in one layer: the
// sizes where the GL's list compiler splits primitives across vertex
// stores and where the tessellator's sweep grows with the square of an
// outline. Scenes are 400 pixels square painted at 400 x 400 pixels, with
// 1 000 scene units a pixel, so that points of fractions of a pixel are
// whole scene coordinates (all a file holds).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "render_support.h"

namespace qmv::test {
namespace {

constexpr int kSide = 400;
constexpr double kUnit = 1000.0;  // scene units a pixel

// Points and steps of 32 bits a coordinate.
SceneHeader fineHeader() {
    SceneHeader header = squareHeader(kSide * kUnit);
    header.absPointSize = 64;
    header.relPointSize = 64;
    return header;
}

// A point given in pixels, as a scene point.
Point px(double x, double y) { return {std::round(x * kUnit), std::round(y * kUnit)}; }

std::vector<Point> ring(Point centre, double radius, int n) {
    std::vector<Point> points;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * std::numbers::pi * i / n;
        points.push_back(px(centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)));
    }
    return points;
}

// The pixel whose centre is (x + 0.5, y + 0.5) in pixels.
Rgba pixel(const Painted& p, int x, int y) { return p.at((x + 0.5) * kUnit, (y + 0.5) * kUnit); }

// Pixels with their centre inside `inside` (pixel coordinates) that are not
// background: a chord across an outline shows there.
int inkInside(const Painted& p, const std::function<bool(double, double)>& inside) {
    int ink = 0;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if (inside(x + 0.5, y + 0.5) && !near(pixel(p, x, y), kWhite)) ++ink;
        }
    }
    return ink;
}

// A layer of 100 polygon outlines of 5 000 points, one of 4 000 box
// outlines, one of 4 000 ellipse outlines: the outlines are drawn and
// nothing crosses their insides.
TEST(LargeOutlines, ManyLongOutlinesInOneLayerHaveNoChords) {
    const SceneHeader header = fineHeader();
    struct Case {
        const char* name;
        std::function<void(SceneWriter&)> draw;
        std::function<bool(double, double)> inside;
    };
    auto cell = [](double v, double size) { return std::fmod(v, size); };
    const Case cases[] = {
        {"polygons",
         [](SceneWriter& w) {
             for (int i = 0; i < 100; ++i) {
                 const Point c{20.0 + 40 * (i % 10), 20.0 + 40 * (i / 10)};
                 w.drawPolygon(ring(c, 18, 5000));
             }
         },
         [&](double x, double y) { return std::hypot(cell(x, 40) - 20, cell(y, 40) - 20) < 16; }},
        {"boxes",
         [](SceneWriter& w) {
             for (int i = 0; i < 4000; ++i) {
                 const double x = 10.0 * (i % 40), y = 10.0 * ((i / 40) % 40);
                 w.drawBox(px(x + 1, y + 1), px(8, 8));
             }
         },
         [&](double x, double y) {
             return cell(x, 10) > 2.5 && cell(x, 10) < 8.5 && cell(y, 10) > 2.5 && cell(y, 10) < 8.5;
         }},
        {"ellipses",
         [](SceneWriter& w) {
             for (int i = 0; i < 4000; ++i) {
                 const double x = 10.0 * (i % 40), y = 10.0 * ((i / 40) % 40);
                 w.drawEllipse(px(x + 5, y + 5), px(4, 4));
             }
         },
         [&](double x, double y) { return std::hypot(cell(x, 10) - 5, cell(y, 10) - 5) < 2.5; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SceneWriter w(header);
        w.layer("outlines");
        w.setLineColor(rgb(0, 0, 0));
        c.draw(w);
        w.finish();
        ASSERT_TRUE(w.ok()) << w.error();
        const Painted p = paint(w, kSide, kSide);
        ASSERT_EQ(p.error, "");
        EXPECT_FALSE(p.inkBox(kWhite).empty);
        EXPECT_EQ(inkInside(p, c.inside), 0);
    }
}

// Filled outlines far past what the tessellator could take: a comb of
// 50 000 teeth, and two rings of a million points as one outline, filled
// by the odd rule.
TEST(LargeOutlines, HugeFilledOutlinesFillByTheOddRule) {
    const SceneHeader header = fineHeader();
    const Rgba kBlue{0, 0, 255, 255};
    {
        // Teeth 3/1000 pixel wide every 7/1000, so a pixel holds many and
        // pixel centres fall in teeth and gaps; the comb's back runs along
        // y from 300 to 400.
        SceneWriter w(header);
        w.layer("comb");
        w.setFillColor(rgb(0, 0, 255));
        std::vector<Point> comb{px(0, 300)};
        for (int i = 0; i < 50000; ++i) {
            const double x = 7.0 * i;
            comb.push_back({x, 100 * kUnit}), comb.push_back({x + 3, 100 * kUnit});
            comb.push_back({x + 3, 300 * kUnit}), comb.push_back({x + 7, 300 * kUnit});
        }
        comb.push_back(px(400, 400)), comb.push_back(px(0, 400));
        w.fillPolygon(comb);
        w.finish();
        const Painted p = paint(w, kSide, kSide);
        ASSERT_EQ(p.error, "");
        EXPECT_TRUE(near(pixel(p, 200, 350), kBlue));   // the back
        int teeth = 0, gaps = 0;
        for (int x = 10; x < 340; ++x) {
            teeth += near(pixel(p, x, 200), kBlue);
            gaps += near(pixel(p, x, 200), kWhite);
        }
        EXPECT_GT(teeth, 50);
        EXPECT_GT(gaps, 50);
        EXPECT_EQ(teeth + gaps, 330);
        EXPECT_TRUE(near(pixel(p, 200, 50), kWhite));   // below them
    }
    {
        // Two rings of a million points each, traced as one outline: where
        // they overlap every point is inside twice, which the odd rule
        // leaves empty.
        SceneWriter w(header);
        w.layer("rings");
        w.setFillColor(rgb(0, 0, 255));
        std::vector<Point> outline = ring({150, 200}, 100, 1000000);
        const std::vector<Point> second = ring({250, 200}, 100, 1000000);
        outline.insert(outline.end(), second.begin(), second.end());
        w.fillPolygon(outline);
        w.finish();
        ASSERT_TRUE(w.ok()) << w.error();
        const Painted p = paint(w, kSide, kSide);
        ASSERT_EQ(p.error, "");
        EXPECT_TRUE(near(pixel(p, 100, 200), kBlue));
        EXPECT_TRUE(near(pixel(p, 300, 200), kBlue));
        EXPECT_TRUE(near(pixel(p, 200, 200), kWhite));  // both rings
        EXPECT_TRUE(near(pixel(p, 200, 320), kWhite));  // neither
    }
}

}  // namespace
}  // namespace qmv::test
