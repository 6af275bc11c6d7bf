// The begin / vertex / end sequence that carries polylines, polygons (drawn
// as outlines, or filled) and cubic Bézier segments.
#include <algorithm>
#include <cmath>

#include "bezier_points.h"
#include "callbacks.h"

namespace qmv::renderer {

namespace {

// A segment is drawn from the 101 points its curve takes at the parameters
// 0 to 100, in the open list like any other primitive.
bool drawBezier(ReaderContext* ctx, RenderScene& scene, const PathState& path) {
    const BezierPoints points = bezierPoints(path.control);
    if (!scene.limits.store(ctx, double(points.size()) + 1.0)) return false;
    const FillSpec& fill = path.fillSpec;
    const float(&c)[4][3] = path.control;
    if (path.fill) {
        double xmin = c[0][0], xmax = c[0][0], ymin = c[0][1], ymax = c[0][1];
        for (const auto& p : c) {
            xmin = std::min<double>(xmin, p[0]), xmax = std::max<double>(xmax, p[0]);
            ymin = std::min<double>(ymin, p[1]), ymax = std::max<double>(ymax, p[1]);
        }
        scene.limits.fill((xmax - xmin) * (ymax - ymin));  // the curve lies in its control box
    } else {
        for (int i = 0; i < 3; ++i) {
            scene.limits.segment(std::hypot(double(c[i + 1][0]) - c[i][0],
                                            double(c[i + 1][1]) - c[i][1]));
        }
    }
    GeometryRecorder& rec = scene.recorder;
    enterFillMode(rec, fill.mode);
    if (path.fill) {
        // A filled segment is closed by its chord. Its points come from the
        // curve, so they carry no fill attribute of their own.
        applyFillFirst(rec, fill);
        rec.begin(DrawKind::Polygon);
        issueFillColour(rec, fill);
    } else {
        rec.begin(DrawKind::LineStrip);
        issueColour(rec, ctx, COLOR_LINE);
    }
    for (const auto& p : points) rec.vertex(p[0], p[1]);
    rec.end();
    return true;
}

}  // namespace

int pathBegin(ReaderContext* ctx, int kind, double x, double y, int filled) {
    RenderScene& scene = sceneOf(ctx);
    PathState& path = scene.path;
    path.kind = kind;
    path.fill = filled == 1;
    path.discarded = false;
    path.refused = false;
    path.stencil = false;
    path.fillSpec = readFillSpec(ctx, scene);
    path.lastX = path.firstX = x;
    path.lastY = path.firstY = y;
    const FillSpec& fill = path.fillSpec;
    GeometryRecorder& rec = scene.recorder;
    const bool outline = kind == PATH_POLYLINE || (kind == PATH_POLYGON && !path.fill);
    if (outline && !scene.limits.store(ctx, 2.0)) {
        path.discarded = true;  // nothing begun
        return CALLBACK_FAILED;
    }

    switch (kind) {
    case PATH_POLYLINE:
        rec.begin(DrawKind::LineStrip);
        issueColour(rec, ctx, COLOR_LINE);
        rec.vertex(x, y);
        return 1;
    case PATH_POLYGON:
        if (path.fill && !fill.drawable()) {
            path.discarded = true;
            return 1;
        }
        enterFillMode(rec, fill.mode);
        if (fill.mode < FILL_GRADIENT || fill.mode > FILL_STRETCHED_TEXTURE) {
            path.discarded = true;  // nothing begun: swallow the rest
            return CALLBACK_FAILED;
        }
        if (path.fill) {
            if (canStencilFill(scene, fill)) {
                path.stencil = true;
                stencilFillBegin(scene.stencilOutline);
                stencilFillVertex(scene.stencilOutline, x, y);
                return 1;
            }
            applyFillFirst(rec, fill);
            tessBeginPolygon(scene);
            tessAddVertex(scene, x, y, fill.at(x, y));
            return 1;
        }
        // A strip closed by its first point again, not a line loop: a strip
        // can be cut into pieces for culling and simplified, where a loop
        // would be closed once per piece. The closing segment takes the
        // first point's colour, as a loop's does.
        rec.begin(DrawKind::LineStrip);
        issueColour(rec, ctx, COLOR_LINE);
        rec.vertex(x, y);
        return 1;
    case PATH_CUBIC_BEZIER:
        path.discarded = path.fill && !fill.drawable();
        path.control[0][0] = static_cast<float>(x);
        path.control[0][1] = static_cast<float>(y);
        path.control[0][2] = 0.0f;
        path.controlCount = 1;
        return 1;
    default:
        path.discarded = true;
        return CALLBACK_FAILED;
    }
}

int pathVertex(ReaderContext* ctx, double x, double y) {
    RenderScene& scene = sceneOf(ctx);
    PathState& path = scene.path;
    if (path.kind == PathState::kNone) return CALLBACK_FAILED;
    if (path.discarded || path.refused) return 1;
    if (path.kind == PATH_CUBIC_BEZIER) {
        // A segment has four control points; the reader never sends more.
        if (path.controlCount >= 4) return CALLBACK_FAILED;
        float* point = path.control[path.controlCount++];
        point[0] = static_cast<float>(x);
        point[1] = static_cast<float>(y);
        point[2] = 0.0f;
        return 1;
    }
    // On an outline, a point repeating the one before draws nothing: it is
    // left out, which keeps runs of zero steps from filling the store.
    if (!path.fill && x == path.lastX && y == path.lastY) return 1;
    if (!path.stencil && !scene.limits.store(ctx, 1.0)) {
        path.refused = true;  // what was begun is still ended
        return CALLBACK_FAILED;
    }
    if (path.stencil) {
        stencilFillVertex(scene.stencilOutline, x, y);
    } else if (path.fill) {
        // The vertex carries its own fill attribute into the tessellator, so
        // gradients vary over the polygon.
        tessAddVertex(scene, x, y, path.fillSpec.at(x, y));
    } else {
        if (scene.limits.inShape()) scene.limits.segment(std::hypot(x - path.lastX, y - path.lastY));
        path.lastX = x;
        path.lastY = y;
        // Outlines too take the fill attribute at each vertex after the
        // first: in gradient mode a polyline is shaded along the gradient.
        applyFillVertex(scene.recorder, path.fillSpec, x, y);
        scene.recorder.vertex(x, y);
    }
    return 1;
}

int pathEnd(ReaderContext* ctx) {
    RenderScene& scene = sceneOf(ctx);
    PathState& path = scene.path;
    if (path.kind == PathState::kNone) return 1;
    const int mode = path.fillSpec.mode;
    int result = 1;
    if (!path.discarded) {
        if (path.kind == PATH_CUBIC_BEZIER) {
            if (path.controlCount == 4 && !drawBezier(ctx, scene, path)) result = CALLBACK_FAILED;
        } else if (path.stencil) {
            if (!stencilFillEnd(ctx, scene, path.fillSpec)) result = CALLBACK_FAILED;
        } else if (path.fill) {
            if (!tessEndPolygon(ctx, scene, scene.tessellator.get(), path.fillSpec, path.refused)) {
                result = CALLBACK_FAILED;
            }
        } else {
            if (path.kind == PATH_POLYGON) {
                scene.limits.segment(std::hypot(path.firstX - path.lastX, path.firstY - path.lastY));
                // The closing vertex, in the first one's colour.
                issueColour(scene.recorder, ctx, COLOR_LINE);
                scene.recorder.vertex(path.firstX, path.firstY);
            }
            scene.recorder.end();
        }
    }
    path.kind = PathState::kNone;
    path.discarded = false;
    path.controlCount = 0;
    path.refused = false;
    path.stencil = false;
    leaveFillMode(scene.recorder, mode);
    return result;
}

}  // namespace qmv::renderer
