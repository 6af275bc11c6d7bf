// Solid and texture fills of outlines of any size, by stencil then cover.
//
// The outline's points are drawn as triangle fans into the stencil buffer
// with inversion and no colour: a pixel whose centre lies inside an odd
// number of the triangles, which is exactly a pixel inside the outline by
// the odd winding rule, ends with its stencil set. A quad over the
// outline's bounds then draws the fill where the stencil is set and clears
// it again. The work is linear in the outline's points, whatever their
// shape: combs, stars and coastlines of millions of points fill alike,
// where the tessellator's sweep takes the square of their size or more.
//
// One fan from the first point would cover, for each edge, the triangle
// it makes with that point: an outline that zigzags across the picture
// would touch the whole picture once per edge. So the outline is cut into
// runs of kRunPoints points; each run is fanned from its own first point,
// closed by the chord back to it, and the loop of the runs' first points is
// treated the same way, down to a single fan. The chords cancel out (each
// is drawn once each way), so the winding number of every point, and
// hence the odd rule's fill, is the outline's; a triangle now spans only
// the run it lies in.
//
// The cover quad takes the fill's colour, or its texture coordinates at
// its corners, which are linear in the position as a tessellated vertex's
// are, so the picture is the one the tessellator gives. Gradients, whose
// colours are clamped at the gradient's ends, keep the tessellator.
//
// A long outline also gets coarser levels (detail_levels.h): the fans of
// its thinned points, one set per level, among which a frame chooses.
#include <algorithm>
#include <cmath>
#include <span>

#include "callbacks.h"
#include "convex_loop.h"
#include "detail_levels.h"

