// The tour's global layer: the attributes every layer starts from, then the
// image, shape, edge-set and face definitions.
#include "tour_parts.h"

namespace qmv::scenes::tour {

TourAssets writeGlobalLayer(SceneWriter& w) {
    w.setBlendMode(2);  // ordinary alpha blending, so translucent colours show
    w.setLineStyle(1, 1, 0, 0);
    w.setLineDashes(0xFFFF);
    w.setImageStretchMode(1);
    w.setLineColor(rgb(60, 60, 70));
    w.setMarkColor(rgb(200, 40, 40));
    w.setMarkStyle(1, 8);
    w.setFillColor(rgb(255, 255, 255));
    w.setTextColor(rgb(45, 45, 55));
    w.setFont(0, 0, 12);
    w.setTextAlignment(9, w.directionFor(0.0));

    TourAssets assets;
    writeImages(w, assets);  // leaves colour size 6 and the 16-colour palette
    writeShapes(w, assets);
    writeEdgeSetsAndFaces(w);
    return assets;
}

}  // namespace qmv::scenes::tour
