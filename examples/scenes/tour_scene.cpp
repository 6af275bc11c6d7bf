// The tour's header and the order of its parts.
#include "qmv/scenes/tour_scene.h"

#include <cmath>

#include "tour_parts.h"

namespace qmv::scenes {

namespace tour {

std::vector<Point> regularPolygon(Point centre, double radius, int corners, double firstAngle,
                                  double innerRadius) {
    std::vector<Point> vertices;
    const bool star = innerRadius > 0.0;
    const int count = star ? 2 * corners : corners;
    for (int i = 0; i < count; ++i) {
        const double r = star && i % 2 == 1 ? innerRadius : radius;
        const double angle = firstAngle + 2.0 * kPi * i / count;
        vertices.push_back({std::round(centre.x + r * std::cos(angle)),
                            std::round(centre.y + r * std::sin(angle))});
    }
    return vertices;
}

}  // namespace tour

void writeTourScene(SceneWriter& w) {
    using namespace tour;
    SceneHeader header;
    header.version = 1;
    header.release = 0;
    header.absPointSize = 32;
    header.relPointSize = 24;
    header.resolution = {1, 1};
    header.lowerLeft = {0, 0};
    header.upperRight = {1000, 750};
    header.mm = {250, 188};
    header.background = rgb(246, 243, 235);
    w.header(header);

    const TourAssets assets = writeGlobalLayer(w);
    writeGridLayer(w);
    writeFrameLayer(w);
    writeGeometryLayer(w);
    writeColourSizesLayer(w);
    writeFillsLayer(w, assets);
    writeImagesLayer(w, assets);
    writeShapesLayer(w, assets);
    writeEncodingsLayer(w);
    writeEdgesLayer(w);
    writeTextLayer(w);
    w.finish();
}

}  // namespace qmv::scenes
