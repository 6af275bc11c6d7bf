// The retained geometry: what a scene records (the vertex counts and
// orders that pixels cannot show, the state every layer starts from), and
// what a frame draws from it: culled to the view, at the level of detail
// its pixels need, and placed exactly at any zoom.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "detail_levels.h"
#include "frame_batches.h"
#include "render_scene.h"
#include "render_support.h"

namespace qmv::test {
namespace {

using renderer::Command;
using renderer::Item;
using renderer::Op;
using renderer::Position;
using renderer::SceneGeometry;

class RetainedGeometry : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(glContext().ok()) << glContext().error(); }
};

// A scene read but not yet painted: its model still holds its vertices.
struct Recorded {
    explicit Recorded(const SceneWriter& w) : file(w), doc(file.path().c_str()) {}
    const SceneGeometry& geometry() const { return doc.scene()->geometry; }
    const renderer::Recording& layer(size_t i) const { return doc.scene()->layers[i].recording; }
    std::vector<const Item*> items(size_t layerIndex) const {
        std::vector<const Item*> out;
        for (const Command& c : layer(layerIndex).commands) {
            if (c.op == Op::Draw) out.push_back(&geometry().items[c.index]);
        }
        return out;
    }
    // The full level's points of an item, in order, pieces joined.
    std::vector<Point> points(const Item& item) const {
        std::vector<Point> out;
        const SceneGeometry& g = geometry();
        const renderer::Level& full = g.levels[item.levelBegin];
        for (uint32_t p = full.pieceBegin; p < full.pieceEnd; ++p) {
            const renderer::Piece& piece = g.pieces[p];
            for (uint32_t v = piece.first + (out.empty() ? 0 : 1); v < piece.first + piece.count; ++v) {
                const Position& pos = g.pools.positions[static_cast<size_t>(item.pool)][v];
                out.push_back({renderer::positionX(pos), renderer::positionY(pos)});
            }
        }
        return out;
    }
    SceneFile file;
    SceneDocument doc;
};

// Every layer starts from the global layer's dash pattern and blend mode,
// whatever the layer before it changed.
TEST_F(RetainedGeometry, EveryLayerStartsWithTheGlobalDashesAndBlendMode) {
    SceneWriter w(squareHeader());
    w.setLineDashes(0x00FF);
    w.setBlendMode(5);
    w.layer("first");
    w.setLineDashes(0x0F0F);
    w.setBlendMode(1);
    w.layer("second");
    w.finish();
    Recorded r(w);
    for (size_t i = 0; i < 2; ++i) {
        const auto& commands = r.layer(i).commands;
        ASSERT_GE(commands.size(), 2u);
        EXPECT_EQ(commands[0].op, Op::Dashes);
        EXPECT_EQ(commands[0].index, 0x00FFu);
        EXPECT_EQ(commands[1].op, Op::Blend);
        EXPECT_EQ(commands[1].index, 5u);
    }
    EXPECT_EQ(r.layer(0).commands.back().op, Op::Blend);
    EXPECT_EQ(r.layer(0).commands.back().index, 1u);
}

