#include "scene_budget.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "qmv/renderer.h"
#include "qmv/view.h"

namespace qmv::renderer {

namespace {

// x when it is below cap; cap otherwise, also for NaN.
double capped(double x, double cap) { return x < cap ? x : cap; }

// What the tessellator's sweep will do with an outline. It sweeps along x
// and keeps the edges that cross the sweep line in a list that it searches
// linearly, so each event costs about as many steps as edges are active.
struct SweepEstimate {
    double steps = 0.0;      // edges active at each edge's start, summed
    double crossings = 0.0;  // pairs of edges that cross
    double widest = 0.0;     // most edges active at once
    bool finished = false;   // false: more than the allowed steps
};

struct Edge {
    double x0, y0, x1, y1;  // x0 <= x1
};

double orientation(double ax, double ay, double bx, double by, double cx, double cy) {
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

bool properlyCross(const Edge& a, const Edge& b) {
    const double o1 = orientation(a.x0, a.y0, a.x1, a.y1, b.x0, b.y0);
    const double o2 = orientation(a.x0, a.y0, a.x1, a.y1, b.x1, b.y1);
    const double o3 = orientation(b.x0, b.y0, b.x1, b.y1, a.x0, a.y0);
    const double o4 = orientation(b.x0, b.y0, b.x1, b.y1, a.x1, a.y1);
    return ((o1 < 0 && o2 > 0) || (o1 > 0 && o2 < 0)) && ((o3 < 0 && o4 > 0) || (o3 > 0 && o4 < 0));
}

// Sweeps the edges in order of their left ends, testing each against the
// edges still active; stops after maxSteps tests.
SweepEstimate estimateSweep(std::span<const Point> outline, double maxSteps) {
    SweepEstimate estimate;
    const size_t n = outline.size();
    std::vector<Edge> edges;
    edges.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        Point a = outline[i];
        Point b = outline[(i + 1) % n];
        if (b.x < a.x) std::swap(a, b);
        edges.push_back({a.x, a.y, b.x, b.y});
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.x0 < b.x0; });
    std::vector<const Edge*> active;
    for (const Edge& edge : edges) {
        size_t kept = 0;
        for (const Edge* other : active) {
            if (other->x1 < edge.x0) continue;  // ended before this one starts
            active[kept++] = other;
            if (++estimate.steps > maxSteps) return estimate;
            if (properlyCross(*other, edge)) ++estimate.crossings;
        }
        active.resize(kept);
        active.push_back(&edge);
        estimate.widest = std::max(estimate.widest, static_cast<double>(active.size()));
    }
    estimate.finished = true;
    return estimate;
}

}  // namespace

double budgetAllowance(double fileBytes) {
    return kBudgetBase + kBudgetPerFileByte * std::max(fileBytes - kBudgetBaseBytes, 0.0);
}

void SceneBudget::start(const ReaderContext* ctx) {
    started_ = true;
    allowance_ = budgetAllowance(static_cast<double>(readerFileSize(ctx)));
    // Placements push the projection matrix (the one the layers act on).
    GLint stack = 0;
    glGetIntegerv(GL_MAX_PROJECTION_STACK_DEPTH, &stack);
    if (stack >= 2) maxDepth_ = stack - 2;
    const ShownWindow shown =
        fitToClient(initialWorldWindow(ctx), kReferenceWidth, kReferenceHeight);
    if (std::isfinite(shown.width) && shown.width > 0.0 && std::isfinite(shown.height) &&
        shown.height > 0.0) {
        pixelsPerUnit_ = kReferenceWidth / shown.width;
    } else if (shown.width == 0.0) {
        // No window: the projection stays the identity, which shows -1 to 1.
        pixelsPerUnit_ = kReferenceWidth / 2.0;
    } else {
        pixelsPerUnit_ = 0.0;  // a window of infinities or NaN shows nothing
    }
    diagonalPixels_ = std::hypot(kReferenceWidth, kReferenceHeight);
}

bool SceneBudget::fail(ReaderContext* ctx, const char* message) {
    if (!failed_) readerReportError(ctx, message);
    failed_ = true;
    return false;
}

bool SceneBudget::units(ReaderContext* ctx, double units, double stored) {
    if (!started_) start(ctx);
    if (failed_) return false;
    spent_ += units;
    stored_ += stored;
    if (frame_ != nullptr) frame_->units += units;
    // Also NaN, which no charge should ever be.
    if (!(spent_ <= allowance_)) return fail(ctx, "Renderer: Scene too complex to draw.");
    return true;
}

bool SceneBudget::segment(ReaderContext* ctx, double length) {
    if (!started_) start(ctx);
    const double len = std::fabs(length);
    if (frame_ != nullptr && !inLayer_) {
        frame_->lineLength += len;
        frame_->lineSegments += 1.0;
        return !failed_;
    }
    const double perPixel = stippled_ == Known::Off ? kCostLinePixel : kCostStippledLinePixel;
    return units(ctx, capped(len * pixelsPerUnit_, diagonalPixels_) * perPixel);
}

