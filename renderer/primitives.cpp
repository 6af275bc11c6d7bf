// Lines, marks, boxes, circles, ellipses and arcs. Outlines take the line
// colour; filled variants wrap their drawing in the fill mode and give every
// vertex its fill attribute, computed from scene coordinates even where the
// geometry is drawn relative to a centre.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "callbacks.h"
#include "curve_steps.h"

namespace qmv::renderer {

namespace {

// A rim vertex relative to the centre, with the fill attribute of its place
// in the scene.
void rimVertex(const FillSpec& fill, double cx, double cy, double px, double py) {
    applyFillVertex(fill, px + cx, py + cy);
    glVertex2d(px, py);
}

constexpr double kPi = 3.141592653589793;

// 46 vertices: the centre, 44 rim vertices and the rim closed at FULL_TURN.
int ellipseFill(ReaderContext* ctx, double cx, double cy, double rx, double ry) {
    RenderScene& scene = sceneOf(ctx);
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return 1;
    if (!scene.budget.push(ctx, 0) || !budgetFill(ctx, fill, kPi * rx * ry, 46)) {
        return CALLBACK_FAILED;
    }
    glPushMatrix();
    glTranslated(cx, cy, 0.0);
    enterFillMode(fill.mode);
    applyFillFirst(fill);
    glBegin(GL_TRIANGLE_FAN);
    issueFillColour(fill);
    rimVertex(fill, cx, cy, 0.0, 0.0);
    for (double a = 0.0; a < FULL_TURN; a += CURVE_STEP) {
        rimVertex(fill, cx, cy, rx * std::cos(a), ry * std::sin(a));
    }
    rimVertex(fill, cx, cy, rx * std::cos(FULL_TURN), ry * std::sin(FULL_TURN));
    glEnd();
    leaveFillMode(fill.mode);
    glPopMatrix();
    return 1;
}

// Asks for `count` rim segments of a curve of the larger radius.
bool budgetRim(ReaderContext* ctx, double rx, double ry, int count) {
    SceneBudget& budget = sceneOf(ctx).budget;
    const double step = std::max(std::fabs(rx), std::fabs(ry)) * CURVE_STEP;
    for (int i = 0; i < count; ++i) {
        if (!budget.segment(ctx, step)) return false;
    }
    return true;
}

}  // namespace

int drawLine(ReaderContext* ctx, double x, double y, double dx, double dy) {
    if (!budgetLines(ctx, 2) || !sceneOf(ctx).budget.segment(ctx, std::hypot(dx, dy))) {
        return CALLBACK_FAILED;
    }
    glBegin(GL_LINES);
    issueColour(ctx, COLOR_LINE);
    glVertex2d(x, y);
    glVertex2d(x + dx, y + dy);
    glEnd();
    return 1;
}

// A mark is a circle of radius 4 in the line colour; the mark colour and
// style are not drawn.
int drawMark(ReaderContext* ctx, double x, double y) {
    return drawEllipse(ctx, x, y, 4.0, 4.0, 0);
}

int drawBox(ReaderContext* ctx, double x, double y, double width, double height, int filled) {
    if (filled != 1) {
        SceneBudget& budget = sceneOf(ctx).budget;
        if (!budgetLines(ctx, 4) || !budget.segment(ctx, width) || !budget.segment(ctx, height) ||
            !budget.segment(ctx, width) || !budget.segment(ctx, height)) {
            return CALLBACK_FAILED;
        }
        glBegin(GL_LINE_LOOP);
        issueColour(ctx, COLOR_LINE);
        glVertex2d(x, y);
        glVertex2d(x, y + height);
        glVertex2d(x + width, y + height);
        glVertex2d(x + width, y);
        glEnd();
        return 1;
    }
    const RenderScene& scene = sceneOf(ctx);
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return 1;
    if (!budgetFill(ctx, fill, width * height, 4)) return CALLBACK_FAILED;
    enterFillMode(fill.mode);
    applyFillFirst(fill);
    const double corners[4][2] = {
        {x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}};
    glBegin(GL_QUADS);
    issueFillColour(fill);
    for (const auto& corner : corners) {
        applyFillVertex(fill, corner[0], corner[1]);
        glVertex2d(corner[0], corner[1]);
    }
    glEnd();
    leaveFillMode(fill.mode);
    return 1;
}

int drawCircle(ReaderContext* ctx, double cx, double cy, double radius, int filled) {
    return drawEllipse(ctx, cx, cy, radius, radius, filled);
}

int drawEllipse(ReaderContext* ctx, double cx, double cy, double rx, double ry, int filled) {
    if (filled == 1) return ellipseFill(ctx, cx, cy, rx, ry);
    // 44 vertices, the first at angle 0.
    if (!sceneOf(ctx).budget.push(ctx, 0) || !budgetLines(ctx, 44) ||
        !budgetRim(ctx, rx, ry, 44)) {
        return CALLBACK_FAILED;
    }
    glPushMatrix();
    glTranslated(cx, cy, 0.0);
    glBegin(GL_LINE_LOOP);
    issueColour(ctx, COLOR_LINE);
    for (double a = 0.0; a < FULL_TURN; a += CURVE_STEP) {
        glVertex2d(rx * std::cos(a), ry * std::sin(a));
    }
    glEnd();
    glPopMatrix();
    return 1;
}

// The arc runs counter-clockwise from start to end; an end at or before the
// start is moved on by full turns, so equal angles draw a whole turn.
int drawArc(ReaderContext* ctx, double cx, double cy, double rx, double ry, double start,
            double end, int filled) {
    while (start >= end) end += FULL_TURN;
    // At most 46 rim vertices: the angles lie within one turn.
    if (filled != 1) {
        if (!sceneOf(ctx).budget.push(ctx, 0) || !budgetLines(ctx, 46) ||
            !budgetRim(ctx, rx, ry, 45)) {
            return CALLBACK_FAILED;
        }
        glPushMatrix();
        glTranslated(cx, cy, 0.0);
        glBegin(GL_LINE_STRIP);
        issueColour(ctx, COLOR_LINE);
        for (double a = start; a < end; a += CURVE_STEP) {
            glVertex2d(rx * std::cos(a), ry * std::sin(a));
        }
        glVertex2d(rx * std::cos(end), ry * std::sin(end));
        glEnd();
        glPopMatrix();
        return 1;
    }
    // A filled arc is a sector: a fan from the centre over the same rim.
    RenderScene& scene = sceneOf(ctx);
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return 1;
    if (!scene.budget.push(ctx, 0) || !budgetFill(ctx, fill, kPi * rx * ry, 47)) {
        return CALLBACK_FAILED;
    }
    glPushMatrix();
    glTranslated(cx, cy, 0.0);
    enterFillMode(fill.mode);
    applyFillFirst(fill);
    glBegin(GL_TRIANGLE_FAN);
    issueFillColour(fill);
    rimVertex(fill, cx, cy, 0.0, 0.0);
    for (double a = start; a < end; a += CURVE_STEP) {
        rimVertex(fill, cx, cy, rx * std::cos(a), ry * std::sin(a));
    }
    rimVertex(fill, cx, cy, rx * std::cos(end), ry * std::sin(end));
    glEnd();
    leaveFillMode(fill.mode);
    glPopMatrix();
    return 1;
}

}  // namespace qmv::renderer
