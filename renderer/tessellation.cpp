// Filled polygons and faces through the GLU tessellator, and edge sets drawn
// as line strips. Every tessellated vertex carries its fill attribute (the
// fill colour, its gradient colour or its texture coordinate); vertices the
// tessellator makes where edges cross get a blend of their neighbours', so
// self-intersecting outlines are filled by the odd winding rule.
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "callbacks.h"
#include "slab_split.h"

namespace qmv::renderer {

namespace {

using TessCallback = void (*)();

DrawKind drawKindOf(GLenum primitive) {
    switch (primitive) {
    case GL_TRIANGLE_FAN: return DrawKind::TriangleFan;
    case GL_TRIANGLE_STRIP: return DrawKind::TriangleStrip;
    case GL_LINE_LOOP:  // only with boundary-only output, which is never asked
    case GL_TRIANGLES:
    default: return DrawKind::Triangles;
    }
}

void tessBegin(GLenum primitive, void* polygonData) {
    auto& scene = *static_cast<RenderScene*>(polygonData);
    scene.recorder.begin(drawKindOf(primitive));
    if (scene.tessFill != nullptr) issueFillColour(scene.recorder, *scene.tessFill);
}
// With an edge-flag callback the tessellator gives separate triangles
// only, never fans or strips, so a fill is one kind of primitive and joins
// the fills around it in one batch.
void tessEdgeFlag(GLboolean) {}

void tessEnd(void* polygonData) { static_cast<RenderScene*>(polygonData)->recorder.end(); }

void tessVertex(void* data, void* polygonData) {
    const auto* vertex = static_cast<const TessVertex*>(data);
    GeometryRecorder& rec = static_cast<RenderScene*>(polygonData)->recorder;
    issueFillValue(rec, vertex->fill);
    rec.vertex(vertex->position[0], vertex->position[1]);
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

// The points of an edge set in drawing order, with the fill attribute of
// each, as a line strip.
void emitEdgePoints(GeometryRecorder& rec, const EdgeSet* set, const FillSpec& fill) {
    if (set == nullptr) return;
    Point p;
    for (int list = 0; list < set->count; ++list) {
        for (int k = 0; edgeSetPoint(set, list, k, &p) == 1; ++k) {
            applyFillVertex(rec, fill, p.x, p.y);
            rec.vertex(p.x, p.y);
        }
    }
}

// What walking a set takes: its lists and its points, known without
// walking them.
double edgeSetWork(const EdgeSet* set) {
    if (set == nullptr) return 0.0;
    double work = 1.0 + std::max(set->count, 0);
    for (const PointList& list : set->lists) work += std::max(list.count, 0);
    return work;
}

// The length of the strip through a set's points.
double edgeSetLength(const EdgeSet* set, double& segments) {
    double length = 0.0;
    segments = 0.0;
    if (set == nullptr) return 0.0;
    Point p;
    Point previous;
    bool first = true;
    for (int list = 0; list < set->count; ++list) {
        for (int k = 0; edgeSetPoint(set, list, k, &p) == 1; ++k) {
            if (!first) length += std::hypot(p.x - previous.x, p.y - previous.y), segments += 1.0;
            previous = p;
            first = false;
        }
    }
    return length;
}

// The face's edge-set numbers, its first list and then its second, each
// resolved; `visit` takes every set (nullptr for numbers naming none).
template <typename Visit>
void forEachFaceSet(const ReaderContext* ctx, const Face& face, Visit visit) {
    auto walk = [&](const std::vector<int32_t>& numbers, int32_t count) {
        const size_t n = std::min(numbers.size(), static_cast<size_t>(std::max(count, 0)));
        for (size_t i = 0; i < n; ++i) visit(readerEdge(ctx, numbers[i]));
    };
    walk(face.first, face.firstCount);
    walk(face.second, face.secondCount);
}

}  // namespace

void configureTessellator(GLUtesselator* tess) {
    if (tess == nullptr) return;
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<TessCallback>(tessBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<TessCallback>(tessVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<TessCallback>(tessEnd));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG, reinterpret_cast<TessCallback>(tessEdgeFlag));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(tessCombine));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    // Scenes are flat: no normal to guess, also for collinear outlines.
    gluTessNormal(tess, 0.0, 0.0, 1.0);
}

void tessBeginPolygon(RenderScene& scene) { scene.tessVertices.clear(); }

void tessAddVertex(RenderScene& scene, double x, double y, const FillValue& fill) {
    // GLU rejects coordinates beyond 1e150; such a vertex is left out.
    if (!(std::fabs(x) < 1e150 && std::fabs(y) < 1e150)) return;
    TessVertex& vertex = scene.tessVertices.emplace_back();
    vertex.position[0] = x;
    vertex.position[1] = y;
    vertex.fill = fill;
}

namespace {

// The scene's vertex records through the tessellator, which emits the
// triangles.
void runTessellator(RenderScene& scene, GLUtesselator* tess) {
    gluTessBeginPolygon(tess, &scene);
    gluTessBeginContour(tess);
    // The combine callback appends records behind these, which leaves
    // these where they are.
    const size_t count = scene.tessVertices.size();
    for (size_t i = 0; i < count; ++i) {
        TessVertex& vertex = scene.tessVertices[i];
        gluTessVertex(tess, vertex.position, &vertex);
    }
    gluTessEndContour(tess);
    gluTessEndPolygon(tess);
}

}  // namespace

// The whole outline is measured, and cut into slabs when it is large, before
// anything is drawn; the triangles are emitted here.
bool tessEndPolygon(ReaderContext* ctx, RenderScene& scene, GLUtesselator* tess,
                    const FillSpec& fill, bool refused) {
    bool drawn = false;
    if (!refused && tess != nullptr) {
        std::vector<Point> outline;
        outline.reserve(scene.tessVertices.size());
        double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;
        for (const TessVertex& v : scene.tessVertices) {
            const Point p{v.position[0], v.position[1]};
            if (outline.empty()) {
                xmin = xmax = p.x;
                ymin = ymax = p.y;
            }
            xmin = std::min(xmin, p.x), xmax = std::max(xmax, p.x);
            ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
            outline.push_back(p);
        }
        scene.limits.fill((xmax - xmin) * (ymax - ymin));
        // A small outline is tessellated from the records as collected; a
        // large one piece by piece, each piece's points given their fill
        // attribute where they stand. Every point a cut makes is at least a
        // step of the tessellator's.
        const bool cut = outline.size() > kSlabPoints;
        std::vector<std::vector<Point>> pieces;
        bool allowed = true;
        if (cut) {
            const std::vector<double> cuts = slabCuts(outline, kSlabPoints);
            const double room = std::min(scene.limits.tessellatorStepsLeft(ctx), kMaxSlabPoints);
            if (!cutIntoSlabs(outline, cuts, room, pieces)) {
                allowed = scene.limits.refuseFill(ctx);
            }
        } else {
            pieces.push_back(std::move(outline));
        }
        for (size_t i = 0; allowed && i < pieces.size(); ++i) {
            allowed = scene.limits.tessellate(ctx, pieces[i]);
        }
        if (allowed) {
            scene.tessFill = &fill;
            if (!cut) runTessellator(scene, tess);
            for (size_t i = 0; cut && i < pieces.size(); ++i) {
                scene.tessVertices.clear();
                for (const Point& p : pieces[i]) tessAddVertex(scene, p.x, p.y, fill.at(p.x, p.y));
                runTessellator(scene, tess);
            }
            scene.tessFill = nullptr;
            drawn = true;
        }
    }
    scene.tessVertices.clear();
    return drawn;
}

// All points of all lists of the set form one strip in the line colour.
// A draw replays the stored set: it counts as a replay of its points and
// of its strip's pixels.
int drawEdge(ReaderContext* ctx, int number) {
    RenderScene& scene = sceneOf(ctx);
    const EdgeSet* set = readerEdge(ctx, number);
    SceneLimits& limits = scene.limits;
    // The points first, which need no walk: a set too large to replay is
    // refused before its length is measured.
    const double work = edgeSetWork(set) + 1.0;
    if (!limits.store(ctx, work) || !limits.replay(ctx, {.vertices = work})) return CALLBACK_FAILED;
    double segments = 0.0;
    const double length = edgeSetLength(set, segments);
    if (!limits.replay(ctx, {.lineLength = length, .lineSegments = segments})) {
        return CALLBACK_FAILED;
    }
    const FillSpec fill = readFillSpec(ctx, scene);
    GeometryRecorder& rec = scene.recorder;
    rec.begin(DrawKind::LineStrip);
    issueColour(rec, ctx, COLOR_LINE);
    emitEdgePoints(rec, set, fill);
    rec.end();
    return 1;
}

// The points of the face's edge sets, those of its first list of numbers and
// then of its second, make one outline. A fill replays the stored sets: it
// counts as a replay of every number resolved and every point walked, and
// of the outline's bounds in pixels.
int fillFace(ReaderContext* ctx, int number) {
    RenderScene& scene = sceneOf(ctx);
    const Face* face = readerFace(ctx, number);
    if (face == nullptr) return 1;
    const FillSpec fill = readFillSpec(ctx, scene);
    if (!fill.drawable()) return 1;

    double work = 1.0;
    forEachFaceSet(ctx, *face, [&](const EdgeSet* set) { work += 1.0 + edgeSetWork(set); });
    if (!scene.limits.store(ctx, work) || !scene.limits.replay(ctx, {.vertices = work})) {
        return CALLBACK_FAILED;
    }

    // Face vertices are kept in single precision.
    auto eachPoint = [&](auto add) {
        forEachFaceSet(ctx, *face, [&](const EdgeSet* set) {
            Point p;
            for (int list = 0; set != nullptr && list < set->count; ++list) {
                for (int k = 0; edgeSetPoint(set, list, k, &p) == 1; ++k) {
                    add(static_cast<double>(static_cast<float>(p.x)),
                        static_cast<double>(static_cast<float>(p.y)));
                }
            }
        });
    };
    enterFillMode(scene.recorder, fill.mode);
    if (canStencilFill(scene, fill)) {
        StencilOutline& outline = scene.stencilOutline;
        stencilFillBegin(outline);
        eachPoint([&](double x, double y) { stencilFillVertex(outline, x, y); });
        const double area = (outline.xmax - outline.xmin) * (outline.ymax - outline.ymin);
        if (!stencilFillEnd(ctx, scene, fill)) return CALLBACK_FAILED;
        return scene.limits.replay(ctx, {.fillArea = area, .fills = 1.0}) ? 1 : CALLBACK_FAILED;
    }
    tessBeginPolygon(scene);
    eachPoint([&](double x, double y) { tessAddVertex(scene, x, y, fill.at(x, y)); });
    Tessellator tess;
    configureTessellator(tess.get());
    applyFillFirst(scene.recorder, fill);
    const bool drawn = tessEndPolygon(ctx, scene, tess.get(), fill, false);
    leaveFillMode(scene.recorder, fill.mode);
    return drawn ? 1 : CALLBACK_FAILED;
}

}  // namespace qmv::renderer