// Circles and arcs step by FULL_TURN / 44 from their start angle: an
// outline has 44 vertices and its first again to close its strip, a fill
// 46, an arc over a quarter turn 12. A Bézier segment is a strip through
// its curve at 101 parameters.
TEST_F(RetainedGeometry, CurvesAndBezierSegmentsHaveTheirVertices) {
    SceneWriter w(squareHeader());
    w.layer("l");
    w.drawCircle({50, 50}, 20);
    w.fillCircle({50, 50}, 20);
    w.drawArc({50, 50}, {20, 10}, w.directionFor(0), w.directionFor(std::numbers::pi / 2));
    w.drawCubicBezier({10, 10}, {{{20, 40}, {60, 40}, {90, 10}}});
    w.finish();
    Recorded r(w);
    const auto items = r.items(0);
    ASSERT_EQ(items.size(), 4u);

    const std::vector<Point> outline = r.points(*items[0]);
    ASSERT_EQ(outline.size(), 45u);
    EXPECT_EQ(items[0]->kind, renderer::DrawKind::LineStrip);
    EXPECT_DOUBLE_EQ(outline[0].x, 70);  // angle 0
    EXPECT_DOUBLE_EQ(outline[0].y, 50);
    EXPECT_EQ(outline[44].x, outline[0].x);
    EXPECT_EQ(outline[44].y, outline[0].y);

    const std::vector<Point> fan = r.points(*items[1]);
    ASSERT_EQ(fan.size(), 46u);
    EXPECT_EQ(items[1]->kind, renderer::DrawKind::TriangleFan);
    EXPECT_DOUBLE_EQ(fan[0].x, 50);  // the centre first
    EXPECT_NEAR(fan[45].x, 70, 1e-9);

    const std::vector<Point> arc = r.points(*items[2]);
    ASSERT_EQ(arc.size(), 12u);
    EXPECT_NEAR(arc[11].x, 50, 1e-6);  // the end angle itself
    EXPECT_NEAR(arc[11].y, 60, 1e-6);

    const std::vector<Point> curve = r.points(*items[3]);
    ASSERT_EQ(curve.size(), 101u);
    EXPECT_EQ(curve[0].x, 10);
    EXPECT_EQ(curve[100].x, 90);
    // At t = 1/2: (P0 + 3 P1 + 3 P2 + P3) / 8.
    EXPECT_NEAR(curve[50].x, (10 + 60 + 180 + 90) / 8.0, 1e-4);
    EXPECT_NEAR(curve[50].y, (10 + 120 + 120 + 10) / 8.0, 1e-4);
}

// A ragged outline of 200 000 points around the square, outlined and
// filled: at the initial view a frame draws a small share of its points,
// and the picture is the full-detail one but for edge pixels.
TEST_F(RetainedGeometry, DenseOutlinesDrawFewPointsAndTheSamePicture) {
    SceneHeader header = squareHeader(100000);
    header.absPointSize = 64;
    header.relPointSize = 64;
    SceneWriter w(header);
    w.layer("l");
    std::vector<Point> ring;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        const double r = 40000 + 3000 * std::sin(a * 37) + 10 * (i % 7);
        ring.push_back({std::round(50000 + r * std::cos(a)), std::round(50000 + r * std::sin(a))});
    }
    w.setFillColor(rgb(40, 160, 40));
    w.fillPolygon(ring);
    w.setLineColor(rgb(0, 0, 120));
    w.drawPolygon(ring);
    w.finish();
    SceneFile file(w);
    SceneDocument doc(file.path().c_str());
    ASSERT_EQ(doc.error(), nullptr);
    const View view = doc.initialView(200, 200);
    renderer::GpuScene& gpu = doc.scene()->gpu;

    gpu.useLevels(false);
    doc.paint(view);
    const RgbaImage full = readRegion(200, 200);
    const uint64_t fullVertices = gpu.lastFrame().vertices;
    gpu.useLevels(true);
    doc.paint(view);
    const RgbaImage detailed = readRegion(200, 200);
    EXPECT_GT(fullVertices, 2u * n);
    EXPECT_LT(gpu.lastFrame().vertices * 10, fullVertices);

    int differing = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) differing += !(full.at(x, y) == detailed.at(x, y));
    }
    EXPECT_LT(differing, 200 * 200 / 100) << "of the outline's ~1500 pixels";
}

// Zoomed in 10 times on one corner of a grid of 100 x 100 lines, a frame
// draws about a hundredth of them.
TEST_F(RetainedGeometry, AFrameDrawsOnlyWhatMeetsTheView) {
    SceneWriter w(squareHeader(1000));
    w.layer("l");
    for (int i = 0; i < 100; ++i) {
        for (int j = 0; j < 100; ++j) w.line({i * 10.0 + 2, j * 10.0 + 2}, {5, 5});
    }
    w.finish();
    SceneFile file(w);
    SceneDocument doc(file.path().c_str());
    doc.paint(doc.initialView(100, 100));
    EXPECT_EQ(doc.scene()->gpu.lastFrame().vertices, 20000u);
    doc.paint(View{{0, 0, 100, 100}, 100, 100});
    EXPECT_GE(doc.scene()->gpu.lastFrame().vertices, 200u);
    EXPECT_LE(doc.scene()->gpu.lastFrame().vertices, 2u * 13 * 13);
}

