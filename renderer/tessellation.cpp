// Filled polygons and faces through the GLU tessellator, and edge sets drawn
// as line strips. Every tessellated vertex carries its fill attribute (the
// fill colour, its gradient colour or its texture coordinate); vertices the
// tessellator makes where edges cross get a blend of their neighbours', so
// self-intersecting outlines are filled by the odd winding rule.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "callbacks.h"

namespace qmv::renderer {

namespace {

using TessCallback = void (*)();

void tessBegin(GLenum primitive) { glBegin(primitive); }
void tessEnd() { glEnd(); }

void tessVertex(void* data) {
    const auto* vertex = static_cast<const TessVertex*>(data);
    issueFillValue(vertex->fill);
    glVertex3dv(vertex->position);
}

// A new vertex where edges cross: its fill attribute is the weighted blend
// of the four it comes from (unused slots have weight 0 and may be null).
void tessCombine(GLdouble coords[3], void* sources[4], GLfloat weights[4], void** out,
                 void* polygonData) {
    auto& scene = *static_cast<RenderScene*>(polygonData);
    TessVertex& made = scene.tessVertices.emplace_back();
    made.position[0] = coords[0];
    made.position[1] = coords[1];
    made.position[2] = coords[2];
    FillValue& fill = made.fill;
    fill.colour = {0.0, 0.0, 0.0, 0.0};
    for (int i = 0; i < 4; ++i) {
        if (sources[i] == nullptr || weights[i] == 0.0f) continue;
        const FillValue& from = static_cast<const TessVertex*>(sources[i])->fill;
        const double w = weights[i];
        fill.kind = from.kind;
        fill.colour.r += w * from.colour.r;
        fill.colour.g += w * from.colour.g;
        fill.colour.b += w * from.colour.b;
        fill.colour.a += w * from.colour.a;
        fill.s += w * from.s;
        fill.t += w * from.t;
    }
    *out = &made;
}

void emitEdgePoints(const EdgeSet* set, const FillSpec* fill, RenderScene* scene,
                    GLUtesselator* tess) {
    if (set == nullptr) return;
    Point p;
    for (int list = 0; list < set->count; ++list) {
        for (int k = 0; edgeSetPoint(set, list, k, &p) == 1; ++k) {
            if (tess == nullptr) {
                if (fill != nullptr) applyFillVertex(*fill, p.x, p.y);
                glVertex2d(p.x, p.y);
            } else {
                // Face vertices are kept in single precision.
                const double x = static_cast<float>(p.x);
                const double y = static_cast<float>(p.y);
                tessAddVertex(*scene, tess, x, y, fill->at(x, y));
            }
        }
    }
}

}  // namespace

void configureTessellator(GLUtesselator* tess) {
    if (tess == nullptr) return;
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<TessCallback>(tessBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<TessCallback>(tessVertex));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<TessCallback>(tessEnd));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(tessCombine));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    // Scenes are flat: no normal to guess, also for collinear outlines.
    gluTessNormal(tess, 0.0, 0.0, 1.0);
}

void tessBeginPolygon(RenderScene& scene) {
    scene.tessVertices.clear();
    gluTessBeginPolygon(scene.tessellator.get(), &scene);
    gluTessBeginContour(scene.tessellator.get());
}

void tessAddVertex(RenderScene& scene, GLUtesselator* tess, double x, double y,
                   const FillValue& fill) {
    // GLU rejects coordinates beyond 1e150; such a vertex is left out.
    if (!(std::fabs(x) < 1e150 && std::fabs(y) < 1e150)) return;
    TessVertex& vertex = scene.tessVertices.emplace_back();
    vertex.position[0] = x;
    vertex.position[1] = y;
    vertex.fill = fill;
    gluTessVertex(tess, vertex.position, &vertex);
}

// The triangles are emitted here; the vertex records are not needed after.
void tessEndPolygon(RenderScene& scene) {
    gluTessEndContour(scene.tessellator.get());
    gluTessEndPolygon(scene.tessellator.get());
    scene.tessVertices.clear();
}

// All points of all lists of the set form one strip in the line colour.
int drawEdge(ReaderContext* ctx, int number) {
    const RenderScene& scene = sceneOf(ctx);
    const EdgeSet* set = readerEdge(ctx, number);
    const FillSpec fill = readFillSpec(ctx, scene);
    glBegin(GL_LINE_STRIP);
    issueColour(ctx, COLOR_LINE);
    emitEdgePoints(set, &fill, nullptr, nullptr);
    glEnd();
    return 1;
}

// The points of the face's edge sets, those of its first list of numbers and
// then of its second, make one contour.
int fillFace(ReaderContext* ctx, int number) {
    RenderScene& scene = sceneOf(ctx);
    const Face* face = readerFace(ctx, number);
    if (face == nullptr) return 1;
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return 1;

    Tessellator tess;
    configureTessellator(tess.get());
    enterFillMode(fill.mode);
    applyFillFirst(fill);
    scene.tessVertices.clear();
    gluTessBeginPolygon(tess.get(), &scene);
    gluTessBeginContour(tess.get());
    auto emitSets = [&](const std::vector<int32_t>& numbers, int32_t count) {
        const size_t n = std::min(numbers.size(), static_cast<size_t>(std::max(count, 0)));
        for (size_t i = 0; i < n; ++i) {
            emitEdgePoints(readerEdge(ctx, numbers[i]), &fill, &scene, tess.get());
        }
    };
    emitSets(face->first, face->firstCount);
    emitSets(face->second, face->secondCount);
    gluTessEndContour(tess.get());
    gluTessEndPolygon(tess.get());
    scene.tessVertices.clear();
    leaveFillMode(fill.mode);
    return 1;
}

}  // namespace qmv::renderer
