// Cutting large outlines into slabs: the pieces must fill exactly what the
// outline fills by the odd winding rule, whatever the outline does.
#include "slab_split.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace qmv::renderer {
namespace {

// The winding number of p, counted by the edges that cross the ray to its
// right.
int winding(const std::vector<Point>& outline, Point p) {
    int w = 0;
    for (size_t i = 0; i < outline.size(); ++i) {
        const Point a = outline[i];
        const Point b = outline[(i + 1) % outline.size()];
        const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
        if (a.y <= p.y && b.y > p.y && side > 0) ++w;
        if (a.y > p.y && b.y <= p.y && side < 0) --w;
    }
    return w;
}

double signedArea(const std::vector<Point>& outline) {
    double twice = 0.0;
    for (size_t i = 0; i < outline.size(); ++i) {
        const Point a = outline[i];
        const Point b = outline[(i + 1) % outline.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2.0;
}

std::vector<Point> comb(int teeth) {
    std::vector<Point> points;
    for (int i = 0; i < teeth; ++i) {
        const double x = 10.0 * i;
        points.insert(points.end(), {{x, 0}, {x, 1000}, {x + 5, 1000}, {x + 5, 0}});
    }
    points.insert(points.end(), {{10.0 * teeth, -100}, {0, -100}});
    return points;
}

// A random walk of whole steps: it crosses itself, doubles back and
// revisits points.
std::vector<Point> randomWalk(int n, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> step(-20, 20);
    std::vector<Point> points;
    Point p{0, 0};
    for (int i = 0; i < n; ++i) {
        p.x += step(random), p.y += step(random);
        points.push_back(p);
    }
    return points;
}

// A ragged ring whose long chords span many slabs.
std::vector<Point> raggedRing(int n) {
    std::vector<Point> points;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * std::numbers::pi * i / n;
        const double r = (i % 7 == 0) ? 100.0 : 400.0 + (i % 5) * 30.0;
        points.push_back({std::round(r * std::cos(a)), std::round(r * std::sin(a))});
    }
    return points;
}

struct Outline {
    const char* name;
    std::vector<Point> points;
};

std::vector<Outline> outlines() {
    return {{"comb", comb(400)},
            {"random walk", randomWalk(3000, 7)},
            {"ragged ring", raggedRing(2000)},
            {"star through its centre", [] {
                 std::vector<Point> star;
                 for (int i = 0; i < 601; ++i) {
                     const double a = 2.0 * std::numbers::pi * ((i * 300) % 601) / 601;
                     star.push_back({std::round(500 * std::cos(a)), std::round(500 * std::sin(a))});
                 }
                 return star;
             }()}};
}

TEST(SlabSplit, PiecesKeepTheOddRuleFillAndTheArea) {
    for (const Outline& outline : outlines()) {
        SCOPED_TRACE(outline.name);
        const std::vector<double> cuts = slabCuts(outline.points, kSlabPoints);
        ASSERT_GT(cuts.size(), 3u);
        std::vector<std::vector<Point>> pieces;
        ASSERT_TRUE(cutIntoSlabs(outline.points, cuts, 1e7, pieces));

        double area = 0.0;
        for (const std::vector<Point>& piece : pieces) area += signedArea(piece);
        EXPECT_NEAR(area, signedArea(outline.points), 1e-6 * std::fabs(signedArea(outline.points)) + 1e-6);

        // Points off the cut lines and off the outline's whole coordinates:
        // inside an odd number of times overall exactly when inside one piece.
        double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
        for (const Point& p : outline.points) {
            xmin = std::min(xmin, p.x), xmax = std::max(xmax, p.x);
            ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
        }
        std::mt19937 random(1);
        std::uniform_real_distribution<double> ux(xmin, xmax), uy(ymin, ymax);
        int inside = 0;
        for (int k = 0; k < 3000; ++k) {
            const Point p{std::floor(ux(random)) + 0.37, std::floor(uy(random)) + 0.61};
            const bool filled = winding(outline.points, p) % 2 != 0;
            int pieceFills = 0;
            for (const std::vector<Point>& piece : pieces) pieceFills += winding(piece, p) % 2 != 0;
            EXPECT_EQ(pieceFills, filled ? 1 : 0) << "at " << p.x << ", " << p.y;
            inside += filled;
        }
        EXPECT_GT(inside, 100);  // the samples did look inside
    }
}

// Each piece stays in its slab and holds about the points of its slab, plus
// those where edges cross its sides.
TEST(SlabSplit, PiecesStayInTheirSlabsAndStaySmall) {
    const std::vector<Point> outline = comb(10000);
    const std::vector<double> cuts = slabCuts(outline, kSlabPoints);
    for (size_t i = 1; i < cuts.size(); ++i) ASSERT_LT(cuts[i - 1], cuts[i]);
    std::vector<std::vector<Point>> pieces;
    ASSERT_TRUE(cutIntoSlabs(outline, cuts, 1e7, pieces));
    ASSERT_EQ(pieces.size(), cuts.size() + 1);
    for (size_t s = 0; s < pieces.size(); ++s) {
        const double lo = s == 0 ? -1e300 : cuts[s - 1];
        const double hi = s == cuts.size() ? 1e300 : cuts[s];
        EXPECT_LE(pieces[s].size(), kSlabPoints + 8) << "slab " << s;
        for (const Point& p : pieces[s]) {
            EXPECT_TRUE(p.x >= lo && p.x <= hi) << "slab " << s << " holds x " << p.x;
        }
    }
}

// Outlines of few points are left whole; points of one x stay together.
TEST(SlabSplit, SmallOutlinesAndUprightsAreNotCut) {
    EXPECT_TRUE(slabCuts(comb(20), kSlabPoints).empty());
    std::vector<Point> uprights;
    for (int i = 0; i < 1000; ++i) uprights.push_back({(i / 2) % 2 == 0 ? 0.0 : 1000.0, double(i)});
    EXPECT_TRUE(slabCuts(uprights, kSlabPoints).empty());
}

// Long edges cross every slab: the cut gives up before holding more than it
// is allowed.
TEST(SlabSplit, StopsAtTheLimitOfPoints) {
    std::vector<Point> zigzag;
    for (int i = 0; i < 2000; ++i) zigzag.push_back({(i % 2 == 0) ? double(i) : 4000.0 - i, double(i % 3)});
    const std::vector<double> cuts = slabCuts(zigzag, kSlabPoints);
    std::vector<std::vector<Point>> pieces;
    EXPECT_FALSE(cutIntoSlabs(zigzag, cuts, 20000, pieces));
    EXPECT_TRUE(cutIntoSlabs(zigzag, cuts, 1e6, pieces));
    size_t held = 0;
    for (const std::vector<Point>& piece : pieces) held += piece.size();
    EXPECT_GT(held, 20000u);
}

}  // namespace
}  // namespace qmv::renderer
