// The geometry layer: paths, Bézier figures and arcs, and the simple
// primitives (boxes, circles, ellipses, lines, marks) as a small town.
#include <cmath>

#include "tour_parts.h"

namespace qmv::scenes::tour {

namespace {

void writePaths(SceneWriter& w) {
    const Panel p = kPathsPanel;
    std::vector<Point> zigzag;
    for (int i = 0; i <= 8; ++i) zigzag.push_back(p.at(15 + 25 * i, i % 2 == 0 ? 135 : 160));
    w.setLineColor(rgb(40, 70, 140));
    w.polyline(zigzag);

    const std::vector<Point> pentagon = regularPolygon(p.at(55, 75), 40, 5, degrees(90));
    w.setFillColor(rgb(220, 205, 235));
    w.fillPolygon(pentagon);
    w.setLineColor(rgb(120, 60, 150));
    w.drawPolygon(pentagon);

    const std::vector<Point> star = regularPolygon(p.at(165, 75), 45, 5, degrees(90), 19);
    w.setFillColor(rgb(240, 150, 40));
    w.fillPolygon(star);
    w.setLineColor(rgb(160, 90, 20));
    w.drawPolygon(star);

    // Dashes apply to every line drawn after them, until changed back.
    std::vector<Point> wave;
    for (int x = 15; x <= 215; x += 10) {
        wave.push_back(p.at(x, std::round(18 + 7 * std::sin(x * 0.08))));
    }
    w.setLineStyle(3, 2, 1, 0);
    w.setLineDashes(0xF0F0);
    w.setLineColor(rgb(40, 70, 140));
    w.polyline(wave);
    w.setLineDashes(0xFFFF);
}

void writeCurves(SceneWriter& w) {
    const Panel p = kCurvesPanel;
    const std::vector<BezierSegment> sCurve = {
        {p.at(40, 172), p.at(70, 172), p.at(100, 145)},
        {p.at(130, 118), p.at(160, 118), p.at(215, 160)},
    };
    w.setLineColor(rgb(30, 140, 140));
    w.drawCubicBezier(p.at(10, 140), sCurve);

    // A leaf: two segments that end where they began.
    const Point tip = p.at(20, 12);
    const std::vector<BezierSegment> leaf = {
        {p.at(15, 75), p.at(75, 105), p.at(110, 100)},
        {p.at(100, 45), p.at(65, 10), tip},
    };
    w.setFillColor(rgb(110, 180, 80));
    w.fillCubicBezier(tip, leaf);
    w.setLineColor(rgb(40, 100, 40));
    w.drawCubicBezier(tip, leaf);
    w.line(tip, {90, 88});

    const Point centre = p.at(172, 50);
    w.setFillColor(rgb(250, 205, 50));
    w.fillArc(centre, {36, 36}, w.directionFor(degrees(35)), w.directionFor(degrees(325)));
    w.setFillColor(rgb(40, 40, 40));
    w.fillCircle(p.at(170, 70), 4);

    const Color rainbow[3] = {rgb(220, 60, 60), rgb(70, 170, 70), rgb(60, 100, 210)};
    for (int i = 0; i < 3; ++i) {
        const double r = 42 + 5 * i;
        w.setLineColor(rainbow[i]);
        w.drawArc(centre, {r, r}, w.directionFor(0.0), w.directionFor(kPi));
    }
}

void writePrimitives(SceneWriter& w) {
    const Panel p = kPrimitivesPanel;
    w.beginObject("town");
    struct Building {
        double x, width, height;
        Color colour;
    };
    const Building buildings[] = {{15, 40, 80, rgb(175, 185, 200)},
                                  {60, 35, 110, rgb(150, 160, 180)},
                                  {100, 50, 60, rgb(190, 175, 160)}};
    for (const Building& b : buildings) {
        w.setFillColor(b.colour);
        w.fillBox(p.at(b.x, 10), {b.width, b.height});
        w.setLineColor(rgb(90, 90, 100));
        w.drawBox(p.at(b.x, 10), {b.width, b.height});
        w.setFillColor(rgb(250, 230, 140));
        for (double y = 25; y + 12 < 10 + b.height; y += 20) {
            for (double x = b.x + 7; x + 8 < b.x + b.width; x += 14) w.fillBox(p.at(x, y), {6, 8});
        }
    }
    w.setLineColor(rgb(110, 110, 110));
    w.line(p.at(5, 10), {215, 0});

    const Point sun = p.at(180, 135);
    w.setFillColor(rgb(250, 200, 60));
    w.fillCircle(sun, 18);
    w.setLineColor(rgb(240, 150, 40));
    w.drawCircle(sun, 24);
    for (int i = 0; i < 8; ++i) {
        const double a = degrees(22.5 + 45 * i);
        const Point from{std::round(sun.x + 28 * std::cos(a)), std::round(sun.y + 28 * std::sin(a))};
        w.line(from, {std::round(8 * std::cos(a)), std::round(8 * std::sin(a))});
    }

    w.setFillColor(rgb(225, 232, 240));
    w.fillEllipse(p.at(70, 150), {26, 11});
    w.fillEllipse(p.at(95, 158), {20, 10});
    w.setLineColor(rgb(170, 180, 195));
    w.drawEllipse(p.at(70, 150), {26, 11});
    w.drawEllipse(p.at(95, 158), {20, 10});

    // Birds. A mark takes the line colour; its own colour and style are
    // stored for clients that want them.
    w.setMarkColor(rgb(40, 40, 40));
    w.setMarkStyle(2, 5);
    w.setLineColor(rgb(90, 90, 120));
    w.mark(p.at(130, 125));
    w.mark(p.at(145, 140));
    w.mark(p.at(122, 160));
    // The object stays open: the next layer closes it.
}

}  // namespace

void writeGeometryLayer(SceneWriter& w) {
    w.layer("geometry");
    writePaths(w);
    writeCurves(w);
    writePrimitives(w);
}

}  // namespace qmv::scenes::tour
