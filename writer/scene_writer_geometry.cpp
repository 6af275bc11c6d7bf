// Paths, Bézier figures, arcs, marks, lines, boxes, circles and ellipses.
#include "qmv/writer/geometry_helpers.h"
#include "qmv/writer/scene_writer.h"

namespace qmv {

void SceneWriter::path(Opcode opcode, Point start, std::span<const Point> list) {
    beginCommand(opcode);
    absPoint(start, "start");
    operands_.size(static_cast<int64_t>(list.size()), "step count");
    steps(list, "step");
}

void SceneWriter::pathThrough(Opcode opcode, std::span<const Point> vertices) {
    if (vertices.empty()) {
        path(opcode, Point{}, {});
        commandError("a path needs at least its start point");
        return;
    }
    const std::vector<Point> list = stepsBetween(vertices.front(), vertices.subspan(1));
    path(opcode, vertices.front(), list);
}

void SceneWriter::polylineSteps(Point start, const std::vector<Point>& list) {
    path(QMVR_Polyline, start, list);
}
void SceneWriter::polyline(const std::vector<Point>& vertices) {
    pathThrough(QMVR_Polyline, vertices);
}
void SceneWriter::drawPolygonSteps(Point start, const std::vector<Point>& list) {
    path(QMVR_DrawPolygon, start, list);
}
void SceneWriter::drawPolygon(const std::vector<Point>& vertices) {
    pathThrough(QMVR_DrawPolygon, vertices);
}
void SceneWriter::fillPolygonSteps(Point start, const std::vector<Point>& list) {
    path(QMVR_FillPolygon, start, list);
}
void SceneWriter::fillPolygon(const std::vector<Point>& vertices) {
    pathThrough(QMVR_FillPolygon, vertices);
}

namespace {

// A segment's steps: to the first control point, to the second, to the end.
void appendSegmentSteps(std::vector<Point>& out, Point& from, const BezierSegment& segment,
                        bool withEnd) {
    out.push_back({segment.control1.x - from.x, segment.control1.y - from.y});
    out.push_back(
        {segment.control2.x - segment.control1.x, segment.control2.y - segment.control1.y});
    if (withEnd)
        out.push_back({segment.end.x - segment.control2.x, segment.end.y - segment.control2.y});
    from = segment.end;
}

std::string segmentOperand(size_t segment) {
    return "segment " + std::to_string(segment) + " step";
}

}  // namespace

// Every segment is a list of its own, so each ends on a byte frontier.
void SceneWriter::drawCubicBezierSteps(Point start, const std::vector<Point>& list) {
    beginCommand(QMVR_DrawCubicBezier);
    if (list.size() % 3 != 0) {
        commandError("each segment has three steps, and " + std::to_string(list.size()) +
                     " steps were given");
    }
    const size_t segments = list.size() / 3;
    operands_.size(static_cast<int64_t>(segments), "segment count");
    absPoint(start, "start");
    const std::span<const Point> all(list);
    for (size_t s = 0; s < segments; ++s) steps(all.subspan(3 * s, 3), segmentOperand(s));
}

void SceneWriter::drawCubicBezier(Point start, const std::vector<BezierSegment>& segments) {
    std::vector<Point> list;
    Point from = start;
    for (const BezierSegment& segment : segments) appendSegmentSteps(list, from, segment, true);
    drawCubicBezierSteps(start, list);
}

// A filled figure of m segments holds m - 1 full segments and a closing one
// of two steps whose end is the start point; 0 and 1 both mean the closing
// segment alone.
void SceneWriter::fillCubicBezierSteps(int64_t segmentCount, Point start,
                                       const std::vector<Point>& list) {
    beginCommand(QMVR_FillCubicBezier);
    const size_t fullSegments = segmentCount > 1 ? static_cast<size_t>(segmentCount - 1) : 0;
    const size_t expected = 3 * fullSegments + 2;
    operands_.size(segmentCount, "segment count");
    absPoint(start, "start");
    if (segmentCount < 0 || segmentCount > kMaxSize || list.size() != expected) {
        commandError(std::to_string(segmentCount) + " segments need " + std::to_string(expected) +
                     " steps, and " + std::to_string(list.size()) + " were given");
        return;
    }
    const std::span<const Point> all(list);
    for (size_t s = 0; s < fullSegments; ++s) steps(all.subspan(3 * s, 3), segmentOperand(s));
    steps(all.subspan(3 * fullSegments, 2), segmentOperand(fullSegments));
}

void SceneWriter::fillCubicBezier(Point start, const std::vector<BezierSegment>& segments) {
    if (segments.empty()) {
        fillCubicBezierSteps(1, start, {});
        commandError("a filled figure needs at least its closing segment");
        return;
    }
    std::vector<Point> list;
    Point from = start;
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        appendSegmentSteps(list, from, segments[i], true);
    }
    appendSegmentSteps(list, from, segments.back(), false);
    fillCubicBezierSteps(static_cast<int64_t>(segments.size()), start, list);
    const Point end = segments.back().end;
    if (end.x != start.x || end.y != start.y) {
        commandError("the last segment ends at " + formatPoint(end) +
                     ", and a filled figure closes on its start " + formatPoint(start));
    }
}

