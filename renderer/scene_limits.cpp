#include "scene_limits.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "qmv/renderer.h"
#include "qmv/view.h"

namespace qmv::renderer {

namespace {

// x when it is below cap; cap otherwise, also for NaN.
double capped(double x, double cap) { return x < cap ? x : cap; }

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

}  // namespace

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

void SceneLimits::start(const ReaderContext* ctx) {
    started_ = true;
    fileBytes_ = static_cast<double>(readerFileSize(ctx));
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

bool SceneLimits::fail(ReaderContext* ctx, const char* message) {
    if (!failed_) readerReportError(ctx, message);
    failed_ = true;
    return false;
}

bool SceneLimits::store(ReaderContext* ctx, double vertices) {
    if (!started_) start(ctx);
    if (failed_) return false;
    stored_ += vertices;
    if (frame_ != nullptr) frame_->vertices += vertices;
    if (!(stored_ <= kMaxStoredVertices)) return fail(ctx, "Renderer: Scene too large to hold.");
    return true;
}

bool SceneLimits::charge(ReaderContext* ctx, double vertices, double linePixels,
                         double fillPixels) {
    replayedVertices_ += vertices;
    replayedLinePixels_ += linePixels;
    replayedFillPixels_ += fillPixels;
    // Also NaN, which no count should ever be.
    if (!(replayedVertices_ <= kReplayedVertices.forFile(fileBytes_) &&
          replayedLinePixels_ <= kReplayedLinePixels.forFile(fileBytes_) &&
          replayedFillPixels_ <= kReplayedFillPixels.forFile(fileBytes_))) {
        return fail(ctx, "Renderer: Shapes or edges drawn too often.");
    }
    return true;
}

bool SceneLimits::push(ReaderContext* ctx, int depth) {
    if (!started_) start(ctx);
    if (failed_) return false;
    if (depth + 1 > maxDepth_) return fail(ctx, "Shape: Shapes nested too deeply.");
    if (frame_ != nullptr) frame_->depth = std::max(frame_->depth, depth + 1);
    return true;
}

bool SceneLimits::newList(ReaderContext* ctx) {
    if (!started_) start(ctx);
    if (failed_) return false;
    if (++lists_ > kMaxDisplayLists) return fail(ctx, "Renderer: Too many display lists.");
    return true;
}

bool SceneLimits::storeTexels(ReaderContext* ctx, double texels) {
    if (!started_) start(ctx);
    if (failed_) return false;
    texels_ += texels;
    if (!(texels_ <= kMaxTextureTexels)) return fail(ctx, "Renderer: Images too large.");
    return true;
}

bool SceneLimits::place(ReaderContext* ctx, const ReplayCost& shape, double sx, double sy) {
    return push(ctx, shape.depth) && store(ctx, 1.0) && replay(ctx, shape, sx, sy);
}

bool SceneLimits::replay(ReaderContext* ctx, const ReplayCost& cost, double sx, double sy) {
    if (!started_) start(ctx);
    if (failed_) return false;
    const double scaleLength = std::max(std::fabs(sx), std::fabs(sy));
    const double scaleArea = std::fabs(sx * sy);
    if (frame_ != nullptr) {
        frame_->vertices += cost.vertices;
        frame_->lineLength += cost.lineLength * scaleLength;
        frame_->lineSegments += cost.lineSegments;
        frame_->fillArea += cost.fillArea * scaleArea;
        frame_->fills += cost.fills;
        return true;
    }
    const double ppu = pixelsPerUnit_;
    const double linePixels =
        capped(cost.lineLength * scaleLength * ppu, cost.lineSegments * diagonalPixels_);
    const double fillPixels =
        capped(cost.fillArea * scaleArea * ppu * ppu, cost.fills * screenPixels_);
    return charge(ctx, cost.vertices, linePixels, fillPixels);
}

double SceneLimits::tessellatorStepsLeft(const ReaderContext* ctx) {
    if (!started_) start(ctx);
    return std::max(kTessellatorSteps.forFile(fileBytes_) - tessSteps_, 0.0);
}

bool SceneLimits::tessellate(ReaderContext* ctx, std::span<const Point> outline) {
    if (!started_) start(ctx);
    if (failed_) return false;
    const double n = static_cast<double>(outline.size());
    // The sweep estimate itself takes a test per step: never more than the
    // allowance has left.
    const SweepEstimate sweep = estimateSweep(outline, tessellatorStepsLeft(ctx));
    if (!sweep.finished) return fail(ctx, kFillTooComplex);
    // Each crossing adds a vertex and an event that searches the active
    // edges; each diagonal and join relabels a face loop of up to all the
    // vertices made.
    const double made = n + sweep.crossings;
    tessSteps_ += sweep.steps + sweep.crossings * sweep.widest + n * made;
    if (!(tessSteps_ <= kTessellatorSteps.forFile(fileBytes_))) return fail(ctx, kFillTooComplex);
    return true;
}

}  // namespace qmv::renderer
