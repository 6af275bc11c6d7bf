// The tour's shape definitions. Each is drawn around its own origin and has
// the reference point (100, 100), so a placement with the scale (100, 100)
// draws it at its defined size and (150, 150) half as large again.
#include "tour_parts.h"

namespace qmv::scenes::tour {

namespace {

constexpr Point kReference{100, 100};

// n copies of one step, for the 3-bit direction encoding.
std::vector<Point> repeat(Point step, int n) { return std::vector<Point>(static_cast<size_t>(n), step); }

std::vector<Point> join(std::initializer_list<std::vector<Point>> parts) {
    std::vector<Point> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

void writeTree(SceneWriter& w) {
    w.setFillColor(rgb(120, 80, 45));
    w.fillBox({-3, 0}, {6, 12});
    const std::vector<Point> lower = {{-18, 10}, {18, 10}, {0, 44}};
    const std::vector<Point> upper = {{-13, 26}, {13, 26}, {0, 52}};
    w.setFillColor(rgb(60, 140, 70));
    w.fillPolygon(lower);
    w.setFillColor(rgb(85, 165, 85));
    w.fillPolygon(upper);
    w.setLineColor(rgb(30, 80, 40));
    w.drawPolygon(lower);
    w.drawPolygon(upper);
}

// A small house in whole units: walls, roof and chimney in 3-bit direction
// steps, the window in 6-bit steps, the door in 8-bit steps. Placed five
// times larger it shows its pixel-like outline.
void writeHouse(SceneWriter& w) {
    const Point up{0, 1}, down{0, -1}, right{1, 0}, upRight{1, 1}, downRight{1, -1};
    const std::vector<Point> roof = join({repeat(upRight, 7), repeat(downRight, 7)});
    w.setRelPointSize(3);
    w.setFillColor(rgb(240, 222, 185));
    w.fillPolygonSteps({-6, 0}, join({repeat(up, 8), repeat(upRight, 6), repeat(downRight, 6),
                                      repeat(down, 8)}));
    w.setFillColor(rgb(120, 70, 60));
    w.fillPolygonSteps({3, 11}, join({repeat(up, 3), repeat(right, 2), repeat(down, 5)}));
    w.setFillColor(rgb(190, 60, 50));
    w.fillPolygonSteps({-7, 7}, roof);

    w.setRelPointSize(8);
    w.setFillColor(rgb(110, 70, 40));
    w.fillBox({-4, 0}, {2, 5});

    w.setRelPointSize(6);
    w.setFillColor(rgb(170, 210, 240));
    w.fillBox({1, 2}, {3, 3});
    w.setLineColor(rgb(70, 50, 40));
    w.drawBox({1, 2}, {3, 3});

    w.setRelPointSize(3);
    w.drawPolygonSteps({-7, 7}, roof);
    w.polylineSteps({-6, 7}, join({repeat(down, 7), repeat(right, 12), repeat(up, 7)}));
    w.polylineSteps({-4, 0}, join({repeat(up, 5), repeat(right, 2), repeat(down, 5)}));
}

}  // namespace

void writeShapes(SceneWriter& w, TourAssets& assets) {
    assets.tree = w.beginShape(kReference);
    writeTree(w);
    w.endShape();

    // The attributes a definition sets end with it: the house's 3-bit steps
    // do not leak into the grove.
    assets.house = w.beginShape(kReference);
    writeHouse(w);
    w.endShape();

    // A shape may place shapes defined before it.
    assets.grove = w.beginShape(kReference);
    w.stampShape(assets.tree, {-30, 0});
    w.repeatShape({30, 0});
    w.shape(assets.tree, {0, 0}, w.directionFor(0.0), {130, 130});
    w.endShape();
}

}  // namespace qmv::scenes::tour
