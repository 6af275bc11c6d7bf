// Images drawn whole and in part, nearest and bilinear, with alpha.
#include "tour_parts.h"

namespace qmv::scenes::tour {

void writeImagesLayer(SceneWriter& w, const TourAssets& assets) {
    const Panel p = kImagesPanel;
    w.layer("images");
    w.setImageStretchMode(1);
    w.fullImage(assets.sunset, p.at(10, 90), {120, 82});
    // A detail around the sun (pixel rows count from the bottom), enlarged,
    // and a dashed frame where it lies in the whole picture.
    w.image(assets.sunset, {28, 12}, {24, 20}, p.at(140, 96), {75, 62});
    w.setLineColor(rgb(255, 255, 255));
    w.setLineDashes(0xCCCC);
    w.drawBox(p.at(62, 110), {45, 35});
    w.setLineDashes(0xFFFF);
    w.setLineColor(rgb(90, 80, 70));
    w.drawBox(p.at(140, 96), {75, 62});

    w.setImageStretchMode(0);
    w.fullImage(assets.pixelFlower, p.at(10, 10), {70, 70});
    w.setFillColor(rgb(60, 120, 200));
    w.fillBox(p.at(105, 18), {16, 50});
    w.fullImage(assets.softDot, p.at(85, 10), {65, 65});
    w.setImageStretchMode(1);
    w.fullImage(assets.ripples, p.at(155, 10), {65, 65});
}

}  // namespace qmv::scenes::tour
