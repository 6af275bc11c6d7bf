// Handlers of the plain geometry commands: paths, Bézier figures, arcs,
// lines, boxes, circles, ellipses and marks.
#include "bit_reader.h"
#include "decoders.h"
#include "handlers.h"
#include "trace.h"

namespace qmv {

namespace {

// Radians to the degrees the trace shows; the format's own factor.
constexpr double kTraceDegreesPerRadian = 57.29564553093965;

struct PathMessages {
    const char* begin;
    const char* vertex;
    const char* end;
};

constexpr PathMessages kPolylineMessages = {
    "Error returned by Callback called for QMVR_begin Polyline",
    "Error returned by Callback called for QMVR_vertex Polyline",
    "Error returned by Callback called for QMVR_end Polyline"};
constexpr PathMessages kPolygonMessages = {
    "Error returned by Callback called for QMVR_begin Polygon",
    "Error returned by Callback called for QMVR_vertex Polygon",
    "Error returned by Callback called for QMVR_end Polygon"};
constexpr PathMessages kFillPolygonMessages = {
    "Error returned by Callback called for QMVR_begin FillPolygon",
    "Error returned by Callback called for QMVR_vertex FillPolygon",
    "Error returned by Callback called for QMVR_end FillPolygon"};
constexpr PathMessages kBezierMessages = {
    "Error returned by Callback called for QMVR_begin CubicBezier",
    "Error returned by Callback called for QMVR_vertex CubicBezier",
    "Error returned by Callback called for QMVR_end CubicBezier"};
constexpr PathMessages kFillBezierMessages = {
    "Error returned by Callback called for QMVR_begin FillCubicBezier",
    "Error returned by Callback called for QMVR_vertex FillCubicBezier",
    "Error returned by Callback called for QMVR_end FillCubicBezier"};

void traceXY(Point p) {
    traceItem("x:");
    traceNumber(p.x);
    traceItem("y:");
    traceNumber(p.y);
}

struct PathKind {
    int kind;
    int filled;
    int tracedExtra;         // the polygons trace n + 1 points
    const char* countWord;   // follows the count
    const char* closing;     // after the points, or nullptr
    PathMessages messages;
};

void readPath(const PathKind& path) {
    Point p0 = getpoint(ABSPOINT);
    int n = getsize();
    const PointList& list = getTempPointList(n, p0, nullptr);
    traceInteger(n + path.tracedExtra);
    traceItem(path.countWord);
    if (g_reader.ctx->callbacksEnabled != 1) return;
    const bool tracing = g_reader.ctx->traceFile != nullptr;
    invokeChecked<QMVR_begin>(path.messages.begin, path.kind, p0.x, p0.y, path.filled);
    if (tracing) traceXY(p0);
    if (list.count > 0) {
        // One lookup per path: an empty slot records its message once, as the
        // first per-vertex lookup would, and no vertex call is made.
        ReaderContext* ctx = g_reader.ctx;
        auto vertex =
            reinterpret_cast<CallbackType<QMVR_vertex>::Fn>(readerGetCallback(QMVR_vertex));
        for (int i = 0; i < list.count; ++i) {
            const Point& p = list.points[static_cast<size_t>(i)];
            if (vertex != nullptr && vertex(ctx, p.x, p.y) == CALLBACK_FAILED) {
                readerError(path.messages.vertex);
            }
            if (tracing) traceXY(p);
        }
    }
    invokeChecked<QMVR_end>(path.messages.end);
    if (path.closing != nullptr) traceItem(path.closing);
}

// One Bézier segment from `start`: `steps` chained steps (3, or 2 for the
// closing segment of a filled figure, which ends on `closeTo`).
Point bezierSegment(Point start, int steps, int filled, const Point* closeTo,
                    const PathMessages& messages) {
    Point end;
    PointList list = getPointList(steps, start, &end);
    if (g_reader.ctx->callbacksEnabled != 1) return end;
    Point vertices[3] = {};
    for (int i = 0; i < list.count && i < 3; ++i) vertices[i] = list.points[static_cast<size_t>(i)];
    // A list cut short by the end of the data repeats its last point.
    for (int i = list.count; i < 3; ++i) vertices[i] = i == 0 ? start : vertices[i - 1];
    if (closeTo != nullptr) vertices[2] = *closeTo;
    invokeChecked<QMVR_begin>(messages.begin, PATH_CUBIC_BEZIER, start.x, start.y, filled);
    for (const Point& v : vertices) invokeChecked<QMVR_vertex>(messages.vertex, v.x, v.y);
    invokeChecked<QMVR_end>(messages.end);
    return end;
}

void readArc(int filled, const char* message) {
    Point centre = getpoint(ABSPOINT);
    Point radii = getpoint(RELPOINT);
    double start = getAngle(ABSPOINT);
    double end = getAngle(ABSPOINT);
    traceItem("InitialPoint: ");
    tracePoint(centre);
    traceItem(" from: ");
    traceNumber(start * kTraceDegreesPerRadian);
    traceItem(" to: ");
    traceNumber(end * kTraceDegreesPerRadian);
    invokeChecked<QMVR_arc>(message, centre.x, centre.y, radii.x, radii.y, start, end, filled);
}

void traceStartEnd(Point p, Point d) {
    traceItem("Start ");
    tracePoint(p);
    traceItem("End ");
    tracePoint({p.x + d.x, p.y + d.y});
}

void readBox(int filled, const char* message) {
    Point p = getpoint(ABSPOINT);
    Point d = getpoint(RELPOINT);
    in().align();
    invokeChecked<QMVR_box>(message, p.x, p.y, d.x, d.y, filled);
    traceStartEnd(p, d);
}

void readCircle(int filled, const char* message) {
    Point centre = getpoint(ABSPOINT);
    double radius = getsize();
    invokeChecked<QMVR_circle>(message, centre.x, centre.y, radius, filled);
    traceItem("Radius: ");
    traceNumber(radius);
    traceItem("Center ");
    tracePoint(centre);
}

void readEllipse(int filled, const char* message) {
    Point centre = getpoint(ABSPOINT);
    Point radii = getpoint(RELPOINT);
    in().align();
    invokeChecked<QMVR_ellipse>(message, centre.x, centre.y, radii.x, radii.y, filled);
    traceItem("Center ");
    tracePoint(centre);
    traceItem("Width : ");
    traceNumber(radii.x);
    traceItem("Height Y: ");
    traceNumber(radii.y);
}

}  // namespace

void MakePolyline() {
    readPath({PATH_POLYLINE, 0, 0, "points.\n", "End Polyline: \n", kPolylineMessages});
}

void MakeDrawPolygon() {
    readPath({PATH_POLYGON, 0, 1, "points\n", "End points Polygon", kPolygonMessages});
}

void MakeFillPolygon() {
    readPath({PATH_POLYGON, 1, 1, "points.\n", nullptr, kFillPolygonMessages});
}

namespace {

// Segments whose steps read no bits consume no data, so a claimed count of
// them is not bounded by the file: draw at most one.
int boundedSegmentCount(int m) {
    return pointSizeReadsBits(g_reader.ctx->gs.relPointSize) || m < 1 ? m : 1;
}

}  // namespace

void MakeDrawCubicBezier() {
    int m = boundedSegmentCount(getsize());
    Point start = getpoint(ABSPOINT);
    for (int i = 0; i < m && !in().atEnd(); ++i) start = bezierSegment(start, 3, 0, nullptr, kBezierMessages);
}

void MakeFillCubicBezier() {
    int m = boundedSegmentCount(getsize());
    Point p0 = getpoint(ABSPOINT);
    Point start = p0;
    for (int i = 0; i < m - 1 && !in().atEnd(); ++i) {
        start = bezierSegment(start, 3, 1, nullptr, kFillBezierMessages);
    }
    bezierSegment(start, 2, 1, &p0, kFillBezierMessages);
}

void MakeDrawArc() { readArc(0, "Error returned by Callback called for QMVR_arc"); }
void MakeFillArc() { readArc(1, "Error returned by Callback called for QMVR_arc Fillarc"); }

void MakeMark() {
    Point p = getpoint(ABSPOINT);
    invokeChecked<QMVR_mark>("Error returned by Callback called for QMVR_mark", p.x, p.y);
}

void MakeLine() {
    Point p = getpoint(ABSPOINT);
    Point d = getpoint(RELPOINT);
    in().align();
    invokeChecked<QMVR_line>("Error returned by Callback called for QMVR_line", p.x, p.y, d.x, d.y);
    traceStartEnd(p, d);
}

void MakeDrawBox() { readBox(0, "Error returned by Callback called for QMVR_box"); }
void MakeFillBox() { readBox(1, "Error returned by Callback called for QMVR_box Fillbox"); }
void MakeDrawCircle() { readCircle(0, "Error returned by Callback called for QMVR_circle"); }
void MakeFillCircle() { readCircle(1, "Error returned by Callback called for QMVR_circle Fillcircle"); }
void MakeDrawEllipse() { readEllipse(0, "Error returned by Callback called for QMVR_ellipse"); }
void MakeFillEllipse() {
    readEllipse(1, "Error returned by Callback called for QMVR_ellipse Fillellipse");
}

}  // namespace qmv
