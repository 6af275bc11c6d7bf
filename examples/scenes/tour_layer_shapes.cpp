// Shapes stamped, repeated, and placed turned and scaled.
#include "tour_parts.h"

namespace qmv::scenes::tour {

void writeShapesLayer(SceneWriter& w, const TourAssets& assets) {
    const Panel p = kShapesPanel;
    w.layer("shapes");
    w.setLineColor(rgb(120, 150, 90));
    w.line(p.at(5, 15), {215, 0});

    // Scales are relative to the shapes' reference point (100, 100).
    w.stampShape(assets.tree, p.at(25, 15));
    w.repeatShape(p.at(55, 15));
    w.repeatShape(p.at(85, 15));
    w.shape(assets.house, p.at(150, 15), w.directionFor(0.0), {500, 500});
    w.shape(assets.tree, p.at(203, 15), w.directionFor(degrees(-12)), {100, 100});

    w.shape(assets.grove, p.at(60, 100), w.directionFor(0.0), {80, 80});
    w.shape(assets.house, p.at(172, 105), w.directionFor(degrees(20)), {300, 300});
}

}  // namespace qmv::scenes::tour
