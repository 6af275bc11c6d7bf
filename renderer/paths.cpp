// The begin / vertex / end sequence that carries polylines, polygons (drawn
// or tessellated and filled) and cubic Bézier segments.
#include <GL/gl.h>

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
        primitive = GL_POLYGON;
    } else {
        const Color& c = segment.lineColour;
        glColor4d(c.r, c.g, c.b, c.a);
    }
    glBegin(primitive);
    for (int i = 0; i <= 100; ++i) glEvalCoord1f(static_cast<GLfloat>(i));
    glEnd();
    glDisable(GL_MAP1_VERTEX_3);
}

void endBezier(const ReaderContext* ctx, RenderScene& scene, const PathState& path) {
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
    path.fillSpec = readFillSpec(ctx, scene);
    const FillSpec& fill = path.fillSpec;

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
            tessAddVertex(scene, scene.tessellator.get(), x, y, fill.at(x, y));
            return 1;
        }
        issueColour(ctx, COLOR_LINE);
        glBegin(GL_LINE_LOOP);
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
    if (path.discarded) return 1;
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
        tessAddVertex(scene, scene.tessellator.get(), x, y, path.fillSpec.at(x, y));
    } else {
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
    if (!path.discarded) {
        if (path.kind == PATH_CUBIC_BEZIER) {
            if (path.controlCount == 4) endBezier(ctx, scene, path);
        } else if (path.fill) {
            tessEndPolygon(scene);
        } else {
            glEnd();
        }
    }
    path.kind = PathState::kNone;
    path.discarded = false;
    path.controlCount = 0;
    if (mode == FILL_TEXTURE || mode == FILL_STRETCHED_TEXTURE) glDisable(GL_TEXTURE_2D);
    return 1;
}

}  // namespace qmv::renderer
