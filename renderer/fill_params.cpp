#include "fill_params.h"

#include <cmath>

namespace qmv::renderer {

Color gradientColorAt(Point p, Point a, Color ca, Point b, Color cb) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double ux = p.x - a.x;
    const double uy = p.y - a.y;
    const double distance = std::sqrt(ux * ux + uy * uy);
    // The projection of a->p on the axis; NaN when p is on a or a is on b.
    const double cosine = (ux / distance) * (dx / length) + (uy / distance) * (dy / length);
    const double q = distance * cosine;
    if (!(q > 0.0)) return ca;
    if (q >= length) return cb;
    const double f = q / length;
    return {ca.r + (cb.r - ca.r) * f, ca.g + (cb.g - ca.g) * f, ca.b + (cb.b - ca.b) * f,
            ca.a + (cb.a - ca.a) * f};
}

FillValue FillSpec::at(double x, double y) const {
    FillValue value;
    switch (mode) {
    case 0:
        value.kind = FillValue::Kind::Colour;
        value.colour = gradientColorAt({x, y}, gradientFrom, colourFrom, gradientTo, colourTo);
        break;
    case 1:
        value.kind = FillValue::Kind::Colour;
        value.colour = fillColour;
        break;
    case 2:
    case 3:
        if (!textureDefined) break;
        value.kind = FillValue::Kind::TexCoord;
        value.s = (x - textureOrigin.x) / textureWidth;
        value.t = (y - textureOrigin.y) / textureHeight;
        break;
    default:
        break;
    }
    return value;
}

}  // namespace qmv::renderer