// The radii are read straight after the centre and the angles straight after
// the radii, with no alignment: with 3- or 6-bit relative points the angles'
// first byte is the one holding the radii bits, and the bit position stays
// where the radii left it for the commands that follow.
void SceneWriter::arc(Opcode opcode, Point centre, Point radii, Point startDirection,
                      Point endDirection) {
    beginCommand(opcode);
    absPoint(centre, "centre");
    relPoint(radii, "radii");
    absPoint(startDirection, "start angle direction");
    absPoint(endDirection, "end angle direction");
}

void SceneWriter::drawArc(Point centre, Point radii, Point startDirection, Point endDirection) {
    arc(QMVR_DrawArc, centre, radii, startDirection, endDirection);
}
void SceneWriter::fillArc(Point centre, Point radii, Point startDirection, Point endDirection) {
    arc(QMVR_FillArc, centre, radii, startDirection, endDirection);
}

void SceneWriter::mark(Point position) {
    beginCommand(QMVR_Mark);
    absPoint(position, "position");
}

// Lines, boxes and ellipses: an absolute point, a vector, alignment.
void SceneWriter::pointAndVector(Opcode opcode, Point p, std::string_view pointName, Point v,
                                 std::string_view vectorName) {
    beginCommand(opcode);
    absPoint(p, pointName);
    relPoint(v, vectorName);
    bits_.alignToByte();
}

void SceneWriter::line(Point start, Point offset) {
    pointAndVector(QMVR_Line, start, "start", offset, "offset");
}
void SceneWriter::drawBox(Point corner, Point extent) {
    pointAndVector(QMVR_DrawBox, corner, "corner", extent, "extent");
}
void SceneWriter::fillBox(Point corner, Point extent) {
    pointAndVector(QMVR_FillBox, corner, "corner", extent, "extent");
}

void SceneWriter::drawCircle(Point centre, int64_t radius) {
    beginCommand(QMVR_DrawCircle);
    absPoint(centre, "centre");
    operands_.size(radius, "radius");
}

void SceneWriter::fillCircle(Point centre, int64_t radius) {
    beginCommand(QMVR_FillCircle);
    absPoint(centre, "centre");
    operands_.size(radius, "radius");
}

void SceneWriter::drawEllipse(Point centre, Point radii) {
    pointAndVector(QMVR_DrawEllipse, centre, "centre", radii, "radii");
}
void SceneWriter::fillEllipse(Point centre, Point radii) {
    pointAndVector(QMVR_FillEllipse, centre, "centre", radii, "radii");
}

}  // namespace qmv