// Zoomed in, a frame plans only what the layers' indexes find, each with
// the state the walk would give it: colours, blend modes, gradients and
// their shade model, stencil fills and placed shapes over four layers, a
// hidden one among them, draw the same pixels either way.
TEST_F(RetainedGeometry, IndexedFramesDrawWhatTheWholeWalkDraws) {
    SceneWriter w(squareHeader(1000));
    w.beginShape({1, 1});  // large enough to be placed, not copied
    std::vector<Point> star;
    for (int k = 0; k < 300; ++k) {
        const double a = 2 * std::numbers::pi * k / 300, r = k % 2 ? 4 : 9;
        star.push_back({std::round(10 + r * std::cos(a)), std::round(10 + r * std::sin(a))});
    }
    w.setLineColor(rgb(0, 90, 0));
    w.drawPolygon(star);
    w.endShape();
    for (int layer = 0; layer < 4; ++layer) {
        w.layer("l" + std::to_string(layer));
        for (int i = 0; i < 40; ++i) {
            for (int j = 0; j < 40; ++j) {
                const Point p{i * 25.0 + layer * 3, j * 25.0 + layer * 2};
                switch ((i + j + layer) % 5) {
                case 0: w.setFillColor(rgb(i * 6, j * 6, 100)); w.fillBox(p, {10, 8}); break;
                case 1: w.setLineColor(rgb(200, i * 6, j * 6)); w.line(p, {12, 5}); break;
                case 2: w.setBlendMode((i + j) % 3 + 1); w.fillCircle(p, 6); break;
                case 3:
                    w.setGradientFill(p, rgb(255, 0, 0), {p.x + 10, p.y}, rgb(0, 0, 255));
                    w.fillPolygon({p, {p.x + 10, p.y}, {p.x + 5, p.y + 9}});
                    w.setFillColor(rgb(30, 30, 30));
                    break;
                default: w.stampShape(0, p); break;
                }
            }
        }
    }
    w.finish();
    SceneFile file(w);
    SceneDocument doc(file.path().c_str());
    ASSERT_EQ(doc.error(), nullptr);
    setLayerVisible(doc.scene(), 1, 0);
    renderer::GpuScene& gpu = doc.scene()->gpu;
    for (const WorldWindow world : {WorldWindow{300, 300, 400, 400}, WorldWindow{710, 40, 760, 90}}) {
        const View view{world, 200, 200};
        gpu.useIndexes(false);
        doc.paint(view);
        const RgbaImage walked = readRegion(200, 200);
        gpu.useIndexes(true);
        doc.paint(view);
        const RgbaImage found = readRegion(200, 200);
        int differing = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 200; ++x) differing += !(walked.at(x, y) == found.at(x, y));
        }
        EXPECT_EQ(differing, 0) << "view from " << world.xmin << ", " << world.ymin;
        EXPECT_GT(gpu.lastFrame().pieces, 0u);
    }
}

// A drawing 3.6 million units wide zoomed to 50 units across, the view
// moved in steps of a fraction of a pixel: a vertical line lands in the
// pixel column double arithmetic puts it in every time. Single precision
// holds the view's edge to an eighth of a unit there, a quarter pixel.
TEST_F(RetainedGeometry, DeepZoomPlacesLinesAsDoublePrecisionDoes) {
    SceneHeader header = squareHeader();
    header.upperRight = {3.6e6, 3.6e6};
    header.absPointSize = 64;
    header.relPointSize = 64;
    SceneWriter w(header);
    w.layer("l");
    w.setLineColor(rgb(0, 0, 0));
    const double x = 1800012;
    w.line({x, 1800000}, {0, 50});
    w.finish();
    SceneFile file(w);
    SceneDocument doc(file.path().c_str());
    ASSERT_EQ(doc.error(), nullptr);
    int checked = 0;
    for (int k = 0; k < 60; ++k) {
        const double left = 1799990.0 + k * 0.0173;
        const double column = (x - left) * 2.0;  // 2 pixels a unit
        const double within = column - std::floor(column);
        if (within < 0.03 || within > 0.97) continue;  // too near a pixel's edge to call
        doc.paint(View{{left, 1800000.0, left + 50.0, 1800050.0}, 100, 100});
        const RgbaImage image = readRegion(100, 100);
        int inked = -1;
        for (int c = 0; c < 100; ++c) {
            if (image.at(c, 50) == kBlack) inked = c;
        }
        EXPECT_EQ(inked, static_cast<int>(std::floor(column))) << "view from " << left;
        ++checked;
    }
    EXPECT_GT(checked, 50);
}

