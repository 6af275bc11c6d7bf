// Gradient fills and texture fills, repeated and stretched.
#include "tour_parts.h"

namespace qmv::scenes::tour {

namespace {

void writeGradients(SceneWriter& w) {
    const Panel p = kGradientsPanel;
    w.setGradientFill(p.at(0, 172), rgb(120, 170, 230), p.at(0, 100), rgb(250, 235, 200));
    w.fillBox(p.at(10, 100), {205, 72});
    w.setGradientFill(p.at(0, 105), rgb(255, 250, 230), p.at(0, 150), rgb(250, 150, 60));
    w.fillArc(p.at(160, 100), {45, 45}, w.directionFor(degrees(20)), w.directionFor(degrees(160)));

    w.setGradientFill(p.at(25, 15), rgb(230, 80, 40), p.at(95, 85), rgb(255, 220, 80));
    w.fillCircle(p.at(60, 50), 35);
    w.setGradientFill(p.at(115, 50), rgb(120, 60, 170), p.at(215, 50), rgb(240, 130, 170));
    w.fillEllipse(p.at(165, 50), {50, 28});
}

void writeTextures(SceneWriter& w, const TourAssets& assets) {
    const Panel p = kTexturesPanel;
    w.setLineColor(rgb(90, 80, 70));
    // Repeated at the image's texture size from the origin, crisp.
    w.setImageStretchMode(0);
    w.setTextureFill(p.at(10, 10), assets.bricks);
    w.fillBox(p.at(10, 10), {100, 80});
    w.drawBox(p.at(10, 10), {100, 80});
    w.setTextureFill(p.at(160, 42), assets.pixelFlower);
    w.fillCircle(p.at(168, 50), 40);
    w.drawCircle(p.at(168, 50), 40);

    // One copy stretched over a rectangle, smooth.
    w.setImageStretchMode(1);
    w.setStretchedTextureFill(p.at(10, 95), {100, 75}, assets.sunset);
    w.fillBox(p.at(10, 95), {100, 75});
    w.drawBox(p.at(10, 95), {100, 75});
    w.setStretchedTextureFill(p.at(118, 95), {100, 75}, assets.sunset);
    w.fillEllipse(p.at(168, 132), {50, 37});
    w.drawEllipse(p.at(168, 132), {50, 37});
}

}  // namespace

void writeFillsLayer(SceneWriter& w, const TourAssets& assets) {
    w.layer("fills");
    writeGradients(w);
    writeTextures(w, assets);
}

}  // namespace qmv::scenes::tour
