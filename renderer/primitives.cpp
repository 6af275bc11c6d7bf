// Lines, marks, boxes, circles, ellipses and arcs. Outlines take the line
// colour; filled variants wrap their drawing in the fill mode and give every
// vertex its fill attribute, computed from scene coordinates even where the
// geometry is drawn relative to a centre.
#include <algorithm>
#include <cmath>

#include "callbacks.h"
#include "curve_steps.h"

namespace qmv::renderer {

namespace {

// A rim vertex at (px, py) from the centre, with the fill attribute of its
// place in the scene.
void rimVertex(GeometryRecorder& rec, const FillSpec& fill, double cx, double cy, double px,
               double py) {
    applyFillVertex(rec, fill, px + cx, py + cy);
    rec.vertex(px + cx, py + cy);
}

constexpr double kPi = 3.141592653589793;

// 46 vertices: the centre, 44 rim vertices and the rim closed at FULL_TURN.
int ellipseFill(ReaderContext* ctx, double cx, double cy, double rx, double ry) {
    RenderScene& scene = sceneOf(ctx);
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return 1;
    if (!scene.limits.push(ctx, 0) || !scene.limits.store(ctx, 47.0)) return CALLBACK_FAILED;
    scene.limits.fill(kPi * rx * ry);
    GeometryRecorder& rec = scene.recorder;
    enterFillMode(rec, fill.mode);
    applyFillFirst(rec, fill);
    rec.begin(DrawKind::TriangleFan);
    issueFillColour(rec, fill);
    rimVertex(rec, fill, cx, cy, 0.0, 0.0);
    for (double a = 0.0; a < FULL_TURN; a += CURVE_STEP) {
        rimVertex(rec, fill, cx, cy, rx * std::cos(a), ry * std::sin(a));
    }
    rimVertex(rec, fill, cx, cy, rx * std::cos(FULL_TURN), ry * std::sin(FULL_TURN));
    rec.end();
    leaveFillMode(rec, fill.mode);
    return 1;
}

// Inside a shape: `count` rim segments of a curve of the larger radius.
void rimSegments(SceneLimits& limits, double rx, double ry, int count) {
    const double step = std::max(std::fabs(rx), std::fabs(ry)) * CURVE_STEP;
    for (int i = 0; i < count; ++i) limits.segment(step);
}

}  // namespace

int drawLine(ReaderContext* ctx, double x, double y, double dx, double dy) {
    RenderScene& scene = sceneOf(ctx);
    SceneLimits& limits = scene.limits;
    if (!limits.store(ctx, 3.0)) return CALLBACK_FAILED;
    limits.segment(std::hypot(dx, dy));
    GeometryRecorder& rec = scene.recorder;
    rec.begin(DrawKind::Lines);
    issueColour(rec, ctx, COLOR_LINE);
    rec.vertex(x, y);
    rec.vertex(x + dx, y + dy);
    rec.end();
    return 1;
}

// A mark is a circle of radius 4 in the line colour; the mark colour and
// style are not drawn.
int drawMark(ReaderContext* ctx, double x, double y) {
    return drawEllipse(ctx, x, y, 4.0, 4.0, 0);
}

int drawBox(ReaderContext* ctx, double x, double y, double width, double height, int filled) {
    RenderScene& scene = sceneOf(ctx);
    GeometryRecorder& rec = scene.recorder;
    if (filled != 1) {
        SceneLimits& limits = scene.limits;
        if (!limits.store(ctx, 6.0)) return CALLBACK_FAILED;
        for (int side = 0; side < 2; ++side) limits.segment(width), limits.segment(height);
        // Outlines are strips closed by their first point (paths.cpp says
        // why).
        rec.begin(DrawKind::LineStrip);
        issueColour(rec, ctx, COLOR_LINE);
        rec.vertex(x, y);
        rec.vertex(x, y + height);
        rec.vertex(x + width, y + height);
        rec.vertex(x + width, y);
        rec.vertex(x, y);
        rec.end();
        return 1;
    }
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return 1;
    if (!scene.limits.store(ctx, 5.0)) return CALLBACK_FAILED;
    scene.limits.fill(width * height);
    enterFillMode(rec, fill.mode);
    applyFillFirst(rec, fill);
    fillRectangle(rec, fill, x, y, x + width, y + height);
    leaveFillMode(rec, fill.mode);
    return 1;
}

int drawCircle(ReaderContext* ctx, double cx, double cy, double radius, int filled) {
    return drawEllipse(ctx, cx, cy, radius, radius, filled);
}

int drawEllipse(ReaderContext* ctx, double cx, double cy, double rx, double ry, int filled) {
    if (filled == 1) return ellipseFill(ctx, cx, cy, rx, ry);
    // 44 vertices, the first at angle 0, and the first again to close the
    // strip (paths.cpp says why it is no loop).
    RenderScene& scene = sceneOf(ctx);
    SceneLimits& limits = scene.limits;
    if (!limits.push(ctx, 0) || !limits.store(ctx, 46.0)) return CALLBACK_FAILED;
    rimSegments(limits, rx, ry, 44);
    GeometryRecorder& rec = scene.recorder;
    rec.begin(DrawKind::LineStrip);
    issueColour(rec, ctx, COLOR_LINE);
    for (double a = 0.0; a < FULL_TURN; a += CURVE_STEP) {
        rec.vertex(cx + rx * std::cos(a), cy + ry * std::sin(a));
    }
    rec.vertex(cx + rx, cy);
    rec.end();
    return 1;
}

// The arc runs counter-clockwise from start to end; an end at or before the
// start is moved on by full turns, so equal angles draw a whole turn.
int drawArc(ReaderContext* ctx, double cx, double cy, double rx, double ry, double start,
            double end, int filled) {
    while (start >= end) end += FULL_TURN;
    // At most 46 rim vertices: the angles lie within one turn.
    RenderScene& scene = sceneOf(ctx);
    GeometryRecorder& rec = scene.recorder;
    if (filled != 1) {
        SceneLimits& limits = scene.limits;
        if (!limits.push(ctx, 0) || !limits.store(ctx, 47.0)) return CALLBACK_FAILED;
        rimSegments(limits, rx, ry, 45);
        rec.begin(DrawKind::LineStrip);
        issueColour(rec, ctx, COLOR_LINE);
        for (double a = start; a < end; a += CURVE_STEP) {
            rec.vertex(cx + rx * std::cos(a), cy + ry * std::sin(a));
        }
        rec.vertex(cx + rx * std::cos(end), cy + ry * std::sin(end));
        rec.end();
        return 1;
    }
    // A filled arc is a sector: a fan from the centre over the same rim.
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return 1;
    if (!scene.limits.push(ctx, 0) || !scene.limits.store(ctx, 48.0)) return CALLBACK_FAILED;
    scene.limits.fill(kPi * rx * ry);
    enterFillMode(rec, fill.mode);
    applyFillFirst(rec, fill);
    rec.begin(DrawKind::TriangleFan);
    issueFillColour(rec, fill);
    rimVertex(rec, fill, cx, cy, 0.0, 0.0);
    for (double a = start; a < end; a += CURVE_STEP) {
        rimVertex(rec, fill, cx, cy, rx * std::cos(a), ry * std::sin(a));
    }
    rimVertex(rec, fill, cx, cy, rx * std::cos(end), ry * std::sin(end));
    rec.end();
    leaveFillMode(rec, fill.mode);
    return 1;
}

}  // namespace qmv::renderer
