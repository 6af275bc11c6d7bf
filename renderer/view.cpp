#include "qmv/view.h"

namespace qmv {

ShownWindow fitToClient(const WorldWindow& world, double clientWidth, double clientHeight) {
    const double w = world.xmax - world.xmin;
    const double h = world.ymax - world.ymin;
    const double aspect = clientHeight / clientWidth;
    ShownWindow shown;
    shown.centreX = (world.xmin + world.xmax) / 2.0;
    shown.centreY = (world.ymin + world.ymax) / 2.0;
    // At equal proportions both branches give the same window.
    if (h / w <= aspect) {
        shown.width = w;
        shown.height = aspect * w;
    } else {
        shown.width = h / aspect;
        shown.height = h;
    }
    return shown;
}

Point pixelToWorld(const WorldWindow& world, double clientWidth, double clientHeight, double px,
                   double py) {
    const ShownWindow shown = fitToClient(world, clientWidth, clientHeight);
    return {shown.left() + shown.width * px / clientWidth,
            shown.bottom() + shown.height * (clientHeight - py) / clientHeight};
}

Point worldToPixel(const WorldWindow& world, double clientWidth, double clientHeight, Point p) {
    const ShownWindow shown = fitToClient(world, clientWidth, clientHeight);
    return {(p.x - shown.left()) / shown.width * clientWidth,
            clientHeight - (p.y - shown.bottom()) / shown.height * clientHeight};
}

}  // namespace qmv
