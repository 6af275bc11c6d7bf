// The begin / vertex / end sequence that carries polylines, polygons (drawn
// or tessellated and filled) and cubic Bézier segments.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "callbacks.h"

namespace qmv::renderer {

namespace {

// Mesa's display-list compiler (22.x) replays a whole list through its
// slow "loopback" path once an evaluator has been compiled into it, and
// the vertex lists compiled into that list before the evaluator (line
// loops, tessellated polygons) then come out wrong: line loops lose their
// closing edge and gain a stray line to the origin. So each segment gets a
// small list of its own, compiled after the list that calls it is closed;
// the calls and their order within the segment are unchanged.
void drawBezier(const DeferredBezier& segment) {
    const FillSpec& fill = segment.fillSpec;
    enterFillMode(fill.mode);
    glEnable(GL_MAP1_VERTEX_3);
    glMap1f(GL_MAP1_VERTEX_3, 0.0f, 100.0f, 3, 4, &segment.control[0][0]);
    GLenum primitive = GL_LINE_STRIP;
    if (segment.fill) {
        // A filled segment is closed by its chord. Its points come from the
        // evaluator, so they carry no fill attribute of their own.
        applyFillFirst(fill);
        issueFillColour(fill);
        primitive = GL_POLYGON;
    } else {
        const Color& c = segment.lineColour;
        glColor4d(c.r, c.g, c.b, c.a);
    }
    // The colour stays outside glBegin here: with an evaluator, Mesa's list
    // replay drops a colour given inside it. Each segment has a list of its
    // own, so this costs no extra vertex store.
    glBegin(primitive);
    for (int i = 0; i <= 100; ++i) glEvalCoord1f(static_cast<GLfloat>(i));
    glEnd();
    glDisable(GL_MAP1_VERTEX_3);
}

// The curve lies inside its control polygon: the polygon's edges bound its
// length, their box its area.
bool budgetBezier(ReaderContext* ctx, RenderScene& scene, const PathState& path) {
    SceneBudget& budget = scene.budget;
    if (!budget.units(ctx, kCostBezierSegment, kBezierStoredVertices)) return false;
    if (scene.openList != 0 && !budget.newList(ctx)) return false;
    const GLfloat(&c)[4][3] = path.control;
    if (path.fill) {
        double xmin = c[0][0], xmax = c[0][0], ymin = c[0][1], ymax = c[0][1];
        for (const auto& p : c) {
            xmin = std::min<double>(xmin, p[0]), xmax = std::max<double>(xmax, p[0]);
            ymin = std::min<double>(ymin, p[1]), ymax = std::max<double>(ymax, p[1]);
        }
        return budgetFill(ctx, path.fillSpec, (xmax - xmin) * (ymax - ymin), 0);
    }
    // An outline segment is drawn in its fill mode's shading too.
    if (!budget.shading(ctx, path.fillSpec.mode == FILL_GRADIENT)) return false;
    for (int i = 0; i < 3; ++i) {
        const double dx = double(c[i + 1][0]) - c[i][0];
        const double dy = double(c[i + 1][1]) - c[i][1];
        if (!budget.segment(ctx, std::hypot(dx, dy))) return false;
    }
    return true;
}

void endBezier(ReaderContext* ctx, RenderScene& scene, const PathState& path) {
    if (!budgetBezier(ctx, scene, path)) return;
    DeferredBezier segment;
    std::memcpy(segment.control, path.control, sizeof segment.control);
    segment.fill = path.fill;
    segment.fillSpec = path.fillSpec;
    segment.lineColour = {readerColor(ctx, COLOR_LINE, 0), readerColor(ctx, COLOR_LINE, 1),
                          readerColor(ctx, COLOR_LINE, 2), readerColor(ctx, COLOR_LINE, 3)};
    if (scene.openList == 0) {
        drawBezier(segment);  // nothing is being compiled
        return;
    }
    DisplayList& list = scene.bezierLists.emplace_back(DisplayList::generate());
    segment.list = list.name();
    glCallList(segment.list);
    scene.pendingBeziers.push_back(segment);
}

}  // namespace

void compilePendingBeziers(RenderScene& scene) {
    for (const DeferredBezier& segment : scene.pendingBeziers) {
        glNewList(segment.list, GL_COMPILE);
        drawBezier(segment);
        glEndList();
    }
    scene.pendingBeziers.clear();
}

int pathBegin(ReaderContext* ctx, int kind, double x, double y, int filled) {
    RenderScene& scene = sceneOf(ctx);
    PathState& path = scene.path;
    path.kind = kind;
    path.fill = filled == 1;
    path.discarded = false;
    path.refused = false;
    path.fillSpec = readFillSpec(ctx, scene);
    path.lastX = path.firstX = x;
    path.lastY = path.firstY = y;
    const FillSpec& fill = path.fillSpec;
    const bool outline = kind == PATH_POLYLINE || (kind == PATH_POLYGON && !path.fill);
    // A polygon outline switches to its fill mode's shading too.
    const bool shaded = kind != PATH_POLYGON || path.fill ||
                        scene.budget.shading(ctx, fill.mode == FILL_GRADIENT);
    if (!shaded || (outline && !budgetLines(ctx, 1))) {
        path.discarded = true;  // nothing begun
        return CALLBACK_FAILED;
    }

    switch (kind) {
    case PATH_POLYLINE:
        glBegin(GL_LINE_STRIP);
        issueColour(ctx, COLOR_LINE);
        glVertex2d(x, y);
        return 1;
    case PATH_POLYGON:
        if (path.fill && !fill.drawable()) {
            path.discarded = true;
            return 1;
        }
        enterFillMode(fill.mode);
        if (fill.mode < FILL_GRADIENT || fill.mode > FILL_STRETCHED_TEXTURE) {
            path.discarded = true;  // nothing begun: swallow the rest
            return CALLBACK_FAILED;
        }
        if (path.fill) {
            applyFillFirst(fill);
            tessBeginPolygon(scene);
            tessAddVertex(scene, x, y, fill.at(x, y));
            return 1;
        }
        glBegin(GL_LINE_LOOP);
        issueColour(ctx, COLOR_LINE);
        glVertex2d(x, y);
        return 1;
    case PATH_CUBIC_BEZIER:
        path.discarded = path.fill && !fill.drawable();
        path.control[0][0] = static_cast<GLfloat>(x);
        path.control[0][1] = static_cast<GLfloat>(y);
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
        GLfloat* point = path.control[path.controlCount++];
        point[0] = static_cast<GLfloat>(x);
        point[1] = static_cast<GLfloat>(y);
        point[2] = 0.0f;
        return 1;
    }
    if (path.fill) {
        // The vertex carries its own fill attribute into the tessellator, so
        // gradients and textures vary over the polygon.
        if (!scene.budget.tessellationRoom(ctx, double(scene.tessVertices.size()) + 1.0)) {
            path.refused = true;
            return CALLBACK_FAILED;
        }
        tessAddVertex(scene, x, y, path.fillSpec.at(x, y));
    } else {
        const double length = std::hypot(x - path.lastX, y - path.lastY);
        path.lastX = x;
        path.lastY = y;
        if (!scene.budget.vertices(ctx, 1) || !scene.budget.segment(ctx, length)) {
            path.refused = true;  // the strip begun is still ended
            return CALLBACK_FAILED;
        }
        // Outlines too take the fill attribute at each vertex after the
        // first: in gradient mode a polyline is shaded along the gradient.
        applyFillVertex(path.fillSpec, x, y);
        glVertex2d(x, y);
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
            if (path.controlCount == 4) endBezier(ctx, scene, path);
        } else if (path.fill) {
            if (!tessEndPolygon(ctx, scene, scene.tessellator.get(), path.fillSpec, path.refused)) {
                result = CALLBACK_FAILED;
            }
        } else {
            if (path.kind == PATH_POLYGON && !path.refused) {
                // The closing edge.
                const double dx = path.firstX - path.lastX;
                const double dy = path.firstY - path.lastY;
                scene.budget.segment(ctx, std::hypot(dx, dy));
            }
            glEnd();
        }
    }
    path.kind = PathState::kNone;
    path.discarded = false;
    path.controlCount = 0;
    path.refused = false;
    if (mode == FILL_TEXTURE || mode == FILL_STRETCHED_TEXTURE) glDisable(GL_TEXTURE_2D);
    return result;
}

}  // namespace qmv::renderer
