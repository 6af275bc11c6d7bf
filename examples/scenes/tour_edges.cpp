// A small lake map drawn by reference: its shores, island and river are edge
// sets of the global layer, the lake and the island are faces, and the edges
// layer adds a road of its own. The edge lists switch relative point sizes
// from list to list, so this one panel reads steps in all eight of them.
#include "tour_parts.h"

namespace qmv::scenes::tour {

namespace {

std::vector<Point> repeat(Point step, int n) { return std::vector<Point>(static_cast<size_t>(n), step); }

}  // namespace

void writeEdgeSetsAndFaces(SceneWriter& w) {
    // North shore, west to east; it ends where the south shore starts.
    w.setEdge({{285, 115},
               {{16, {{20, 25}, {25, 15}, {30, 5}}},
                {8, repeat({7, -2}, 4)},
                {3, repeat({1, -1}, 10)},
                {6, repeat({3, -4}, 4)}}});
    // South shore, east to west, back to the north shore's start. The last
    // steps are doubles that no narrower encoding holds.
    w.setEdge({{410, 126},
               {{24, {{-5, -26}, {-30, -25}, {-40, -10}}},
                {32, {{-30, 5}}},
                {64, {{-12.5, 20.25}}},
                {128, {{-3.5 - 1.0 / 3.0, 12.0}, {-4.0 + 1.0 / 3.0, 12.75}}}}});
    w.setEdge({{335, 112}, {{16, {{12, 8}, {14, -3}, {-3, -11}, {-15, -3}, {-8, 9}}}}});
    w.setEdge({{410, 126}, {{8, repeat({6, 3}, 3)}, {16, {{15, 10}, {20, -5}, {17, 12}}}}});

    const std::vector<int64_t> north{kNorthShore};
    const std::vector<int64_t> south{kSouthShore};
    const std::vector<int64_t> island{kIsland};
    w.setFace(north, south);  // one outline: the north shore, then the south
    w.setFace(island, {});
}

void writeEdgesLayer(SceneWriter& w) {
    const Panel p = kEdgesPanel;
    w.layer("edges and faces");
    w.setFillColor(rgb(150, 200, 235));
    w.fillFace(kLakeFace);
    w.setFillColor(rgb(225, 205, 150));
    w.fillFace(kIslandFace);
    w.setLineColor(rgb(40, 90, 150));
    w.drawEdgeRange(kNorthShore, kSouthShore);
    w.setLineColor(rgb(150, 120, 70));
    w.drawEdge(kIsland);
    w.setLineColor(rgb(60, 120, 200));
    w.drawEdge(kRiver);

    // Edge sets defined in a layer last until the next layer begins.
    w.setEdge({p.at(10, 10), {{24, {{60, 12}, {70, -4}, {80, 14}}}}});
    w.setLineDashes(0xFF00);
    w.setLineColor(rgb(120, 110, 100));
    w.drawEdge(kRoad);
    w.setLineDashes(0xFFFF);

    w.setFont(0, 2, 8);
    w.setTextColor(rgb(40, 80, 130));
    w.setTextAlignment(8, w.directionFor(0.0));
    w.text({370, 90}, "lake");
    w.text({440, 122}, "river");
    w.setTextColor(rgb(110, 100, 90));
    w.text({420, 32}, "road");
}

}  // namespace qmv::scenes::tour