// Thinning keeps the ends, keeps every point within the tolerance of the
// thinned strip's, and levels come finest first, each with at most half
// the points of the one before.
TEST(DetailLevels, ThinnedStripsStayWithinTheirTolerance) {
    std::vector<Point> strip;
    for (int i = 0; i < 5000; ++i) strip.push_back({i * 0.01, std::sin(i * 0.05) + 0.001 * (i % 3)});
    const auto levels = renderer::detailLevels(strip, 50.0);
    ASSERT_GE(levels.size(), 2u);
    for (size_t l = 0; l < levels.size(); ++l) {
        const auto& kept = levels[l].kept;
        EXPECT_EQ(kept.front(), 0u);
        EXPECT_EQ(kept.back(), strip.size() - 1);
        if (l > 0) {
            EXPECT_LE(kept.size(), levels[l - 1].kept.size() / 2);
            EXPECT_GT(levels[l].tolerance, levels[l - 1].tolerance);
        }
        // Every dropped point lies within twice the tolerance of the segment
        // between the kept points around it.
        for (size_t k = 0; k + 1 < kept.size(); ++k) {
            const Point a = strip[kept[k]], b = strip[kept[k + 1]];
            for (uint32_t i = kept[k] + 1; i < kept[k + 1]; ++i) {
                const Point p = strip[i];
                const double dx = b.x - a.x, dy = b.y - a.y;
                const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                EXPECT_LE(std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy), 2 * levels[l].tolerance);
            }
        }
    }
    EXPECT_TRUE(renderer::detailLevels(std::vector<Point>(renderer::kDetailPoints - 1, Point{1, 1}), 50.0).empty());
}

}  // namespace
}  // namespace qmv::test

namespace qmv::test {
namespace {

// Fills and outlines in turn: far-apart pairs share two draws, but a fill
// over an earlier outline stays after it, and stencil fills marked
// together share no pixel.
TEST(BatchPlanner, PiecesJoinEarlierDrawsOnlyAcrossWhatTheyCannotTouch) {
    using renderer::BatchKey;
    using renderer::BatchPlanner;
    using renderer::Bounds;
    using renderer::DrawKind;
    BatchPlanner planner;
    planner.begin(0, 0, 1, 800, 600);  // a pixel a unit
    BatchKey fill, outline;
    fill.kind = DrawKind::Triangles;
    outline.kind = DrawKind::LineStrip;
    auto box = [](float x, float y, float side) { return Bounds{x, y, x + side, y + side}; };
    for (int i = 0; i < 10; ++i) {  // ten islands 60 pixels apart
        planner.addPiece(fill, box(i * 60.0f, 10, 20), i, 3);
        planner.addPiece(outline, box(i * 60.0f, 10, 20), i, 4);
    }
    planner.addPiece(fill, box(15, 15, 20), 100, 3);  // over the first island's outline
    BatchKey stencil = fill;
    stencil.stencil = true;
    const renderer::BatchPlanner::PieceSpan span{0, 3};
    planner.addStencilFill(stencil, {300, 300, 340, 340}, {&span, 1}, {&span, 1});
    planner.addStencilFill(stencil, {400, 300, 440, 340}, {&span, 1}, {&span, 1});
    planner.addStencilFill(stencil, {420, 320, 460, 360}, {&span, 1}, {&span, 1});  // meets the last
    planner.finish();
    const auto& slots = planner.slots();
    ASSERT_EQ(slots.size(), 5u);
    EXPECT_EQ(slots[0].pieceEnd - slots[0].pieceBegin, 10u);  // the islands' fills
    EXPECT_EQ(slots[1].pieceEnd - slots[1].pieceBegin, 10u);  // their outlines
    EXPECT_EQ(slots[2].key.kind, DrawKind::Triangles);        // the fill over an outline
    EXPECT_EQ(slots[3].pieceEnd - slots[3].pieceBegin, 4u);   // two fills, fans and covers
    EXPECT_EQ(slots[4].pieceEnd - slots[4].pieceBegin, 2u);
    EXPECT_EQ(planner.pieces()[slots[2].pieceBegin].first, 100u);
}

}  // namespace
}  // namespace qmv::test