bool SceneBudget::fill(ReaderContext* ctx, double area, bool textured) {
    if (!started_) start(ctx);
    const double a = std::fabs(area);
    if (frame_ != nullptr && !inLayer_) {
        frame_->fillArea += a;
        frame_->fills += 1.0;
        return !failed_;
    }
    const double perPixel = textured ? kCostTexturedFillPixel : kCostFillPixel;
    return units(ctx, capped(a * pixelsPerUnit_ * pixelsPerUnit_, screenPixels_) * perPixel);
}

bool SceneBudget::lineStipple(ReaderContext* ctx, int pattern) {
    stippled_ = (pattern & 0xFFFF) == 0xFFFF ? Known::Off : Known::On;
    return units(ctx, kCostStateChange);
}

bool SceneBudget::shading(ReaderContext* ctx, bool smooth) {
    const Known wanted = smooth ? Known::On : Known::Off;
    if (smooth_ == wanted) return units(ctx, 0.0);
    smooth_ = wanted;
    return units(ctx, kCostShadeChange);
}

bool SceneBudget::push(ReaderContext* ctx, int depth) {
    if (!started_) start(ctx);
    if (failed_) return false;
    if (depth + 1 > maxDepth_) return fail(ctx, "Shape: Shapes nested too deeply.");
    if (frame_ != nullptr) frame_->depth = std::max(frame_->depth, depth + 1);
    return true;
}

bool SceneBudget::newList(ReaderContext* ctx) {
    if (!started_) start(ctx);
    if (failed_) return false;
    if (++lists_ > kMaxDisplayLists) return fail(ctx, "Renderer: Too many display lists.");
    return units(ctx, kCostList + kCostListPerStoredVertex * stored_);
}

bool SceneBudget::storeTexels(ReaderContext* ctx, double texels) {
    if (!started_) start(ctx);
    if (failed_) return false;
    texels_ += texels;
    if (!(texels_ <= kMaxTextureTexels)) return fail(ctx, "Renderer: Images too large.");
    return units(ctx, texels * kCostTexelDefine);
}

bool SceneBudget::place(ReaderContext* ctx, const CostFrame& shape, double sx, double sy) {
    if (!push(ctx, shape.depth)) return false;
    const double scaleLength = std::max(std::fabs(sx), std::fabs(sy));
    const double scaleArea = std::fabs(sx * sy);
    if (frame_ != nullptr && !inLayer_) {
        stippled_ = smooth_ = Known::No;
        frame_->lineLength += shape.lineLength * scaleLength;
        frame_->lineSegments += shape.lineSegments;
        frame_->fillArea += shape.fillArea * scaleArea;
        frame_->fills += shape.fills;
        return units(ctx, shape.units + kCostPrimitive, 1.0);
    }
    // The shape's list may leave the stipple and the shading changed.
    stippled_ = smooth_ = Known::No;
    const double ppu = pixelsPerUnit_;
    const double linePixels =
        capped(shape.lineLength * scaleLength * ppu, shape.lineSegments * diagonalPixels_);
    const double fillPixels =
        capped(shape.fillArea * scaleArea * ppu * ppu, shape.fills * screenPixels_);
    return units(ctx, shape.units + kCostPrimitive + linePixels * kCostStippledLinePixel +
                          fillPixels * kCostTexturedFillPixel);
}

bool SceneBudget::tessellationRoom(ReaderContext* ctx, double count) {
    if (failed_) return false;
    if (count > kMaxTessVertices) return fail(ctx, "Renderer: Filled area too complex.");
    return true;
}

bool SceneBudget::tessellate(ReaderContext* ctx, std::span<const Point> outline) {
    if (!started_) start(ctx);
    if (failed_) return false;
    const double n = static_cast<double>(outline.size());
    if (n > kMaxTessVertices) return fail(ctx, "Renderer: Filled area too complex.");
    // The sweep estimate itself costs a test per step: never more than the
    // budget has left.
    const double left = (allowance_ - spent_) / kCostTessStep;
    const SweepEstimate sweep = estimateSweep(outline, left);
    if (!sweep.finished || n + sweep.crossings > kMaxTessVertices) {
        return fail(ctx, "Renderer: Filled area too complex.");
    }
    // Each crossing adds a vertex, and an event that searches the active
    // edges; the triangles come out as about three vertices per vertex.
    const double made = n + sweep.crossings;
    return units(ctx,
                 made * kCostTessVertex + sweep.steps * kCostTessStep +
                     sweep.crossings * sweep.widest * kCostTessStep + n * made * kCostTessLoopStep +
                     3.0 * made * kCostVertex,
                 3.0 * made);
}

}  // namespace qmv::renderer
