// Lines, marks, boxes, circles, ellipses and arcs. Outlines take the line
// colour; filled variants wrap their drawing in the fill mode and give every
// vertex its fill attribute, computed from scene coordinates even where the
// geometry is drawn relative to a centre.
#include <GL/gl.h>

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

// 46 vertices: the centre, 44 rim vertices and the rim closed at FULL_TURN.
void ellipseFill(ReaderContext* ctx, double cx, double cy, double rx, double ry) {
    const RenderScene& scene = sceneOf(ctx);
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return;
    glPushMatrix();
    glTranslated(cx, cy, 0.0);
    enterFillMode(fill.mode);
    applyFillFirst(fill);
    glBegin(GL_TRIANGLE_FAN);
    rimVertex(fill, cx, cy, 0.0, 0.0);
    for (double a = 0.0; a < FULL_TURN; a += CURVE_STEP) {
        rimVertex(fill, cx, cy, rx * std::cos(a), ry * std::sin(a));
    }
    rimVertex(fill, cx, cy, rx * std::cos(FULL_TURN), ry * std::sin(FULL_TURN));
    glEnd();
    leaveFillMode(fill.mode);
    glPopMatrix();
}

}  // namespace

int drawLine(ReaderContext* ctx, double x, double y, double dx, double dy) {
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
        issueColour(ctx, COLOR_LINE);
        glBegin(GL_LINE_LOOP);
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
    enterFillMode(fill.mode);
    applyFillFirst(fill);
    const double corners[4][2] = {
        {x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}};
    glBegin(GL_QUADS);
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
    if (filled == 1) {
        ellipseFill(ctx, cx, cy, rx, ry);
    } else {
        // 44 vertices, the first at angle 0.
        glPushMatrix();
        glTranslated(cx, cy, 0.0);
        glBegin(GL_LINE_LOOP);
        issueColour(ctx, COLOR_LINE);
        for (double a = 0.0; a < FULL_TURN; a += CURVE_STEP) {
            glVertex2d(rx * std::cos(a), ry * std::sin(a));
        }
        glEnd();
        glPopMatrix();
    }
    return 1;
}

// The arc runs counter-clockwise from start to end; an end at or before the
// start is moved on by full turns, so equal angles draw a whole turn.
int drawArc(ReaderContext* ctx, double cx, double cy, double rx, double ry, double start,
            double end, int filled) {
    while (start >= end) end += FULL_TURN;
    if (filled != 1) {
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
    const RenderScene& scene = sceneOf(ctx);
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return 1;
    glPushMatrix();
    glTranslated(cx, cy, 0.0);
    enterFillMode(fill.mode);
    applyFillFirst(fill);
    glBegin(GL_TRIANGLE_FAN);
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