namespace qmv::renderer {

namespace {

constexpr size_t kRunPoints = 32;

// The closed loop through `points`, fanned run by run, each run a piece.
void fanLoop(GeometryRecorder& rec, std::span<const Point> points) {
    if (points.size() < 3) return;
    std::vector<Point> firsts;
    const size_t n = points.size();
    for (size_t start = 0; start < n; start += kRunPoints) {
        const size_t end = std::min(start + kRunPoints, n);  // the next run's first point
        rec.beginPiece();
        for (size_t i = start; i < end; ++i) rec.vertex(points[i].x, points[i].y);
        const Point& next = points[end % n];
        rec.vertex(next.x, next.y);
        rec.endPiece();
        firsts.push_back(points[start]);
    }
    if (firsts.size() < n) fanLoop(rec, firsts);
}

// The fans of the outline, and of each coarser level of it.
void fanLevels(GeometryRecorder& rec, std::span<const Point> points, double extent) {
    rec.beginItem(DrawKind::TriangleFan);
    rec.beginLevel(0.0);
    fanLoop(rec, points);
    std::vector<Point> thinned;
    for (const DetailLevel& level : detailLevels(points, extent)) {
        if (level.kept.size() < 3) break;
        thinned.clear();
        for (uint32_t i : level.kept) thinned.push_back(points[i]);
        rec.beginLevel(level.tolerance);
        fanLoop(rec, thinned);
    }
    rec.endItem();
}

}  // namespace

bool canStencilFill(const RenderScene& scene, const FillSpec& fill) {
    return scene.stencilBits > 0 && fill.mode != FILL_GRADIENT;
}

// The points' store is kept from one outline to the next.
void stencilFillBegin(StencilOutline& outline) { outline.points.clear(); }

void stencilFillVertex(StencilOutline& outline, double x, double y) {
    // Points beyond the GL's reach are left out, as the tessellator leaves
    // them out; a point repeating the one before adds nothing.
    if (!(std::fabs(x) < 1e150 && std::fabs(y) < 1e150)) return;
    std::vector<Point>& points = outline.points;
    if (!points.empty() && x == points.back().x && y == points.back().y) return;
    if (points.empty()) {
        outline.xmin = outline.xmax = x;
        outline.ymin = outline.ymax = y;
    }
    outline.xmin = std::min(outline.xmin, x), outline.xmax = std::max(outline.xmax, x);
    outline.ymin = std::min(outline.ymin, y), outline.ymax = std::max(outline.ymax, y);
    points.push_back({x, y});
}

namespace {

// A small outline that crosses itself little goes to the tessellator after
// all: its triangles join the vertex list of what is drawn before and after
// it, where the stencil's state changes would start new ones, and Mesa's
// list compiler spends a vertex store of a few KiB on each (a map of 56 000
// filled islands took twice the memory). The tessellator's work on such an
// outline is small; on one crossing itself more often than it has points
// (a small star) it is not, and the stencil takes it.
constexpr size_t kTessellatedPoints = 64;

bool tessellatesCheaply(std::span<const Point> points) {
    const double n = static_cast<double>(points.size());
    const SweepEstimate sweep = estimateSweep(points, n * n);
    return sweep.finished && sweep.crossings <= n;
}

// A convex outline needs no tessellator: its fan, one triangle list, is
// the same picture (convex_loop.h), and the tessellator's sweep was most
// of the load of maps of many small filled islands. The fill's attribute
// is the colour or a texture coordinate linear in the position, which any
// cut of the outline gives alike.
void fanConvex(const StencilOutline& outline, RenderScene& scene, const FillSpec& fill) {
    std::span<const Point> loop(outline.points);
    if (loop.size() > 1 && loop.front().x == loop.back().x && loop.front().y == loop.back().y) {
        loop = loop.first(loop.size() - 1);
    }
    scene.limits.fill((outline.xmax - outline.xmin) * (outline.ymax - outline.ymin));
    GeometryRecorder& rec = scene.recorder;
    rec.begin(DrawKind::Triangles);
    issueFillColour(rec, fill);
    for (size_t i = 1; i + 1 < loop.size(); ++i) {
        for (const Point& p : {loop[0], loop[i], loop[i + 1]}) {
            applyFillVertex(rec, fill, p.x, p.y);
            rec.vertex(p.x, p.y);
        }
    }
    rec.end();
}

bool tessellateSmall(ReaderContext* ctx, RenderScene& scene, const FillSpec& fill, bool convex) {
    const std::vector<Point>& points = scene.stencilOutline.points;
    if (!scene.limits.store(ctx, double(points.size()))) return false;
    enterFillMode(scene.recorder, fill.mode);
    applyFillFirst(scene.recorder, fill);
    const size_t items = scene.geometry.items.size();
    if (convex) {
        fanConvex(scene.stencilOutline, scene, fill);
    } else {
        tessBeginPolygon(scene);
        for (const Point& p : points) tessAddVertex(scene, p.x, p.y, fill.at(p.x, p.y));
        if (!tessEndPolygon(ctx, scene, scene.tessellator.get(), fill, false)) return false;
    }
    // One item of triangles: a solid fill gets coarser levels too.
    if (fill.mode == FILL_SOLID && scene.geometry.items.size() == items + 1) {
        scene.recorder.addFillLevels(points);
    }
    return true;
}

}  // namespace

bool stencilFillEnd(ReaderContext* ctx, RenderScene& scene, const FillSpec& fill) {
    StencilOutline& outline = scene.stencilOutline;
    const size_t n = outline.points.size();
    const bool small = n >= 3 && n <= kTessellatedPoints && scene.tessellator.get() != nullptr;
    const bool convex = small && convexLoop(outline.points);
    if (small && (convex || tessellatesCheaply(outline.points))) {
        const bool drawn = tessellateSmall(ctx, scene, fill, convex);
        leaveFillMode(scene.recorder, fill.mode);
        outline.points.clear();
        return drawn;
    }
    // The fans hold the points, a chord's end for each run, the same again
    // for the loops of runs, and the cover.
    const double vertices = double(n) * (1.0 + 2.0 / (kRunPoints - 1)) + 5.0;
    bool drawn = n < 3 || scene.limits.store(ctx, vertices);
    GeometryRecorder& rec = scene.recorder;
    if (n >= 3 && drawn) {
        scene.limits.fill((outline.xmax - outline.xmin) * (outline.ymax - outline.ymin));
        rec.stencil(Op::StencilMark);
        fanLevels(rec, outline.points, scene.geometry.extent);
        rec.stencil(Op::StencilCover);
        enterFillMode(rec, fill.mode);
        applyFillFirst(rec, fill);
        fillRectangle(rec, fill, outline.xmin, outline.ymin, outline.xmax, outline.ymax);
        rec.stencil(Op::StencilOff);
    }
    leaveFillMode(rec, fill.mode);
    outline.points.clear();
    return drawn;
}

}  // namespace qmv::renderer
